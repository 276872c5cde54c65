// Weapon models ("weapon.3ds", barrel along +z, origin at the grip, in the
// game's units) and the shop pictures of every weapon and equipment item.
// The settings files come from assets/settings/weapons/.
#include "canvas.h"
#include "generators.h"
#include "preview.h"
#include "scene_builder.h"

#include <cmath>

namespace {

struct TPistol {
  const char* Name;
  float Slide;    // length of the slide
  float Barrel;   // barrel sticking out beyond it
  float Height;
  bool Revolver;
  TColor3 Finish;
};

struct TRifle {
  const char* Name;
  float Length;   // receiver and barrel
  float Mag;      // magazine length (0: belt box)
  bool Scope, Bipod, Folded;
  TColor3 Finish, Furniture;
};

void Materials(TSceneBuilder& s, TColor3 finish, TColor3 furniture) {
  s.AddMaterial("finish", finish);
  s.AddMaterial("furniture", furniture);
  s.AddMaterial("steel", {0.18f, 0.18f, 0.2f});
  s.AddMaterial("glass", {0.2f, 0.35f, 0.55f});
}

void Pistol(TSceneBuilder& s, const TPistol& p) {
  Materials(s, p.Finish, {0.12f, 0.1f, 0.09f});
  const float h = p.Height;
  // Grip, raked back, then the frame and slide above it.
  s.Box("furniture", {-0.016f, -0.11f, -0.05f}, {0.016f, 0.0f, -0.005f});
  s.Box("furniture", {-0.017f, -0.1f, -0.065f}, {0.017f, -0.01f, -0.045f});
  s.Box("finish", {-0.016f, 0.0f, -0.06f}, {0.016f, 0.02f, p.Slide - 0.07f});
  s.Box("steel", {-0.004f, -0.04f, 0.0f}, {0.004f, 0.0f, 0.03f});  // trigger guard
  if (p.Revolver) {
    s.Box("finish", {-0.022f, 0.01f, -0.01f}, {0.022f, 0.06f, 0.05f});  // cylinder
    s.Box("steel", {-0.012f, 0.03f, 0.05f}, {0.012f, 0.055f, p.Slide + p.Barrel - 0.07f});
    s.Box("finish", {-0.015f, 0.05f, -0.06f}, {0.015f, 0.065f, 0.05f});
  } else {
    s.Box("finish", {-0.015f, 0.02f, -0.065f}, {0.015f, 0.02f + h, p.Slide - 0.065f});
    s.Box("steel", {-0.008f, 0.025f, p.Slide - 0.065f}, {0.008f, 0.04f, p.Slide - 0.065f + p.Barrel});
  }
  s.Box("steel", {-0.003f, 0.02f + h, p.Slide - 0.08f}, {0.003f, 0.03f + h, p.Slide - 0.07f});  // sight
}

void Rifle(TSceneBuilder& s, const TRifle& r) {
  Materials(s, r.Finish, r.Furniture);
  const float L = r.Length;
  s.Box("finish", {-0.025f, 0.0f, -0.15f}, {0.025f, 0.07f, 0.25f});        // receiver
  s.Box("furniture", {-0.028f, -0.01f, 0.25f}, {0.028f, 0.06f, L * 0.55f});  // handguard
  s.Box("steel", {-0.01f, 0.02f, L * 0.55f}, {0.01f, 0.04f, L * 0.75f});     // barrel
  s.Box("steel", {-0.014f, 0.016f, L * 0.75f - 0.03f}, {0.014f, 0.044f, L * 0.75f});  // muzzle
  s.Box("furniture", {-0.018f, -0.11f, -0.05f}, {0.018f, 0.0f, 0.0f});       // pistol grip
  if (r.Folded)
    s.Box("steel", {-0.02f, 0.03f, -0.4f}, {0.02f, 0.05f, -0.15f});          // wire stock
  else {
    s.Box("furniture", {-0.022f, -0.03f, -0.45f}, {0.022f, 0.06f, -0.15f});  // stock
    s.Box("furniture", {-0.024f, -0.07f, -0.47f}, {0.024f, 0.065f, -0.43f});
  }
  if (r.Mag > 0) s.Box("steel", {-0.016f, -r.Mag, 0.08f}, {0.016f, 0.0f, 0.14f});
  else s.Box("finish", {-0.05f, -0.12f, 0.02f}, {0.05f, 0.0f, 0.16f});      // ammunition box
  if (r.Scope) {
    s.Box("steel", {-0.02f, 0.09f, -0.08f}, {0.02f, 0.13f, 0.22f});
    s.Box("glass", {-0.022f, 0.085f, 0.22f}, {0.022f, 0.135f, 0.24f});
    s.Box("steel", {-0.008f, 0.07f, 0.0f}, {0.008f, 0.09f, 0.14f});
  } else {
    s.Box("steel", {-0.004f, 0.07f, 0.2f}, {0.004f, 0.1f, 0.22f});            // front sight
  }
  if (r.Bipod)
    for (float side : {-1.0f, 1.0f}) s.Box("steel", {side * 0.03f - 0.005f, -0.2f, L * 0.5f}, {side * 0.03f + 0.005f, 0.0f, L * 0.5f + 0.01f});
}

TCanvas ShopBackground() {
  TCanvas bg(128, 128);
  for (int y = 0; y < 128; ++y)
    for (int x = 0; x < 128; ++x)
      bg.At(x, y) = Scale(Mix(Hex(0x5a5650), Hex(0x2a2826), y / 127.0f), 0.9f + 0.2f * Fbm(x / 12.0f, y / 12.0f, 0, 3, 1501));
  bg.Bevel(0, 0, 128, 128, 3, 0.45f, false);
  return bg;
}

void Weapon(TDataTree& tree, const std::string& name, const TSceneBuilder& s) {
  const std::string dir = "weapons/" + name + "/";
  tree.Add(dir + "weapon.3ds", Encode3ds(s.Scene(name + "_")));
  tree.Add(dir + "graphic.jpg", RenderPreview(s, 90, 10, ShopBackground()).JPEG(92));
}

void Equipment(TDataTree& tree, const std::string& name, const TSceneBuilder& s, float yaw) {
  tree.Add("weapons/" + name + "/graphic.jpg", RenderPreview(s, yaw, 20, ShopBackground()).JPEG(92));
}

}  // namespace

