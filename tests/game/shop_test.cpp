// The shop's three operations with their console lines, reloading, and the
// firing cadence.
#include "game_fixture.h"

namespace {

class ShopTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    MakeCharacters();
    buyer = characters->LocalCharacter;
    buyer->SetHealth(100);
    GameHooks.HideBuyWindow = [this] { ++hidden; };
  }
  TCharacter* buyer = nullptr;
  int hidden = 0;
};

TEST_F(ShopTest, WeaponsAtTheirPrice) {
  struct Case {
    bool rifle;
    int32_t item;
    int32_t moneyAbovePrice;
  };
  for (Case c : {Case{false, 0, 0}, Case{false, 4, -1}, Case{true, 2, 0}, Case{true, 1, -1}, Case{true, 3, 50}}) {
    SCOPED_TRACE(std::string(c.rifle ? "rifle " : "pistol ") + std::to_string(c.item) + ", money " +
                 std::to_string(c.moneyAbovePrice));
    const TWeapon& w = *(c.rifle ? Weapons->Rifles : Weapons->Pistols)[c.item];
    buyer->Money = w.Prize + c.moneyAbovePrice;
    buyer->PistolIndex = 0;
    buyer->RifleIndex = -1;
    buyer->PistolMagazines = buyer->RifleMagazines = 2;
    buyer->SetWeaponSlot(3);
    console.clear();
    hidden = 0;
    if (c.rifle)
      buyer->BuyRifle(c.item);
    else
      buyer->BuyPistol(c.item);
    const bool bought = c.moneyAbovePrice >= 0;
    int32_t index = c.rifle ? buyer->RifleIndex : buyer->PistolIndex;
    EXPECT_EQ(index, bought ? c.item : (c.rifle ? -1 : 0));
    EXPECT_EQ(buyer->Money, bought ? c.moneyAbovePrice : w.Prize + c.moneyAbovePrice);
    EXPECT_EQ(hidden, bought ? 1 : 0);
    EXPECT_EQ(buyer->WeaponSlot, 3);
    if (bought) {
      EXPECT_EQ(console, std::vector<std::string>{"You successfully bought a " + w.FolderName});
      EXPECT_EQ(c.rifle ? buyer->RifleShots : buyer->PistolShots, w.MagazineShots);
      EXPECT_EQ(c.rifle ? buyer->RifleMagazines : buyer->PistolMagazines, 0u);
    } else {
      EXPECT_EQ(console, std::vector<std::string>{std::string("You haven't enough money to buy this ") +
                                                  (c.rifle ? "rifle!" : "pistol!")});
    }
  }
}

TEST_F(ShopTest, MagazinesArmourAndTheItemsThatDoNothing) {
  const TWeapon& rifle = *Weapons->Rifles[1];
  auto buy = [&](int32_t item) {
    console.clear();
    buyer->BuyEquipment(item);
    return console.empty() ? std::string() : console.back();
  };
  buyer->Money = 100000;
  buyer->SetWeaponSlot(2);
  EXPECT_EQ(buy(0), "You have not armed any weapon.");
  buyer->SetWeaponSlot(0);
  EXPECT_EQ(buy(0), "Buy a Weapon first!");
  buyer->RifleIndex = 1;
  buyer->Money = rifle.MagazinePrize - 1;
  EXPECT_EQ(buy(0), "You have not enough money.");
  buyer->Money = rifle.MagazinePrize * rifle.MaxMagazines;
  for (int32_t i = 0; i < rifle.MaxMagazines; ++i) EXPECT_EQ(buy(0), "You bought a magazine.");
  EXPECT_EQ(buyer->Money, 0);
  buyer->Money = 1000;
  EXPECT_EQ(buy(0), "Your magazines are full.");
  EXPECT_EQ(buyer->Money, 1000);
  EXPECT_EQ(buyer->RifleMagazines, static_cast<uint32_t>(rifle.MaxMagazines));

  const int32_t armourPrice = Weapons->Equips[1]->Prize;
  buyer->SetArmour(100);
  buyer->Money = armourPrice;
  EXPECT_EQ(buy(1), "You bought armour.");  // even when already full
  EXPECT_EQ(buyer->Money, 0);
  buyer->SetArmour(10);
  buyer->Money = armourPrice - 1;
  EXPECT_EQ(buy(1), "You have not enough money.");
  EXPECT_EQ(buyer->Armour, 10);

  buyer->Money = 100000;
  for (int32_t item : {2, 3, 4, 5, -1}) EXPECT_EQ(buy(item), "") << item;
  EXPECT_EQ(buyer->Money, 100000);
}

TEST_F(ShopTest, ReloadTakesASpareMagazineAndBlocksFireForReloadSleep) {
  const TWeapon& pistol = *Weapons->Pistols[0];
  characters->Now = 100000;
  buyer->Money = pistol.Prize;
  buyer->BuyPistol(0);
  buyer->SetWeaponSlot(1);
  buyer->Reload();  // no spare magazine: nothing happens
  EXPECT_FALSE(characters->HasReloaded);
  buyer->Shoot();
  buyer->Shoot();  // too soon after the first
  EXPECT_EQ(buyer->PistolShots, pistol.MagazineShots - 1);
  EXPECT_EQ(effects.MuzzleRestarts, 1);

  buyer->PistolMagazines = 1;
  characters->Now += 1000;
  buyer->Reload();
  EXPECT_EQ(buyer->PistolShots, pistol.MagazineShots);
  EXPECT_EQ(buyer->PistolMagazines, 0u);
  characters->Now += pistol.ReloadSleep;  // not yet: the time must be exceeded
  buyer->Shoot();
  EXPECT_EQ(buyer->PistolShots, pistol.MagazineShots);
  characters->Now += 1;
  buyer->Shoot();
  EXPECT_EQ(buyer->PistolShots, pistol.MagazineShots - 1);

  buyer->PistolShots = 0;
  characters->Now += 10000;
  buyer->Shoot();  // an empty pistol does not fire
  EXPECT_EQ(buyer->PistolShots, 0);
  EXPECT_EQ(effects.MuzzleRestarts, 2);
}

TEST_F(ShopTest, HeldFireRepeatsOnlyWithTheRifleAtItsCadence) {
  TWeapon& rifle = *Weapons->Rifles[0];
  rifle.Sleep = 300;
  buyer->RifleIndex = 0;
  buyer->RifleShots = 100;
  buyer->PistolIndex = 0;
  buyer->PistolShots = 100;
  for (int32_t slot : {0, 1, 2}) {
    SCOPED_TRACE(slot);
    buyer->SetWeaponSlot(slot);
    buyer->RifleLastShot = buyer->PistolLastShot = 0;
    effects.MuzzleRestarts = 0;
    const uint32_t start = 200000 + 10000 * slot;
    characters->Now = start;
    buyer->Shoot();  // the press
    for (uint32_t t = start + 10; t < start + 1000; t += 10) {  // one frame each 10 ms
      characters->Tick(t, true);
      characters->AutoFire();
    }
    EXPECT_EQ(effects.MuzzleRestarts, slot == 0 ? 4 : slot == 1 ? 1 : 0);
  }
  buyer->SetWeaponSlot(0);
  buyer->SetDead(true);
  effects.MuzzleRestarts = 0;
  characters->Now += 5000;
  characters->AutoFire();
  EXPECT_EQ(effects.MuzzleRestarts, 0);
}

}  // namespace
