// The list of characters, team counts and the round cycle.
#include "game/characters.h"

#include "core/console_sink.h"
#include "core/ini_file.h"
#include "core/log_sources.h"
#include "core/logger.h"
#include "core/paths.h"
#include "game/net_rules.h"
#include "net/network.h"
#include "world/level.h"

#include <algorithm>

TCharacters* Characters = nullptr;

static constexpr uint32_t kRoundPauseMs = 5000;
static constexpr uint32_t kHealthBroadcastMs = 3000;

TCharacterModelNames TCharacterModelNames::Read() {
  TIniFile ini(HostPath("data\\characters\\config.ini"));
  TCharacterModelNames n;
  n.Counter1 = ini.ReadString("counter", "counter1", n.Counter1);
  n.Counter2 = ini.ReadString("counter", "counter2", n.Counter2);
  n.Terror1 = ini.ReadString("terror", "terror1", n.Terror1);
  n.Terror2 = ini.ReadString("terror", "terror2", n.Terror2);
  return n;
}

std::string TCharacterModelNames::ForModel(int32_t n) const {
  switch (n) {
    case 0: return Counter1;
    case 1: return Counter2;
    case 10: return Terror1;
    case 11: return Terror2;
    default: return "";
  }
}

TCharacters::TCharacters(TLevel* level, bool graphics) : level(level), graphics(graphics) {
  ModelNames = TCharacterModelNames::Read();
  if (GameHooks.MakeEffects) Effects = GameHooks.MakeEffects();
  Add(-1, 0, 0, 0);
  LocalCharacter = List[0].get();
  SetLocal(0);
}

// The destructor lives in characters_draw.cpp: it frees the sphere quadric.

int32_t TCharacters::Add(int32_t modelNr, float x, float y, float z) {
  size_t i = 1;
  while (i < List.size() && List[i]->InUse) ++i;
  if (i >= List.size()) {
    i = List.size();
    List.emplace_back();
  }
  const bool wasLocal = List[i] && LocalCharacter == List[i].get();
  List[i] = std::make_unique<TCharacter>(static_cast<int32_t>(i), *this, modelNr);
  if (wasLocal) LocalCharacter = List[i].get();
  List[i]->SetPosition(x, y, z);
  List[i]->SetInUse(true);
  SetCount(static_cast<int32_t>(List.size()));
  return static_cast<int32_t>(i);
}

void TCharacters::SetLocal(int32_t i) {
  if (i < 0 || static_cast<size_t>(i) >= List.size()) return;
  LocalIndex = i;
  LocalCharacter = List[static_cast<size_t>(i)].get();
}

void TCharacters::SetCount(int32_t n) {
  Count = n;
  Recount();
}

void TCharacters::Recount() {
  TerroristCount = CounterCount = 0;
  int32_t alive = 0;
  for (int32_t i = 0; i < Count; ++i) {
    const TCharacter* c = At(i);
    // A freed character (its player left, its bot was kicked) and a player
    // still choosing a character are on no team: counted, a team could
    // never be wiped out, or one idle player could end every round at once.
    if (!c || !c->Playing()) continue;
    (c->Team == 1 ? TerroristCount : CounterCount) += 1;
    if (!c->Dead) ++alive;
  }
  CheckRoundEnd(alive);
}

void TCharacters::CheckRoundEnd(int32_t n) {
  AliveCount = n;
  // Not even the host's choice ends the round that has not begun: the tick
  // that sees it starts the first one.
  if (FirstRoundPending()) return;
  if ((TerroristsAlive <= 0 && TerroristCount > 0) || (CountersAlive <= 0 && CounterCount > 0) || n <= 0) EndRound();
}

void TCharacters::EndRound() {
  if (!Network || !Network->IsServer || RoundOver) return;
  RespawnTime = Now + kRoundPauseMs;
  RoundOver = true;
  if (Logger && TerroristCount + CounterCount > 0) Logger->LogInfo("Round over", LogSource::Characters);
  PayRound(ServerMsg::RoundOver);
  TerroristsAlive = TerroristCount;
  CountersAlive = CounterCount;
}

void TCharacters::PayRound(uint8_t code) {
  ++RoundsEnded;
  const std::string gold = std::to_string(Network->Server->GoldPerRound);
  if (!List.empty()) List[0]->Money += Network->Server->GoldPerRound;
  Network->Broadcast(MakeMessage(code, gold));
}

void TCharacters::RestartRound() {
  RoundOver = false;
  RoundStart = Now;
  if (!Network || !Network->IsServer) return;
  // Everybody in use is about to live, including whoever joined or died
  // during the pause: counted only from EndRound's team counts, a death in
  // the pause would end the new round at once, and a player who joined in it
  // would be left out, so the round could end with team mates standing.
  TerroristsAlive = CountersAlive = 0;
  for (int32_t i = 0; i < Count; ++i)
    if (const TCharacter* c = At(i); c && c->Playing()) (c->Team == 1 ? TerroristsAlive : CountersAlive) += 1;
  for (int32_t i = 0; i < Count; ++i)
    if (const TCharacter* c = At(i); c && c->Playing()) Respawn(i);
  // An empty server restarts its empty round every few seconds: not worth a line.
  if (Logger && TerroristsAlive + CountersAlive > 0)
    Logger->LogInfo("Round started: " + std::to_string(TerroristsAlive) + " terrorists, " +
                        std::to_string(CountersAlive) + " counter-terrorists",
                    LogSource::Characters);
}

