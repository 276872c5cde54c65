// Feeding a demo to the client rules.
#include "game/demo_player.h"

#include <algorithm>
#include <cmath>

#include "core/console_sink.h"
#include "game/characters.h"

TDemoPlayer::TDemoPlayer(TNetwork& network, TDemo demo) : network(network), demo(std::move(demo)) {
  next = this->demo.FirstRecord;
}

void TDemoPlayer::Begin() {
  if (!demo.Warning.empty()) ConsolePrint("Demo warning: " + demo.Warning);
  network.Close();
  // Never opened: no socket exists, so what the rules send is dropped.
  network.Client = std::make_unique<TClient>("demo", 0, 0, "");
  network.IsClient = true;
  session = network.Client.get();
}

void TDemoPlayer::SetSpeed(double speed) {
  if (std::isnan(speed)) return;
  Speed = std::clamp(speed, kMinSpeed, kMaxSpeed);
}

void TDemoPlayer::Advance(uint32_t ms) {
  if (!Paused) PlayUntil(clock + ms * Speed);
}

void TDemoPlayer::PlayUntil(double time) {
  clock = std::max(clock, time);
  TDemoRecord record;
  while (!finished) {
    size_t at = next;
    if (!NextRecord(demo, at, record)) {
      finished = clock >= demo.Duration;
      return;
    }
    if (record.Time > clock) return;
    next = at;
    Play(record);
  }
}

void TDemoPlayer::Play(const TDemoRecord& r) {
  if (Detached() || !Characters) return;
  TClient* client = session;
  switch (r.Kind) {
    case TDemoKind::Message:
      // The level is the demo's, and the session ends with the demo: the
      // level start and the server's full or gone are not played.
      if (r.Message.Code == ServerMsg::ServerFull || r.Message.Code == ServerMsg::StartLevel ||
          r.Message.Code == ServerMsg::ServerGone)
        return;
      client->LinkMessage(r.Message, network.Rules);
      break;
    case TDemoKind::Datagram:
      // A server's recording sends the eyes' own character too, which the
      // rules leave to the local player: without views of its own, it moves.
      if (!seenView && r.Datagram.Index == Characters->LocalIndex) {
        const TDatagram& d = r.Datagram;
        if (TCharacter* me = Characters->LocalCharacter) {
          me->SetPosition(d.X, d.Y, d.Z);
          me->SetView(d.Yaw, d.Pitch);
          me->SetHealth(d.Health);
        }
      } else if (network.Rules) {
        network.Rules->ServerDatagram(r.Datagram);
      }
      break;
    case TDemoKind::View:
      seenView = true;
      ApplyView(r.View);
      break;
    case TDemoKind::End: break;
  }
}

void TDemoPlayer::ApplyView(const TDemoView& v) {
  TCharacter* me = Characters->LocalCharacter;
  if (!me) return;
  me->SetPosition(v.X, v.Y, v.Z);  // refuses what is not finite
  me->SetView(v.Yaw, v.Pitch);
  if (v.Dead != me->Dead) me->SetDead(v.Dead);
  if (!v.Dead) me->SetHealth(v.Health);
  me->SetArmour(v.Armour);
  if (v.WeaponSlot <= 3) me->SetWeaponSlot(v.WeaponSlot);
  me->Money = v.Money;
}
