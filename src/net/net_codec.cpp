// Wire format. Every number is little-endian; singles are IEEE 754.
//
// TCP message, exactly 104 bytes on the stream, no other framing:
//   offset  size  field
//     0      1    code (separate code tables per direction)
//     1      1    S1 length, 0..25 (anything larger: the message is garbage)
//     2     25    S1 text, 8-bit characters; bytes past the length are zero
//    27      1    S2 length
//    28     25    S2 text
//    53      1    S3 length
//    54     25    S3 text
//    79      1    unused, zero
//    80      4    F1 single
//    84      4    F2
//    88      4    F3
//    92      4    F4
//    96      4    F5
//   100      4    F6
// Integers travel as decimal text in a string, the speed of code 21 as float
// text with "." as separator.
//
// Fields a peer that does not know them leaves empty and ignores:
//   client 1 (ready), S1: kNetRevision when the client stamps its datagrams
//   server 7 (start information), S2: kNetRevision when the server stamps its
//     datagrams
//   only between peers of this revision: the pings of link_stats.cpp (client
//     6 and 7, server 24 and 25) and the server's ping table, 26
//   client 4 (shot), S1: the server's clock (ms, low 14 bits) of the picture
//     the shooter saw, decimal; the server resolves the shot there
//
// UDP datagram, 24 bytes:
//     0      4    X single
//     4      4    Y
//     8      4    Z
//    12      4    yaw, degrees
//    16      4    pitch, degrees
//    20      1    from the server: the character's health, low 8 bits; from a client: 1
//    21      1    character index
//    22      2    little-endian: bits 0-13 the sender's clock in ms modulo 16384,
//                 bits 14-15 the character's shots modulo 4 (zero from a peer
//                 that leaves the bytes unused; see the ready and start messages)
#include "net/net_codec.h"

#include "core/byte_reader.h"

#include <cstring>

namespace {

constexpr size_t kStringOffsets[3] = {1, 27, 53};
constexpr size_t kFloatOffset = 80;

}  // namespace

void EncodeMessage(const TNetMessage& message, uint8_t out[kMessageSize]) {
  std::memset(out, 0, kMessageSize);
  out[0] = message.Code;
  const std::string* strings[3] = {&message.S1, &message.S2, &message.S3};
  for (int i = 0; i < 3; ++i) {
    const size_t n = strings[i]->size() < kMaxStringLength ? strings[i]->size() : kMaxStringLength;
    out[kStringOffsets[i]] = static_cast<uint8_t>(n);
    std::memcpy(out + kStringOffsets[i] + 1, strings[i]->data(), n);
  }
  for (int i = 0; i < 6; ++i) StoreLEFloat(out + kFloatOffset + 4 * i, message.F[i]);
}

bool DecodeMessage(const uint8_t in[kMessageSize], TNetMessage& message) {
  message.Code = in[0];
  std::string* strings[3] = {&message.S1, &message.S2, &message.S3};
  bool ok = true;
  for (int i = 0; i < 3; ++i) {
    size_t n = in[kStringOffsets[i]];
    if (n > kMaxStringLength) {
      ok = false;
      n = 0;
    }
    strings[i]->assign(reinterpret_cast<const char*>(in + kStringOffsets[i] + 1), n);
  }
  for (int i = 0; i < 6; ++i) message.F[i] = LoadLEFloat(in + kFloatOffset + 4 * i);
  return ok;
}

void EncodeDatagram(const TDatagram& d, uint8_t out[kDatagramSize]) {
  std::memset(out, 0, kDatagramSize);
  const float values[5] = {d.X, d.Y, d.Z, d.Yaw, d.Pitch};
  for (int i = 0; i < 5; ++i) StoreLEFloat(out + 4 * i, values[i]);
  out[20] = d.Health;
  out[21] = d.Index;
  out[22] = static_cast<uint8_t>(d.Stamp & 0xFF);
  out[23] = static_cast<uint8_t>(d.Stamp >> 8);
}

TDatagram DecodeDatagram(const uint8_t in[kDatagramSize]) {
  TDatagram d;
  d.X = LoadLEFloat(in);
  d.Y = LoadLEFloat(in + 4);
  d.Z = LoadLEFloat(in + 8);
  d.Yaw = LoadLEFloat(in + 12);
  d.Pitch = LoadLEFloat(in + 16);
  d.Health = in[20];
  d.Index = in[21];
  d.Stamp = static_cast<uint16_t>(in[22] | (in[23] << 8));
  return d;
}