void BuildWeapons(TDataTree& tree) {
  const TPistol pistols[] = {
      {"Hornet", 0.17f, 0.0f, 0.03f, false, {0.1f, 0.1f, 0.1f}},
      {"Marshal", 0.2f, 0.01f, 0.032f, false, {0.45f, 0.46f, 0.48f}},
      {"Viper", 0.16f, 0.06f, 0.035f, false, {0.15f, 0.15f, 0.17f}},
      {"Ranger", 0.24f, 0.05f, 0.028f, false, {0.3f, 0.28f, 0.26f}},
      {"Judge", 0.16f, 0.16f, 0.0f, true, {0.55f, 0.56f, 0.58f}},
  };
  for (const TPistol& p : pistols) {
    TSceneBuilder s;
    Pistol(s, p);
    Weapon(tree, p.Name, s);
  }
  const TRifle rifles[] = {
      {"Bulldog", 0.55f, 0.22f, false, false, true, {0.12f, 0.12f, 0.13f}, {0.1f, 0.1f, 0.1f}},
      {"Lancer", 0.9f, 0.18f, false, false, false, {0.14f, 0.14f, 0.15f}, {0.36f, 0.22f, 0.12f}},
      {"Warden", 1.0f, 0.14f, false, false, false, {0.22f, 0.24f, 0.18f}, {0.3f, 0.3f, 0.22f}},
      {"Tempest", 1.05f, 0.0f, false, true, false, {0.16f, 0.16f, 0.14f}, {0.2f, 0.2f, 0.18f}},
      {"Longbow", 1.2f, 0.08f, true, true, false, {0.18f, 0.2f, 0.16f}, {0.28f, 0.32f, 0.2f}},
  };
  for (const TRifle& r : rifles) {
    TSceneBuilder s;
    Rifle(s, r);
    Weapon(tree, r.Name, s);
  }
  {
    TSceneBuilder s;
    Rifle(s, {"default", 0.9f, 0.18f, false, false, false, {0.3f, 0.3f, 0.3f}, {0.4f, 0.4f, 0.4f}});
    Weapon(tree, "default", s);
  }
  // Equipment exists only as pictures in the shop.
  {
    TSceneBuilder s;
    s.AddMaterial("steel", {0.25f, 0.25f, 0.27f});
    s.AddMaterial("brass", {0.8f, 0.6f, 0.25f});
    for (int i = 0; i < 8; ++i) {
      const float y = i * 0.03f, z = i * i * 0.0015f;
      s.Box("steel", {-0.02f, y, -0.04f + z}, {0.02f, y + 0.03f, 0.04f + z});
    }
    s.Box("brass", {-0.01f, 0.24f, -0.03f + 0.1f}, {0.01f, 0.26f, 0.03f + 0.1f});
    Equipment(tree, "Magazine", s, 80);
  }
  {
    TSceneBuilder s;
    s.AddMaterial("cloth", {0.22f, 0.26f, 0.2f});
    s.AddMaterial("plate", {0.3f, 0.34f, 0.28f});
    s.Box("cloth", {-0.22f, -0.3f, -0.06f}, {0.22f, 0.2f, 0.06f});
    s.Box("plate", {-0.18f, -0.25f, 0.06f}, {0.18f, 0.12f, 0.09f});
    for (float x : {-0.16f, 0.08f}) s.Box("cloth", {x, 0.2f, -0.05f}, {x + 0.08f, 0.32f, 0.05f});
    Equipment(tree, "Armour", s, 20);
  }
  {
    TSceneBuilder s;
    s.AddMaterial("shell", {0.26f, 0.3f, 0.22f});
    for (int i = 0; i < 6; ++i) {
      const float w = 0.14f * std::cos(i * 0.25f), y = i * 0.03f;
      s.Box("shell", {-w, y, -w * 1.15f}, {w, y + 0.03f, w * 1.15f});
    }
    s.Box("shell", {-0.16f, -0.01f, -0.18f}, {0.16f, 0.0f, 0.18f});
    Equipment(tree, "Helmet", s, 35);
  }
  {
    TSceneBuilder s;
    s.AddMaterial("case", {0.85f, 0.85f, 0.82f});
    s.AddMaterial("cross", {0.8f, 0.1f, 0.1f});
    s.Box("case", {-0.15f, 0, -0.05f}, {0.15f, 0.2f, 0.05f});
    s.Box("cross", {-0.02f, 0.04f, 0.05f}, {0.02f, 0.16f, 0.055f});
    s.Box("cross", {-0.06f, 0.08f, 0.05f}, {0.06f, 0.12f, 0.055f});
    s.Box("case", {-0.04f, 0.2f, -0.01f}, {0.04f, 0.23f, 0.01f});
    Equipment(tree, "Medikit", s, 15);
  }
  {
    TSceneBuilder s;
    s.AddMaterial("body", {0.15f, 0.15f, 0.15f});
    s.AddMaterial("glass", {0.3f, 0.45f, 0.7f});
    for (float x : {-0.05f, 0.05f}) {
      s.Box("body", {x - 0.03f, -0.03f, -0.08f}, {x + 0.03f, 0.03f, 0.08f});
      s.Box("glass", {x - 0.025f, -0.025f, 0.08f}, {x + 0.025f, 0.025f, 0.085f});
    }
    s.Box("body", {-0.02f, -0.01f, -0.02f}, {0.02f, 0.01f, 0.02f});
    Equipment(tree, "Binoculars", s, 30);
  }
}
