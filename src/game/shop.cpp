// The shop: pistols, rifles, magazines and armour for the local player's
// money. Money lives on each machine and is not sent.
#include "core/console_sink.h"
#include "game/character.h"
#include "game/characters.h"
#include "game/game_hooks.h"
#include "game/weapons.h"

// The item, or null for an index outside the list.
template <typename T>
static T* Item(const std::vector<std::unique_ptr<T>>& list, int32_t i) {
  return i >= 0 && static_cast<size_t>(i) < list.size() ? list[static_cast<size_t>(i)].get() : nullptr;
}

// Only the local player reads the console and uses the buy window: a bot
// buying on the server neither prints nor closes the player's window.
static void Tell(const TCharacter& c, const std::string& line) {
  if (c.Owner.LocalCharacter == &c) ConsolePrint(line);
}

// The weapon comes with one loaded magazine and no spares; the slot stays.
static bool BuyWeapon(TCharacter& c, const TWeapon* w, const char* kind, int32_t i, int32_t& index,
                      uint32_t& magazines, int32_t& shots) {
  if (!w) return false;
  if (c.Money < w->Prize) {
    Tell(c, std::string("You haven't enough money to buy this ") + kind + "!");
    return false;
  }
  c.Money -= w->Prize;
  Tell(c, "You successfully bought a " + w->FolderName);
  if (GameHooks.HideBuyWindow && c.Owner.LocalCharacter == &c) GameHooks.HideBuyWindow();
  index = i;
  magazines = 0;
  shots = w->MagazineShots;
  c.MarkDirty();
  return true;
}

void TCharacter::BuyPistol(int32_t i) {
  if (Weapons) BuyWeapon(*this, Item(Weapons->Pistols, i), "pistol", i, PistolIndex, PistolMagazines, PistolShots);
}

void TCharacter::BuyRifle(int32_t i) {
  if (Weapons) BuyWeapon(*this, Item(Weapons->Rifles, i), "rifle", i, RifleIndex, RifleMagazines, RifleShots);
}

void TCharacter::BuyEquipment(int32_t i) {
  if (!Weapons) return;
  if (i == 0) {
    int32_t index;
    uint32_t* magazines;
    const TWeapon* w;
    if (WeaponSlot == 0) {
      index = RifleIndex;
      magazines = &RifleMagazines;
      w = Item(Weapons->Rifles, index);
    } else if (WeaponSlot == 1) {
      index = PistolIndex;
      magazines = &PistolMagazines;
      w = Item(Weapons->Pistols, index);
    } else {
      Tell(*this, "You have not armed any weapon.");
      return;
    }
    if (index < 0 || !w) {
      Tell(*this, "Buy a Weapon first!");
    } else if (Money < w->MagazinePrize) {
      Tell(*this, "You have not enough money.");
    } else if (*magazines < static_cast<uint32_t>(w->MaxMagazines)) {
      Money -= w->MagazinePrize;
      *magazines += 1;
      Tell(*this, "You bought a magazine.");
    } else {
      Tell(*this, "Your magazines are full.");
    }
  } else if (i == 1) {
    const TEquip* armour = Item(Weapons->Equips, 1);
    if (!armour) return;
    if (Money < armour->Prize) {
      Tell(*this, "You have not enough money.");
    } else {
      Money -= armour->Prize;
      SetArmour(100);
      Tell(*this, "You bought armour.");
    }
  }
}
