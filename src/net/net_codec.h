// The two packets on the wire: the 104-byte TCP message and the 24-byte UDP
// position datagram. The byte layout is documented in net_codec.cpp.
#pragma once
#include <cstddef>
#include <cstdint>

#include "net/network_message.h"

inline constexpr size_t kMessageSize = 104;
inline constexpr size_t kDatagramSize = 24;
inline constexpr size_t kMaxStringLength = 25;

// Strings longer than 25 characters are cut.
void EncodeMessage(const TNetMessage& message, uint8_t out[kMessageSize]);
// False when a length byte exceeds 25 (the peer sends garbage); the floats are
// taken as they are, NaN and infinity included: the rules check them.
bool DecodeMessage(const uint8_t in[kMessageSize], TNetMessage& message);

struct TDatagram {
  float X = 0, Y = 0, Z = 0, Yaw = 0, Pitch = 0;
  uint8_t Health = 0;  // from the server: health, low 8 bits; from a client: 1
  uint8_t Index = 0;   // character index
  // Bytes 22-23, zero from peers that leave them unused: the sender's clock
  // in ms, low 14 bits (kStampMask), and in the top two bits a count of the
  // character's shots, modulo 4.
  uint16_t Stamp = 0;
};

void EncodeDatagram(const TDatagram& datagram, uint8_t out[kDatagramSize]);
TDatagram DecodeDatagram(const uint8_t in[kDatagramSize]);
