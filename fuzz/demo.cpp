// The demo reader on arbitrary bytes: a refusal says why, and a file it
// takes (whole, or cut short and closed with an end record) hands out as many
// records as it counted and encodes back to a file of the same length.
#include <cstring>

#include "net/demo_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TDemo demo;
  std::string error;
  if (!ParseDemo(std::vector<uint8_t>(data, data + size), demo, error)) {
    if (error.empty()) __builtin_trap();
    return 0;
  }
  std::vector<TDemoRecord> records;
  size_t at = demo.FirstRecord;
  TDemoRecord r;
  while (NextRecord(demo, at, r)) records.push_back(r);
  if (records.size() != demo.Records) __builtin_trap();
  TDemoRecord end;
  end.Time = demo.Duration;
  records.push_back(end);
  // Datagrams keep their unused bytes; everything else is meaningful.
  const std::vector<uint8_t> again = EncodeDemo(demo.Level, records);
  if (again.size() != demo.Bytes.size()) __builtin_trap();
  return 0;
}
