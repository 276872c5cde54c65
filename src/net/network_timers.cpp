// The session's timed sends.
#include "net/network_timers.h"

#include "net/network.h"

void TNetworkTimers::Tick(TNetwork& network, uint32_t now) {
  if (now - LastPositionSend >= 40) {
    network.SendPositions();
    LastPositionSend = now;
  }
  if (now - LastKeepAlive >= 10000) {
    network.MarkLocalDirty();
    LastKeepAlive = now;
  }
  if (now - LastStateSend >= 500) {
    LastStateSend = now;
    network.SendStates();
  }
}
