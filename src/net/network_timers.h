// The session's timed sends, one step per frame for the game window and the
// dedicated server alike: positions every 40 ms, the local player's state
// marked for resending every 10 s (a keep-alive), dirty states every 500 ms.
// (The server's health broadcast every 3000 ms is the rules' own, in
// TCharacters::Tick.)
#pragma once
#include <cstdint>

class TNetwork;

struct TNetworkTimers {
  // What is due at `now` (the frame's tick count); nothing without a session.
  void Tick(TNetwork& network, uint32_t now);

  uint32_t LastPositionSend = 0;
  uint32_t LastStateSend = 0;
  uint32_t LastKeepAlive = 0;
};
