// The four character models, two per team, and their pictures. A figure is
// 1.8 units tall and faces +z; its origin is the centre of its head, because
// the game draws the model at the head sphere's centre. With the feet at
// y = -1.665 and the crown at 0.135 the hit spheres the game derives from the
// bounding box land on the head, the chest and the legs.
#include "canvas.h"
#include "generators.h"
#include "preview.h"
#include "scene_builder.h"

#include <cmath>

namespace {

struct TOutfit {
  const char* Name;
  TColor3 Skin, Shirt, Trousers, Boots, Vest, Head;
  enum { Helmet, Cap, Balaclava, Beret } Headgear;
  bool Vested;
};

constexpr float kFeet = -1.665f;

void Figure(TSceneBuilder& s, const TOutfit& o) {
  s.AddMaterial("skin", o.Skin);
  s.AddMaterial("shirt", o.Shirt);
  s.AddMaterial("trousers", o.Trousers);
  s.AddMaterial("boots", o.Boots);
  s.AddMaterial("vest", o.Vest);
  s.AddMaterial("headgear", o.Head);
  s.AddMaterial("dark", {0.08f, 0.08f, 0.08f});
  const float f = kFeet;
  // Legs with boots, slightly apart.
  for (float side : {-1.0f, 1.0f}) {
    const float x = side * 0.11f;
    s.Box("boots", {x - 0.075f, f, -0.1f}, {x + 0.075f, f + 0.12f, 0.16f});
    s.Box("trousers", {x - 0.08f, f + 0.12f, -0.085f}, {x + 0.08f, f + 0.5f, 0.085f});  // shin
    s.Box("trousers", {x - 0.09f, f + 0.5f, -0.095f}, {x + 0.09f, f + 0.9f, 0.095f});   // thigh
  }
  s.Box("trousers", {-0.2f, f + 0.82f, -0.11f}, {0.2f, f + 1.0f, 0.11f});  // hips
  s.Box("dark", {-0.205f, f + 0.96f, -0.115f}, {0.205f, f + 1.01f, 0.115f});  // belt
  s.Box("shirt", {-0.22f, f + 1.0f, -0.12f}, {0.22f, f + 1.45f, 0.12f});    // torso
  if (o.Vested) s.Box("vest", {-0.205f, f + 1.05f, -0.135f}, {0.205f, f + 1.4f, 0.135f});
  s.Box("skin", {-0.05f, f + 1.45f, -0.05f}, {0.05f, f + 1.54f, 0.05f});  // neck
  // Arms: upper arms hang from the shoulders, forearms reach forward to the
  // weapon the game draws in front of the face.
  for (float side : {-1.0f, 1.0f}) {
    const float x = side * 0.28f;
    s.Box("shirt", {x - 0.06f, f + 1.12f, -0.06f}, {x + 0.06f, f + 1.45f, 0.06f});
    s.Box("shirt", {x - 0.055f, f + 1.12f, -0.05f}, {x + 0.055f, f + 1.22f, 0.36f});
    s.Box("skin", {x - 0.045f, f + 1.13f, 0.36f}, {x + 0.045f, f + 1.21f, 0.45f});  // hand
  }
  // Head: a box with eyes and nose, then the headgear.
  s.Box("skin", {-0.1f, -0.12f, -0.11f}, {0.1f, 0.11f, 0.11f});
  s.Box("dark", {-0.07f, 0.0f, 0.105f}, {-0.025f, 0.03f, 0.115f});
  s.Box("dark", {0.025f, 0.0f, 0.105f}, {0.07f, 0.03f, 0.115f});
  s.Box("skin", {-0.015f, -0.05f, 0.11f}, {0.015f, 0.0f, 0.135f});
  switch (o.Headgear) {
    case TOutfit::Helmet:
      s.Box("headgear", {-0.12f, 0.05f, -0.13f}, {0.12f, 0.135f, 0.13f});
      s.Box("headgear", {-0.125f, 0.03f, -0.135f}, {0.125f, 0.06f, 0.14f});
      s.Box("dark", {-0.09f, 0.08f, 0.13f}, {0.09f, 0.12f, 0.145f});  // goggles on the helmet
      break;
    case TOutfit::Cap:
      s.Box("headgear", {-0.11f, 0.06f, -0.12f}, {0.11f, 0.135f, 0.12f});
      s.Box("headgear", {-0.1f, 0.06f, 0.12f}, {0.1f, 0.08f, 0.22f});  // peak
      break;
    case TOutfit::Balaclava:
      s.Box("headgear", {-0.108f, -0.13f, -0.118f}, {0.108f, 0.135f, 0.105f});
      s.Box("headgear", {-0.108f, 0.04f, 0.105f}, {0.108f, 0.135f, 0.118f});
      s.Box("headgear", {-0.108f, -0.13f, 0.105f}, {0.108f, -0.01f, 0.118f});
      break;
    case TOutfit::Beret:
      s.Box("headgear", {-0.115f, 0.08f, -0.12f}, {0.12f, 0.135f, 0.11f});
      s.Box("headgear", {0.02f, 0.075f, -0.11f}, {0.13f, 0.12f, 0.05f});
      break;
  }
}

void Character(TDataTree& tree, const TOutfit& o, uint32_t backdrop) {
  TSceneBuilder s;
  Figure(s, o);
  const std::string dir = std::string("characters/") + o.Name + "/";
  tree.Add(dir + "char.3ds", Encode3ds(s.Scene(std::string(o.Name) + "_")));
  TCanvas bg(256, 256);
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x)
      bg.At(x, y) = Scale(Mix(Hex(backdrop), Hex(0x0c0a0a), y / 255.0f),
                          0.85f + 0.3f * Fbm(x / 24.0f, y / 24.0f, 0, 3, 1401));
  TCanvas picture = RenderPreview(s, 28, 8, bg);
  picture.Bevel(0, 0, 256, 256, 4, 0.4f, false);
  tree.Add(dir + "graphic.jpg", picture.JPEG(92));
}

}  // namespace

