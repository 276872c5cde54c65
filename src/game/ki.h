// The computer players (bots) of a server: each occupies a server slot with
// no connection, so slot k plays character k + 1 and every rule of a human
// player applies unchanged. A bot walks with its own TMovement and keys,
// follows the level's navigation graph between points of interest and to
// the enemy's spawn area, shoots enemies it sees after a reaction delay and
// with an aim error set by the skill, reloads, and buys at the start of
// each round with its own money. Thinking runs on the main thread inside
// the frame and allocates nothing once the bots exist; with the same seed
// (platform.h's generator) and the same clock a match replays identically.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "world/movement.h"
#include "world/nav_graph.h"

class TCharacter;
class TCharacters;
class TServer;

enum class TBotSkill { Easy, Normal, Hard };

// "easy", "normal", "hard" (any case); false for anything else.
bool ParseBotSkill(const std::string& text, TBotSkill& skill);

class TKI {
 public:
  // Derives the navigation graph from the characters' level (none without a
  // level). Characters must outlive this object.
  explicit TKI(TCharacters* characters);
  ~TKI();
  TKI(const TKI&) = delete;
  TKI& operator=(const TKI&) = delete;

  // Server only: takes a free slot and plays its character; team 0 or 1, or
  // -1 for the smaller team (terrorists on a tie; players still without a
  // character count on neither). In the pause after each round, dead bots
  // change sides while one team is more than one larger, except those added
  // with keepTeam, which stay where they were put. Returns the character
  // index, or -1 when this machine is no server or every slot is taken.
  // Clients already playing get the "player joined" message.
  int32_t AddBot(int32_t team = -1, bool keepTeam = false);
  // Removes the bot added last (slot and character freed, clients told with
  // the "player left" message); false without bots. Freeing TKI gives the
  // slots back too, silently (the characters go with the level).
  bool KickBot();
  void KickBots();
  // For a human joining a full server: frees the slot of the bot added last.
  // Returns the slot freed, -1 when there is no bot.
  int32_t RemoveBotForJoin();
  void SetSkill(TBotSkill skill) { Skill = skill; }

  // One frame of every bot: perception, decisions, aiming, firing, buying and
  // movement by ms milliseconds (capped like the player's step). Call after
  // TCharacters::Tick with the same clock.
  void Think(uint32_t now, uint32_t ms);

  // Whether character `index` is a bot.
  bool IsBot(int32_t index) const;
  int32_t BotCount() const { return static_cast<int32_t>(bots.size()); }

  TBotSkill Skill = TBotSkill::Normal;
  TNavGraph Nav;

  struct TBot;

 private:
  void ThinkBot(TBot& bot, TCharacter& c, uint32_t now, int32_t ms);
  void Revived(TBot& bot, TCharacter& c, uint32_t now);
  void Buy(TCharacter& c);
  void Perceive(TBot& bot, TCharacter& c, uint32_t now);
  bool Fight(TBot& bot, TCharacter& c, uint32_t now, int32_t ms);
  void Navigate(TBot& bot, TCharacter& c, uint32_t now, int32_t ms);
  void ChooseGoal(TBot& bot, TCharacter& c);
  void TryFire(TBot& bot, TCharacter& c, const TCharacter& target, uint32_t now);
  void ReloadIfEmpty(TBot& bot, TCharacter& c, uint32_t now);
  bool Sees(const TCharacter& c, const TCharacter& target) const;
  void TeamSizes(int32_t sizes[2]) const;
  static int32_t ModelFor(int32_t team);
  void Rebalance();
  void Remove(size_t i);

  TCharacters* characters;
  TServer* server = nullptr;  // the session whose slots the bots hold
  std::vector<std::unique_ptr<TBot>> bots;
  uint32_t roundsPaid = 0;  // the characters' RoundsEnded when the bots were last paid
  int32_t pathBudget = 0;  // searches left this frame
  int32_t namesUsed = 0;
};

// Per level: created with Characters by Tgame::StartLevel and freed with them;
// null outside a running level.
extern TKI* KI;
