// Reading the weapons and equipment from their directories.
#include "game/weapons.h"

#include <cmath>
#include <exception>
#include <limits>

#include "core/ini_file.h"
#include "core/log_sources.h"
#include "core/logger.h"
#include "core/paths.h"
#include "render/model.h"

TWeapons* Weapons = nullptr;

static constexpr const char* kSection = "config";

// A settings file and its game path for the log.
struct TSettings {
  explicit TSettings(const std::string& gamePath) : Ini(HostPath(gamePath)), Path(gamePath) {}
  TIniFile Ini;
  std::string Path;
};

static void LogBad(const TSettings& settings, const std::string& key) {
  if (Logger)
    Logger->LogError(settings.Path + ": \"" + key + "\" = \"" + settings.Ini.ReadString(kSection, key, "") +
                         "\" is unusable; default used",
                     LogSource::Characters);
}

// A count, price or time: a whole number of 0 or more; anything else keeps def.
static int32_t ReadCount(const TSettings& settings, const std::string& key, int32_t def) {
  if (!settings.Ini.ValueExists(kSection, key)) return def;
  constexpr int32_t kUnusable = std::numeric_limits<int32_t>::min();
  int32_t v = settings.Ini.ReadInteger(kSection, key, kUnusable);
  if (v < 0) {
    LogBad(settings, key);
    return def;
  }
  return v;
}

// A finite single of 0 or more.
static float ReadAmount(const TSettings& settings, const std::string& key, float def) {
  if (!settings.Ini.ValueExists(kSection, key)) return def;
  float v = static_cast<float>(settings.Ini.ReadFloat(kSection, key, std::nan("")));
  if (!std::isfinite(v) || v < 0) {
    LogBad(settings, key);
    return def;
  }
  return v;
}

static std::string Directory(const std::string& folderName) { return "data\\weapons\\" + folderName + "\\"; }

TWeapon::TWeapon(const std::string& folderName, bool graphics) {
  const std::string dir = Directory(folderName);
  if (!FileExists(HostPath(dir + "weapon.3ds"))) {
    if (Logger) Logger->LogError("Failed to load Weapon: " + dir, LogSource::Characters);
  } else {
    Mesh = std::make_unique<TAll3dsMesh>();
    Mesh->TextureDir = dir;
    Mesh->BuildTextures = graphics;
    try {
      Mesh->LoadFromFile(dir + "weapon.3ds");
      if (graphics) Mesh->Prepare();
    } catch (const std::exception& e) {
      if (Logger) Logger->LogError("Failed to load Weapon: " + dir + " (" + e.what() + ")", LogSource::Characters);
      Mesh.reset();
    }
  }
  if (graphics) LoadWeaponPicture(dir, Texture);
  TSettings ini(dir + "config.ini");
  Damage = ReadAmount(ini, "Weapondmg", Damage);
  Accuracy = ReadAmount(ini, "accuracy", Accuracy);
  MagazineShots = ReadCount(ini, "magazineshots", MagazineShots);
  MaxMagazines = ReadCount(ini, "maxmagazines", MaxMagazines);
  Prize = ReadCount(ini, "prize", Prize);
  Description = ini.Ini.ReadString(kSection, "description", Description);
  MagazinePrize = ReadCount(ini, "magazineprize", MagazinePrize);
  Sleep = ReadCount(ini, "sleep", Sleep);
  ReloadSleep = ReadCount(ini, "reloadsleep", ReloadSleep);
  FolderName = folderName;
}

TWeapon::~TWeapon() { DeleteWeaponTexture(Texture); }

TEquip::TEquip(const std::string& folderName, bool graphics) {
  const std::string dir = Directory(folderName);
  TSettings ini(dir + "config.ini");
  Prize = ReadCount(ini, "prize", Prize);
  Description = ini.Ini.ReadString(kSection, "description", Description);
  FolderName = folderName;
  if (graphics) LoadWeaponPicture(dir, Texture);
}

TEquip::~TEquip() { DeleteWeaponTexture(Texture); }

TWeapons::TWeapons(bool graphics) : graphics(graphics) {
  TIniFile ini(HostPath("data\\weapons\\config.ini"));
  for (int i = 1; i <= 5; ++i) AddPistol(ini.ReadString("pistols", "Pistol" + std::to_string(i), "default"));
  for (int i = 1; i <= 5; ++i) AddRifle(ini.ReadString("rifles", "Rifle" + std::to_string(i), "default"));
  for (int i = 1; i <= 5; ++i)
    Equips.push_back(std::make_unique<TEquip>(ini.ReadString("equips", "Equip" + std::to_string(i), "default"), graphics));
}

int32_t TWeapons::AddPistol(const std::string& folderName) {
  Pistols.push_back(std::make_unique<TWeapon>(folderName, graphics));
  return static_cast<int32_t>(Pistols.size()) - 1;
}

int32_t TWeapons::AddRifle(const std::string& folderName) {
  Rifles.push_back(std::make_unique<TWeapon>(folderName, graphics));
  return static_cast<int32_t>(Rifles.size()) - 1;
}
