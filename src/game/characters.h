// The characters of a running level: the list (index = Id; index 0 is the
// player of the machine that runs the server, or of the only machine), the
// team counts, and the round cycle (a team or everybody dead -> RoundOver for
// 5000 ms -> everybody revived at a spawn point; a server's round time
// limit ends a round that goes on too long the same way). On a listen server
// the first round waits for the host to choose a side; a player who chooses
// one in the first seconds of a round (the server's join time) spawns at once,
// a later one is told that the next round is theirs. The clock is the event
// handler's: its tick hands the time to Tick before anything else.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/character.h"
#include "game/game_hooks.h"
#include "game/kill_feed.h"
#include "game/spectator.h"

class TLevel;

// The four model directory names below "data\characters\", from
// "data\characters\config.ini": counter1, counter2 (default "civil"),
// terror1, terror2 (default "blackman").
struct TCharacterModelNames {
  std::string Counter1 = "civil", Counter2 = "civil", Terror1 = "blackman", Terror2 = "blackman";
  static TCharacterModelNames Read();
  // The directory of model N (0, 1, 10, 11); "" for any other number.
  std::string ForModel(int32_t n) const;
};

class TCharacters {
 public:
  // Adds the local player (no model, at the origin) at index 0. With
  // graphics false (tests, tools) models load without textures or display
  // lists and nothing may be drawn. The level gives the spawn points and the
  // triangles that block shots; it may be null (spawns at (0, 1, 0), nothing
  // blocks).
  explicit TCharacters(TLevel* level, bool graphics = true);
  ~TCharacters();
  TCharacters(const TCharacters&) = delete;
  TCharacters& operator=(const TCharacters&) = delete;

  // The first unused index from 1 on, else a new one at the end.
  int32_t Add(int32_t modelNr, float x, float y, float z);
  void SetLocal(int32_t i);
  void SetCount(int32_t n);
  void Recount();
  void CheckRoundEnd(int32_t n);
  // Server only, once per round: the restart time, gold for the server's
  // player and message 20 for every client, the alive counts reset.
  void EndRound();
  // Revives every character in use at a spawn point of its team (server).
  void RestartRound();
  // Server: character c (in the list, until now on no team) has just chosen
  // a side. In the join time of a running round it spawns at once; else a
  // client is told when it plays. Nothing while the round waits for the host.
  void SideChosen(TCharacter& c);
  // A listen server's level: its first round starts once the host has
  // chosen a side (called when the host's server starts). Whatever ended
  // before does not count: no round has begun.
  void HoldFirstRoundForHost() {
    holdForHost = true;
    RoundOver = false;
  }
  // Before that first round: nothing moves and the round clock stands.
  bool WaitingForHost() const;
  int32_t CountInUse() const;
  // The event handler's automatic fire while the button is held: the local
  // player fires again only with the rifle in hand, and never when dead.
  void AutoFire();
  // Every character; camMode 0 tilts the one the camera looks through with
  // its pitch (characters_draw.cpp).
  void DrawAll(int32_t camMode);

  // Called by the event handler's tick with its time, first thing: stores the
  // time for the rules; on the server every 3000 ms sends each client its
  // health and recounts; restarts the round once RespawnTime has come (only
  // in the game view).
  // On a server with a round time limit, ends the round once it runs out.
  void Tick(uint32_t now, bool inGame);
  // Milliseconds the running round has left under the server's limit; -1
  // without one, in the pause after a round, and off the server (a client is
  // not told the limit).
  int64_t RoundTimeLeft() const;

  TCharacter* At(int32_t i) const {
    return i >= 0 && i < Count ? List[static_cast<size_t>(i)].get() : nullptr;
  }
  TLevel* Level() const { return level; }
  bool Graphics() const { return graphics; }

  int32_t AliveCount = 0;
  int32_t Count = 0;
  int32_t LocalIndex = 0;
  std::vector<std::unique_ptr<TCharacter>> List;
  TCharacter* LocalCharacter = nullptr;
  int32_t TerroristCount = 0;
  int32_t TerroristsAlive = 0;
  int32_t CounterCount = 0;
  int32_t CountersAlive = 0;
  void* SphereQuadric = nullptr;  // GLUquadric, made on the first debug-sphere draw
  uint32_t RespawnTime = 0;
  // Server: the tick the running round began (the server's start or the last
  // restart); the round time limit counts from it.
  uint32_t RoundStart = 0;
  bool RoundOver = false;
  // Rounds the server has ended: who pays per round (the bots) counts these
  // rather than watching RoundOver, which a restart can clear in the frame
  // that set it.
  uint32_t RoundsEnded = 0;
  std::unique_ptr<TCharacterEffects> Effects;  // null when nobody supplies effects
  TCharacterModelNames ModelNames;
  TKillFeed KillFeed;  // this level's deaths, for the HUD
  TSpectator Spectator;  // whom the local player watches while dead

  // Client: the server's clock, on which every other character is drawn.
  TSenderClock ServerClock;
  // The event handler's clock as the rules see it.
  uint32_t Now = 0;
  uint32_t ReloadStart = 0;      // tick of the local player's last reload
  bool HasReloaded = false;      // ReloadStart means something
  uint32_t DeathTime = 0;        // tick the local player last died (the HUD reads it)
  uint32_t LastHealthBroadcast = 0;

 private:
  TLevel* level;
  bool graphics;
  bool roundClockRunning = false;  // RoundStart was set on a server
  bool holdForHost = false;
  bool roundBegun = false;  // server: the first round has started
  // Server: character i alive at a spawn point of its team, its client told.
  void Respawn(int32_t i);
  bool FirstRoundPending() const;  // a listen server's first round has not begun
  // A round's gold: the host's player at once, every client by a message
  // with the gold (code 20 at a round's end, 18 at the first round's start);
  // the bots count RoundsEnded.
  void PayRound(uint8_t code);
  void TellNextRound(const TCharacter& c) const;
};

// "m:ss" for ms milliseconds, rounded up so that "0:00" shows only at the
// end; "" for a negative value (no limit is known).
std::string RoundClockText(int64_t ms);

// Per level: created with TKI by Tgame::StartLevel and freed by Tgame::EndLevel;
// null outside a running level.
extern TCharacters* Characters;
