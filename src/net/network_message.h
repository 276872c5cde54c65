// One TCP message before encoding, and the message codes of both directions.
#pragma once
#include <cstdint>
#include <string>

// A code, three strings of at most 25 characters (cut when encoded) and six
// singles.
struct TNetMessage {
  uint8_t Code = 0;
  std::string S1, S2, S3;
  float F[6] = {0, 0, 0, 0, 0, 0};
};

TNetMessage MakeMessage(uint8_t code, std::string s1 = "", std::string s2 = "", std::string s3 = "");

// What a peer sends in the fields older peers leave empty (net_codec.cpp):
// it stamps its datagrams and understands stamps and shot times.
inline constexpr const char* kNetRevision = "2";

// Codes are separate per direction.
namespace ServerMsg {
inline constexpr uint8_t ServerFull = 1, StartLevel = 2, ServerGone = 3, State = 4, Chat = 5, Position = 6,
                         StartInfo = 7, PlayerJoined = 8, PlayerLeft = 9, Armour = 16, Health = 17, Money = 18,
                         Score = 19, RoundOver = 20, Physics = 21, Died = 22, YourIndex = 23;
// Only to clients of this revision (link_stats.h): a ping, the answer to the
// client's, and every player's ping (S1 the first character, F its six).
inline constexpr uint8_t Ping = 24, Pong = 25, Pings = 26;
}
namespace ClientMsg {
inline constexpr uint8_t Ready = 1, Chat = 2, State = 3, Shot = 4, Died = 5;
// Only to servers of this revision (link_stats.h).
inline constexpr uint8_t Ping = 6, Pong = 7;
}
