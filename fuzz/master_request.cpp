// The master on arbitrary traffic: the input is cut into packets, each from
// one of a few addresses and at a moment further on, and the master's
// answers to its own challenges are fed back. Whatever comes, its tables
// keep their caps, it answers only within its limits, and nothing is listed
// that did not echo a challenge the master sent to that very address.
#include <set>
#include <string>

#include "net/master_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMasterOptions options;
  options.MaxServers = 6;
  options.MaxPerAddress = 3;
  options.MaxPending = 5;
  options.ExpiryMs = 5000;
  TMasterList list(options);
  std::set<uint64_t> challenged;  // addresses the master sent a getinfo to
  uint64_t now = 0;
  size_t at = 0;
  std::vector<TMasterAnswer> out;
  // Each packet: a byte of address and port, a byte of time (odd: the
  // master's expiry runs after it), a byte of length, then that many bytes;
  // a zero-length packet answers the last challenge the master sent, from
  // where it was sent, as the server would.
  std::string lastChallenge;
  TServerAddress lastTo;
  while (at + 3 <= size) {
    const TServerAddress from{0x7F000001u + (data[at] & 3), static_cast<uint16_t>(1 + (data[at] >> 2 & 3))};
    const uint8_t time = data[at + 1];
    now += time * 20;
    const size_t length = std::min<size_t>(data[at + 2], size - at - 3);
    at += 3;
    out.clear();
    if (length == 0 && !lastChallenge.empty()) {
      TServerStatus s;
      s.Info = {"fuzz", "map", 1, 4, 0, 0};
      const std::string answer = EncodeInfoResponse(s, lastChallenge);
      list.Receive(reinterpret_cast<const uint8_t*>(answer.data()), answer.size(), lastTo, now, out);
    } else {
      list.Receive(data + at, length, from, now, out);
    }
    at += length;
    size_t listPackets = 0;
    for (const TMasterAnswer& a : out) {
      if (a.Bytes.size() > kMaxAnswerSize) __builtin_trap();
      const auto q = ParseServerQuery(reinterpret_cast<const uint8_t*>(a.Bytes.data()), a.Bytes.size());
      if (q) {
        challenged.insert(static_cast<uint64_t>(a.To.Host) << 16 | a.To.Port);
        lastChallenge = q->Challenge;
        lastTo = a.To;
      } else {
        ++listPackets;
      }
    }
    if (out.size() > 1 && listPackets != out.size()) __builtin_trap();
    if (list.Listed() > options.MaxServers || list.Pending() > options.MaxPending) __builtin_trap();
    for (const TServerAddress& s : list.Select({"Grimvale", QueryProtocol(), true, true}, now))
      if (!challenged.count(static_cast<uint64_t>(s.Host) << 16 | s.Port)) __builtin_trap();
    if (time & 1) list.Expire(now);
  }
  return 0;
}
