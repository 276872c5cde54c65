// The rules on arbitrary traffic, in both directions: the first byte picks
// server or client; then records of one kind byte and a 104-byte message or a
// 24-byte datagram, messages through the link's handling (pings) first. Nothing a peer sends may crash either side or place a
// character at a non-finite position.
#include <cmath>
#include <cstring>
#include <memory>

#include "game/characters.h"
#include "game/net_rules.h"
#include "net/network.h"

namespace {

void CheckCharacters() {
  for (int32_t i = 0; i < Characters->Count; ++i) {
    const TCharacter* c = Characters->At(i);
    if (!std::isfinite(c->X) || !std::isfinite(c->Y) || !std::isfinite(c->Z)) __builtin_trap();
  }
  if (Characters->Count > 256 || Characters->LocalIndex >= Characters->Count) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  TNetwork network;
  Network = &network;
  InstallNetRules(network);
  auto characters = std::make_unique<TCharacters>(nullptr, false);
  Characters = characters.get();
  const bool server = data[0] & 1;
  if (server) {
    network.IsServer = true;
    network.Server = std::make_unique<TServer>(8, 1, 1, 1000, false, "fuzz");
    network.Server->Transmit = [](const TServerClient&, const TNetMessage&) {};
    for (int i = 0; i < 3; ++i) {
      network.Server->AddClient();
      Characters->Add(-1, 0, 0, 0);
    }
  } else {
    network.IsClient = true;
    network.Client = std::make_unique<TClient>("127.0.0.1", 1, 1, "fuzz");
    network.Client->Transmit = [](const TNetMessage&) {};
  }
  size_t at = 1;
  while (at < size) {
    const uint8_t kind = data[at++];
    const size_t need = kind & 1 ? kDatagramSize : kMessageSize;
    uint8_t buffer[kMessageSize] = {};
    const size_t n = size - at < need ? size - at : need;
    std::memcpy(buffer, data + at, n);
    at += n;
    if (kind & 1) {
      const TDatagram d = DecodeDatagram(buffer);
      if (server) {
        if (TServerClient* c = network.Server->Slot(kind >> 1 & 3)) network.Rules->ClientDatagram(*c, d);
      } else {
        network.Rules->ServerDatagram(d);
      }
    } else {
      TNetMessage m;
      if (!DecodeMessage(buffer, m)) continue;
      if (server) {
        if (TServerClient* c = network.Server->Slot(kind >> 1 & 3)) network.Server->LinkMessage(*c, m, network.Rules);
      } else {
        network.Client->LinkMessage(m, network.Rules);
      }
    }
    if (!network.IsServer && !network.IsClient) break;
    CheckCharacters();
  }
  network.Rules->SendPositions();
  network.Rules->SendDirtyStates();
  Characters = nullptr;
  characters.reset();
  network.Close();
  Network = nullptr;
  return 0;
}
