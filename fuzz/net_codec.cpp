// The message and datagram decoders on arbitrary bytes: whatever decodes
// encodes back to the same fields, and a message whose length bytes are all
// valid comes back byte for byte in its meaningful parts.
#include <cstring>

#include "net/net_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint8_t message[kMessageSize] = {};
  std::memcpy(message, data, size < kMessageSize ? size : kMessageSize);
  TNetMessage m;
  if (DecodeMessage(message, m)) {
    if (m.S1.size() > 25 || m.S2.size() > 25 || m.S3.size() > 25) __builtin_trap();
    uint8_t again[kMessageSize];
    EncodeMessage(m, again);
    TNetMessage back;
    if (!DecodeMessage(again, back) || back.Code != m.Code || back.S1 != m.S1 || back.S2 != m.S2 || back.S3 != m.S3 ||
        std::memcmp(back.F, m.F, sizeof m.F) != 0)
      __builtin_trap();
  }
  uint8_t datagram[kDatagramSize] = {};
  std::memcpy(datagram, data, size < kDatagramSize ? size : kDatagramSize);
  TDatagram d = DecodeDatagram(datagram);
  uint8_t again[kDatagramSize];
  EncodeDatagram(d, again);
  if (std::memcmp(again, datagram, 22) != 0) __builtin_trap();
  return 0;
}
