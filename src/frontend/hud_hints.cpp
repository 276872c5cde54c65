// When the hints show and what they say.
#include "frontend/hud_hints.h"

#include "game/character.h"

void THints::LevelStarted() { *this = THints{}; }

void THints::Update(const TCharacter& player, uint32_t now) {
  if (spawned || player.Dead || !player.InUse) return;
  spawned = true;
  spawnTime = now;
}

void THints::Used(THintKey key) {
  keysUsed = true;
  if (key == THintKey::Buy) shopUsed = true;
}

std::string THints::KeysLine(const THintBindings& keys, uint32_t now) const {
  if (!spawned || keysUsed || now - spawnTime >= kKeysShowMs) return "";
  return KeyName(keys.Buy) + " buy   " + KeyName(keys.Scores) + " scores   " + KeyName(keys.Chat) + " chat   " +
         KeyName(keys.Console) + " console   " + KeyName(keys.Camera) + " camera";
}

std::string THints::ShopLine(const TCharacter& player, const THintBindings& keys) const {
  if (!spawned || shopUsed || player.Dead || HasWeapon(player)) return "";
  return "No weapon: press " + KeyName(keys.Buy) + " to open the shop";
}

bool HasWeapon(const TCharacter& player) {
  const bool rifle = player.RifleIndex >= 0 && (player.RifleShots > 0 || player.RifleMagazines > 0);
  return rifle || player.PistolShots > 0 || player.PistolMagazines > 0;
}

std::string KeyName(uint16_t symbol) {
  if (symbol >= kKeyA && symbol <= kKeyZ) return std::string(1, static_cast<char>(symbol - kKeyA + 'A'));
  if (symbol >= kKeyF1 && symbol <= kKeyF12) return "F" + std::to_string(symbol - kKeyF1 + 1);
  if (symbol >= kKeyKp0 && symbol <= kKeyKp9) return "Keypad " + std::to_string(symbol - kKeyKp0);
  switch (symbol) {
    case kKeyTab: return "Tab";
    case kKeySpace: return "Space";
    case kKeyReturn: return "Enter";
    case kKeyBackspace: return "Backspace";
    case kKeyEscape: return "Esc";
    case kKeyUp: return "Up";
    case kKeyDown: return "Down";
    case kKeyLeft: return "Left";
    case kKeyRight: return "Right";
    case kKeyLShift: case kKeyRShift: return "Shift";
    case kKeyLCtrl: case kKeyRCtrl: return "Ctrl";
    case kKeyLAlt: case kKeyRAlt: return "Alt";
    default: break;
  }
  if (symbol > kKeySpace && symbol < kKeyDelete) return std::string(1, static_cast<char>(symbol));
  return "Key " + std::to_string(symbol);
}
