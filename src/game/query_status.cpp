// The players as a server's out-of-band answers list them.
#include "game/query_status.h"

#include "game/characters.h"
#include "game/ki.h"
#include "net/network.h"

void DescribeStatusPlayers(const TNetwork& network, TServerStatus& status) {
  if (!Characters) return;
  for (int32_t i = 0; i < Characters->Count; ++i) {
    const TCharacter* c = Characters->At(i);
    if (!c || !c->InUse) continue;
    if (KI && KI->IsBot(i)) ++status.Bots;
    status.Players.push_back({c->Kills, network.PingOf(i), c->Name});
  }
}