void BuildCharacters(TDataTree& tree) {
  using O = TOutfit;
  // Counter-terrorists: blue-grey uniforms with vests and helmets or caps.
  Character(tree, {"ranger", {0.85f, 0.68f, 0.55f}, {0.2f, 0.28f, 0.4f}, {0.16f, 0.2f, 0.28f}, {0.1f, 0.1f, 0.1f},
                   {0.12f, 0.16f, 0.22f}, {0.18f, 0.22f, 0.3f}, O::Helmet, true}, 0x2a4a7a);
  Character(tree, {"trooper", {0.55f, 0.4f, 0.3f}, {0.36f, 0.4f, 0.44f}, {0.24f, 0.26f, 0.3f}, {0.12f, 0.1f, 0.08f},
                   {0.08f, 0.1f, 0.14f}, {0.1f, 0.12f, 0.18f}, O::Cap, true}, 0x2a4a7a);
  // Terrorists: mismatched civilian clothes, balaclava or beret.
  Character(tree, {"raider", {0.8f, 0.62f, 0.5f}, {0.3f, 0.26f, 0.18f}, {0.22f, 0.2f, 0.16f}, {0.2f, 0.14f, 0.08f},
                   {0.3f, 0.3f, 0.22f}, {0.06f, 0.06f, 0.06f}, O::Balaclava, false}, 0x7a2a22);
  Character(tree, {"nomad", {0.6f, 0.44f, 0.32f}, {0.48f, 0.14f, 0.12f}, {0.34f, 0.3f, 0.22f}, {0.16f, 0.12f, 0.08f},
                   {0.3f, 0.3f, 0.22f}, {0.4f, 0.36f, 0.24f}, O::Beret, true}, 0x7a2a22);
}
