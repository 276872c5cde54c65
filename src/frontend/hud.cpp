// The in-game form: cross-hair and the five HUD pictures (the numbers beside
// them are drawn each frame, gui_add_draw.cpp).
#include "core/run_state.h"
#include "frontend/gui_add.h"
#include "frontend/windows.h"
#include "gui/gui_manager.h"

namespace {
constexpr uint32_t kGLOne = 1, kGLSrcAlpha = 0x0302, kGLOneMinusSrcAlpha = 0x0303;
// Images 1 to 3 (armour, health, money) stand at the first three quarters.
int32_t QuarterX(int32_t n) { return (ScreenWidth / 4) * n - 100; }
}  // namespace

void BuildIngameForm() {
  IngameForm = GUIManager->CreateWindow(0, 0, ScreenWidth, ScreenHeight, 1, "Ingame-Form", "data\\skins\\default.tga");
  TWindow& w = *Win(IngameForm);
  w.SetZ(-12);
  w.ShowBackground = false;
  w.HasCaptionBar = false;
  w.AddImage(ScreenCenterX - 15, ScreenCenterY - 15, 30, 30, true, kGLSrcAlpha, kGLOne, "data\\textures\\cross3.bmp");
  const int32_t h = ScreenHeight;
  struct {
    int32_t X, Y;
    const char* File;
  } pictures[] = {{QuarterX(1), h - 90, "data\\textures\\Armor.tga"},
                  {QuarterX(2), h - 90, "data\\textures\\Life.tga"},
                  {QuarterX(3), h - 90, "data\\textures\\Dollar.tga"},
                  {ScreenWidth - 70, 20, "data\\textures\\magazine.tga"},
                  {ScreenWidth - 70, 90, "data\\textures\\Ammo.tga"}};
  for (const auto& p : pictures) w.AddImage(p.X, p.Y, 50, 50, true, kGLSrcAlpha, kGLOneMinusSrcAlpha, p.File);
  w.SetVisible(false);
}

void RelayoutIngameForm() {
  TWindow* w = Win(IngameForm);
  if (!w || w->Images.size() < 6) return;
  w->SetWidth(ScreenWidth);
  w->SetHeight(ScreenHeight);
  w->Images[0]->SetLeft(ScreenCenterX - 15);
  w->Images[0]->SetTop(ScreenCenterY - 15);
  // The numbers stay at H - 80 and the pictures sit 10 above them, as at the build.
  for (int32_t n = 1; n <= 3; ++n) {
    w->Images[static_cast<size_t>(n)]->SetLeft(QuarterX(n));
    w->Images[static_cast<size_t>(n)]->SetTop(ScreenHeight - 90);
  }
  w->Images[4]->SetLeft(ScreenWidth - 70);
  w->Images[5]->SetLeft(ScreenWidth - 70);
}

void ShowWeaponPictures(bool show) {
  TWindow* w = Win(IngameForm);
  if (!w || w->Images.size() < 6) return;
  w->Images[4]->SetVisible(show);
  w->Images[5]->SetVisible(show);
}
