// What a new player is told at the bottom of the HUD: at the first spawn of
// each level the keys that matter, for some seconds or until one of them is
// used; and while the player has nothing to fire, the key of the shop, until
// the shop has been opened.
#pragma once
#include <cstdint>
#include <string>

#include "core/key_codes.h"

class TCharacter;

enum class THintKey { Buy, Scores, Chat, Console, Camera };

// The keys as this player has them.
struct THintBindings {
  uint16_t Buy = kKeyB, Scores = kKeyTab, Chat = kKeyC, Console = kKeyBackquote, Camera = kKeyF;
};

class THints {
 public:
  static constexpr uint32_t kKeysShowMs = 10000;

  // A new level: its first spawn shows the keys again.
  void LevelStarted();
  // Every frame in game: the first time the player lives starts the key line.
  void Update(const TCharacter& player, uint32_t now);
  void Used(THintKey key);

  // The lines, "" while not shown.
  std::string KeysLine(const THintBindings& keys, uint32_t now) const;
  std::string ShopLine(const TCharacter& player, const THintBindings& keys) const;

 private:
  bool spawned = false;
  uint32_t spawnTime = 0;
  bool keysUsed = false, shopUsed = false;
};

// A key's name as printed on it ("B", "Tab", "F5", "`").
std::string KeyName(uint16_t symbol);
// The player has something to fire: a rifle or a pistol with rounds.
bool HasWeapon(const TCharacter& player);

// Draws both lines centred above the HUD's numbers (hud_hints_draw.cpp).
void DrawHints(const THints& hints, const TCharacter& player, const THintBindings& keys, uint32_t now);
