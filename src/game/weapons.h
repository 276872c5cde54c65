// The shop's goods: five pistols, five rifles and five equipment items, each a
// directory below "data\weapons\" with "config.ini" (section "config"), a
// model "weapon.3ds" (pistols and rifles) and a shop picture "graphic.jpg".
// "data\weapons\config.ini" names the directories (sections "pistols",
// "rifles", "equips", keys "Pistol1".."Pistol5" and so on; a missing key means
// "default"). Equipment 0 is the magazine, 1 the armour; 2 to 4 are shown and
// do nothing. Drawing lives in weapons_draw.cpp.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TAll3dsMesh;

inline constexpr const char* kDefaultDescription = "default description. change plz.";

class TWeapon {
 public:
  // Reads the settings; a missing or unusable value takes its default (a
  // value that is not a number, negative, or not finite is logged). The model
  // and picture need an OpenGL context unless graphics is false.
  explicit TWeapon(const std::string& folderName, bool graphics = true);
  ~TWeapon();  // frees the model and deletes the picture
  TWeapon(const TWeapon&) = delete;
  TWeapon& operator=(const TWeapon&) = delete;

  void Draw() const;  // the model, if it exists

  float Damage = 20.0f;
  float Accuracy = 1.0f;
  int32_t Prize = 2000;
  int32_t MagazineShots = 30;
  int32_t MaxMagazines = 3;
  int32_t MagazinePrize = 100;
  int32_t Sleep = 300;
  int32_t ReloadSleep = 1000;
  unsigned Texture = 0;
  std::string Description = kDefaultDescription;
  std::string FolderName;
  std::unique_ptr<TAll3dsMesh> Mesh;
};

class TEquip {
 public:
  explicit TEquip(const std::string& folderName, bool graphics = true);
  ~TEquip();  // deletes the picture
  TEquip(const TEquip&) = delete;
  TEquip& operator=(const TEquip&) = delete;

  std::string Description = kDefaultDescription;
  std::string FolderName;
  int32_t Prize = 2000;
  unsigned Texture = 0;
};

class TWeapons {
 public:
  // Always five of each, whatever the files hold.
  explicit TWeapons(bool graphics = true);
  int32_t AddPistol(const std::string& folderName);
  int32_t AddRifle(const std::string& folderName);

  std::vector<std::unique_ptr<TWeapon>> Pistols;
  std::vector<std::unique_ptr<TWeapon>> Rifles;
  std::vector<std::unique_ptr<TEquip>> Equips;

 private:
  bool graphics;
};

// Whole run: created by Tgame::Run after the window opens, replaced by the
// console's "reinit_weapons", freed at the end of the run; null before.
extern TWeapons* Weapons;

// Deletes a GL texture name (weapons_draw.cpp).
void DeleteWeaponTexture(unsigned& texture);
// Loads "graphic.jpg" of a directory as the shop picture (weapons_draw.cpp).
void LoadWeaponPicture(const std::string& dir, unsigned& texture);
