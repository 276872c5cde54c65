// Weapons and equipment from the shipped data and from broken settings.
#include "game_fixture.h"

#include "core/logger.h"
#include "render/model.h"

#include <fstream>
#include <sstream>

namespace {

class WeaponsTest : public GameTest {
 protected:
  static std::string LogText() {
    Logger->Flush();
    std::ifstream in(Logger->LogPath());
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // Replaces the shipped weapons with a tree of our own.
  void OwnWeapons() {
    std::filesystem::remove(dir / "data/weapons");
    std::filesystem::create_directories(dir / "data/weapons");
  }
  void Item(const std::string& name, const std::string& settings, bool model, bool picture) {
    const std::string shipped = std::string(GRIMVALE_BIN_DIR) + "/data/weapons/Hornet/";
    std::filesystem::create_directories(dir / ("data/weapons/" + name));
    WriteFile(dir / ("data/weapons/" + name + "/config.ini"), settings);
    if (model) std::filesystem::copy_file(shipped + "weapon.3ds", dir / ("data/weapons/" + name + "/weapon.3ds"));
    if (picture) std::filesystem::copy_file(shipped + "graphic.jpg", dir / ("data/weapons/" + name + "/graphic.jpg"));
  }
};

TEST_F(WeaponsTest, AllFifteenShippedItemsLoadWithModelsAndPictures) {
  REQUIRE_GL_WINDOW(64, 64);
  ClearMessageBoxes();
  delete Weapons;
  Weapons = new TWeapons(true);
  const std::vector<std::string> pistols{"Hornet", "Marshal", "Viper", "Ranger", "Judge"};
  const std::vector<std::string> rifles{"Bulldog", "Lancer", "Warden", "Tempest", "Longbow"};
  const std::vector<std::string> equips{"Magazine", "Armour", "Helmet", "Medikit", "Binoculars"};
  ASSERT_EQ(Weapons->Pistols.size(), 5u);
  ASSERT_EQ(Weapons->Rifles.size(), 5u);
  ASSERT_EQ(Weapons->Equips.size(), 5u);
  for (int i = 0; i < 5; ++i) {
    for (const TWeapon* w : {Weapons->Pistols[i].get(), Weapons->Rifles[i].get()}) {
      SCOPED_TRACE(w->FolderName);
      ASSERT_NE(w->Mesh, nullptr);
      EXPECT_FALSE(w->Mesh->Meshes.empty());
      EXPECT_NE(w->Mesh->Prepared, nullptr);
      EXPECT_NE(w->Texture, 0u);
      EXPECT_NE(w->Description, kDefaultDescription);
    }
    EXPECT_EQ(Weapons->Pistols[i]->FolderName, pistols[i]);
    EXPECT_EQ(Weapons->Rifles[i]->FolderName, rifles[i]);
    EXPECT_EQ(Weapons->Equips[i]->FolderName, equips[i]);
    EXPECT_NE(Weapons->Equips[i]->Texture, 0u);
  }
  const TWeapon& hornet = *Weapons->Pistols[0];
  EXPECT_EQ(hornet.Damage, 12);
  EXPECT_EQ(hornet.Accuracy, 6);
  EXPECT_EQ(hornet.MagazineShots, 15);
  EXPECT_EQ(hornet.MaxMagazines, 4);
  EXPECT_EQ(hornet.Prize, 200);
  EXPECT_EQ(hornet.MagazinePrize, 40);
  EXPECT_EQ(hornet.Sleep, 180);
  EXPECT_EQ(hornet.ReloadSleep, 1200);
  EXPECT_EQ(Weapons->Equips[1]->Prize, 650);
  EXPECT_TRUE(MessageBoxes().empty());
  delete Weapons;
  Weapons = nullptr;
}

TEST_F(WeaponsTest, BrokenSettingsGiveDefaultsAndLogLines) {
  REQUIRE_GL_WINDOW(64, 64);
  OwnWeapons();
  WriteFile(dir / "data/weapons/config.ini", "[pistols]\nPistol1=Good\nPistol2=Garbage\nPistol3=Bare\n");
  Item("Good", "[config]\nWeapondmg=7.5\nprize=0x20\nsleep=90\n", true, true);
  Item("Garbage",
       "[config]\nWeapondmg=abc\naccuracy=1e999\nmagazineshots=-5\nmaxmagazines=12x\nprize=nan\n"
       "magazineprize=\nsleep=3.5\nreloadsleep=99999999999\n",
       false, false);
  std::filesystem::create_directories(dir / "data/weapons/Bare");
  WriteFile(dir / "data/weapons/Bare/weapon.3ds", "not a model at all");
  ClearMessageBoxes();
  delete Weapons;
  Weapons = new TWeapons(true);

  ASSERT_EQ(Weapons->Pistols.size(), 5u);
  ASSERT_EQ(Weapons->Rifles.size(), 5u);
  ASSERT_EQ(Weapons->Equips.size(), 5u);
  const TWeapon& good = *Weapons->Pistols[0];
  EXPECT_EQ(good.Damage, 7.5f);
  EXPECT_EQ(good.Prize, 32);
  EXPECT_EQ(good.Sleep, 90);
  EXPECT_EQ(good.MagazineShots, 30);  // missing key
  EXPECT_NE(good.Mesh, nullptr);
  EXPECT_NE(good.Texture, 0u);

  const TWeapon defaults("nowhere", false);
  for (int i : {1, 2, 3, 4}) {
    const TWeapon& w = *Weapons->Pistols[i];
    SCOPED_TRACE(w.FolderName);
    EXPECT_EQ(w.Damage, defaults.Damage);
    EXPECT_EQ(w.Accuracy, defaults.Accuracy);
    EXPECT_EQ(w.Prize, defaults.Prize);
    EXPECT_EQ(w.MagazineShots, defaults.MagazineShots);
    EXPECT_EQ(w.MaxMagazines, defaults.MaxMagazines);
    EXPECT_EQ(w.MagazinePrize, defaults.MagazinePrize);
    EXPECT_EQ(w.Sleep, defaults.Sleep);
    EXPECT_EQ(w.ReloadSleep, defaults.ReloadSleep);
    EXPECT_EQ(w.Description, kDefaultDescription);
    EXPECT_EQ(w.Texture, 0u);
  }
  EXPECT_EQ(Weapons->Pistols[1]->Mesh, nullptr);
  EXPECT_EQ(Weapons->Pistols[3]->FolderName, "default");
  EXPECT_EQ(Weapons->Rifles[0]->FolderName, "default");
  EXPECT_EQ(Weapons->Equips[4]->Prize, 2000);
  EXPECT_EQ(Weapons->Equips[4]->Description, kDefaultDescription);
  EXPECT_TRUE(MessageBoxes().empty());

  const std::string log = LogText();
  EXPECT_NE(log.find("Failed to load Weapon: data\\weapons\\Garbage\\"), std::string::npos);
  EXPECT_NE(log.find("Failed to load Weapon: data\\weapons\\default\\"), std::string::npos);
  EXPECT_NE(log.find("No shop picture: data\\weapons\\Garbage\\graphic.jpg"), std::string::npos);
  for (const char* key : {"Weapondmg", "accuracy", "magazineshots", "maxmagazines", "prize", "magazineprize", "sleep",
                          "reloadsleep"})
    EXPECT_NE(log.find("Garbage\\config.ini: \"" + std::string(key) + "\" = "), std::string::npos) << key;
  delete Weapons;
  Weapons = nullptr;
}

}  // namespace
