// A player at the wire level on a real dedicated server: it fills a place
// the way a game would, for tests that need a server with people on it.
#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "../net/wire_peer.h"
#include "dedicated_process.h"
#include "e2e_support.h"
#include "net/network_message.h"

// A peer through the handshake; it keeps reading so the server keeps it.
inline std::unique_ptr<TWirePeer> JoinAsPeer(TDedicatedProcess& server) {
  auto peer = std::make_unique<TWirePeer>(server.TCPPort());
  EXPECT_TRUE(WaitUntil([&] {
    peer->Drain();
    return peer->Find(kStartLevel) != nullptr;
  }, 10000));
  TWireMessage ready = Wire(kReady);
  ready.F[0] = peer->UDPPort;
  peer->Send(ready);
  EXPECT_TRUE(WaitUntil([&] {
    peer->Drain();
    return peer->Find(kStartInfo) != nullptr;
  }, 10000));
  TWireMessage state = Wire(kClientState, "Visitor", "1");
  state.F[1] = 10;
  peer->Send(state);
  return peer;
}