void TCharacters::Respawn(int32_t i) {
  TCharacter* c = At(i);
  c->SetHealth(100);
  const TSpawnPoint spawn = level ? level->ChooseSpawn(c->Team == 1) : TSpawnPoint{{0, 1, 0}, 0};
  c->MoveCentreTo(spawn.Position);
  c->SetView(spawn.Yaw, 0);
  // A client learns it lives from its health (17) and where from the
  // position (6); nothing else on the wire says so.
  if (i > 0 && Network->PlayerStarted(i)) {
    TServerClient* client = Network->Server->Slot(i - 1);
    client->Send(ServerMsg::Health, "100");
    client->SendPosition(c->X, c->Y, c->Z);
    if (c->Dead) {
      client->Send(ServerMsg::Armour, "0");
      c->SetDead(false);
    }
  }
}

bool TCharacters::FirstRoundPending() const {
  return holdForHost && !roundBegun && Network && Network->IsServer && !List.empty() && List[0]->InUse;
}

bool TCharacters::WaitingForHost() const { return FirstRoundPending() && !List[0]->Playing(); }

void TCharacters::SideChosen(TCharacter& c) {
  // Before the first round everybody is placed when it starts (Tick).
  if (!Network || !Network->IsServer || !roundBegun || At(c.Id) != &c || !c.Playing() || !c.Dead) return;
  const int64_t joinMs = int64_t{Network->Server->JoinTime} * 1000;
  if (!RoundOver && static_cast<int32_t>(Now - RoundStart) < joinMs) {
    // Counted alive first: otherwise the revival's recount would end the
    // round for a team that had nobody standing.
    (c.Team == 1 ? TerroristsAlive : CountersAlive) += 1;
    Respawn(c.Id);
    // A newcomer has been paid no round yet: without the round's gold it
    // could buy nothing in the round it joins.
    const int32_t gold = Network->Server->GoldPerRound;
    if (&c == LocalCharacter)
      c.Money += gold;
    else if (Network->PlayerStarted(c.Id))
      Network->Server->Slot(c.Id - 1)->Send(ServerMsg::Money, std::to_string(gold));
    if (Logger) Logger->LogInfo(c.Name + " joins the running round", LogSource::Characters);
    return;
  }
  if (Logger) Logger->LogInfo(c.Name + " waits for the next round", LogSource::Characters);
  TellNextRound(c);
}

void TCharacters::TellNextRound(const TCharacter& c) const {
  std::string line = "You join the next round";
  if (RoundOver)
    line += " (it starts in " + RoundClockText(static_cast<int32_t>(RespawnTime - Now)) + ")";
  else if (const int64_t left = RoundTimeLeft(); left >= 0)
    line += " (this one has " + RoundClockText(left) + " left)";
  line += ".";
  if (&c == LocalCharacter)
    ConsolePrint(line);
  else if (Network->PlayerStarted(c.Id))
    Network->Server->Slot(c.Id - 1)->Send(ChatLineMessage(line));
}

int32_t TCharacters::CountInUse() const {
  int32_t n = 0;
  for (const auto& c : List) n += c->InUse ? 1 : 0;
  return n;
}

void TCharacters::AutoFire() {
  if (LocalCharacter && !LocalCharacter->Dead && LocalCharacter->WeaponSlot == 0) LocalCharacter->Shoot();
}

void TCharacters::Tick(uint32_t now, bool inGame) {
  Now = now;
  if (now - LastHealthBroadcast >= kHealthBroadcastMs) {
    LastHealthBroadcast = now;
    if (Network && Network->IsServer) {
      for (int32_t slot = 0; slot < Network->Server->ClientCount; ++slot) {
        TServerClient* client = Network->Server->Slot(slot);
        if (const TCharacter* c = At(slot + 1); client && c) client->Send(ServerMsg::Health, std::to_string(c->Health));
      }
      Recount();
    }
  }
  const bool server = Network && Network->IsServer;
  if (server && !roundBegun) {
    if (WaitingForHost()) {
      // Whoever chose a side already waits at its spawn, and the clock stands.
      RoundStart = now;
      roundClockRunning = true;
      for (int32_t i = 1; i < Count; ++i)
        if (const TCharacter* c = At(i); c && c->Playing() && c->Dead) Respawn(i);
      return;
    }
    roundBegun = true;
    // The host's choice starts the first round with everybody at a spawn
    // and the round's gold in hand, as an ended round would have paid it;
    // clients are paid by the money message, which starts no pause.
    if (holdForHost) {
      PayRound(ServerMsg::Money);
      RestartRound();
    }
  }
  // Signed difference: correct across the wrap of the tick count.
  if (inGame && RoundOver && static_cast<int32_t>(now - RespawnTime) >= 0) RestartRound();
  // The limit ends a round as a wipe-out does, so clients see nothing new;
  // it counts from the server's first tick with these characters or the last
  // restart.
  if (!server || !roundClockRunning) {
    RoundStart = now;
    roundClockRunning = server;
  } else if (RoundTimeLeft() == 0) {
    EndRound();
  }
}

std::string RoundClockText(int64_t ms) {
  if (ms < 0) return "";
  const int64_t seconds = (ms + 999) / 1000;
  const int64_t s = seconds % 60;
  return std::to_string(seconds / 60) + (s < 10 ? ":0" : ":") + std::to_string(s);
}

int64_t TCharacters::RoundTimeLeft() const {
  if (!Network || !Network->IsServer || Network->Server->RoundTime <= 0 || RoundOver) return -1;
  const int64_t limit = int64_t{Network->Server->RoundTime} * 1000;
  return std::max<int64_t>(0, limit - static_cast<int32_t>(Now - RoundStart));
}
