// The GUI pass: the scene drawn back from the render passes under the HUD,
// the HUD's figures, then every window.
#include "core/config.h"
#include "core/convert.h"
#include "core/gl_api.h"
#include "core/run_state.h"
#include "frontend/frontend_hooks.h"
#include "frontend/console.h"
#include "frontend/gui_add.h"
#include "frontend/hud_round_time.h"
#include "frontend/hud_kill_feed.h"
#include "frontend/hud_spectator.h"
#include "frontend/windows.h"
#include "game/characters.h"
#include "gui/gui_manager.h"
#include "render/render_pass.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr uint32_t kTintMs = 5000;

std::string Str(int64_t n) { return std::to_string(n); }

void DrawHud(const TCharacters& characters, const TCharacter& player) {
  const TGUIclass& gui = *GUIManager;
  if (GameVars && GameVars->Misc->ShowDebug) {
    gui.DrawText(5, 5, 0, FontCourier100, Str(FramesPerSecond) + " FPS");
    gui.DrawText(5, 35, 0, FontCourier50, "Debug:");
    gui.DrawText(5, 50, 0, FontCourier50,
                 "Lookatx/y: " + Str(std::lround(player.Yaw)) + "/" + Str(std::lround(player.Pitch)));
    gui.DrawText(5, 65, 0, FontCourier50,
                 "x/y/z: " + Str(std::lround(player.X)) + "/" + FloatToStr(player.Y) + "/" + Str(std::lround(player.Z)));
  }
  if (characters.RoundOver) DrawRespawn(int64_t{characters.RespawnTime} - int64_t{characters.Now});
  DrawRoundClock(characters.RoundTimeLeft());
  glPushMatrix();
  const int32_t quarter = ScreenWidth / 4, row = ScreenHeight - 80;
  gui.DrawText(quarter - 40, row, 0, FontBrokenGhost, Str(player.Armour));
  gui.DrawText(quarter * 2 - 40, row, 0, FontBrokenGhost, Str(player.Health));
  gui.DrawText(quarter * 3 - 40, row, 0, FontBrokenGhost, Str(player.Money));
  // A dead player keeps a pistol without rounds, but the view is then the
  // own body's, a mate's or a free camera's: none holds that weapon.
  ShowWeaponPictures(!player.Dead);
  if (!player.Dead && (player.WeaponSlot == 0 || player.WeaponSlot == 1)) {
    bool rifle = player.WeaponSlot == 0;
    int64_t magazines = rifle ? player.RifleMagazines : player.PistolMagazines;
    int64_t rounds = rifle ? player.RifleShots : player.PistolShots;
    gui.DrawText(ScreenWidth - 120, 20, 0, FontBrokenGhost, Str(magazines));
    gui.DrawText(rounds > 9 ? ScreenWidth - 140 : ScreenWidth - 120, 90, 0, FontBrokenGhost, Str(rounds));
  }
  glPopMatrix();
}
}  // namespace

float DeathTint(uint32_t now, uint32_t deathTime) {
  uint32_t t = now - deathTime;
  if (t >= kTintMs) return 1;
  return std::max<uint32_t>(t, 1) / static_cast<float>(kTintMs);
}

void TGUIAdd::Draw() {
  if (!GUIManager) return;
  TGUIclass& gui = *GUIManager;
  gui.SetOrtho(ScreenWidth, ScreenHeight, -40, 40);
  glColor4f(1, 1, 1, 1);
  const TCharacter* player = Characters ? Characters->LocalCharacter : nullptr;
  if (FrontInGame()) {
    if (player && player->Dead) {
      float c = DeathTint(Characters->Now, Characters->DeathTime);
      glColor3f(1, c, c);
    }
    DrawRenderpasses();
    glColor3f(1, 1, 1);
    if (player) DrawHud(*Characters, *player);
    if (Characters) DrawKillFeed(Characters->KillFeed, Characters->Now);
    if (Characters) DrawSpectator(*Characters);
    if (player) {
      Hints.Update(*player, Characters->Now);
      THintBindings keys;
      if (FrontendHooks.CameraKey) keys.Camera = FrontendHooks.CameraKey();
      if (Console) keys.Console = Console->KeyChar();
      DrawHints(Hints, *player, keys, Characters->Now);
    }
    if (Console) Console->DrawMessageLines();
  } else {
    ShowLevelEntries(FrontLevelRunning());
  }
  gui.Draw();
  if (GameVars)
    gui.SetPerspective(60, static_cast<double>(ScreenWidth) / std::max(ScreenHeight, 1),
                       GameVars->Misc->NearClipping, GameVars->Misc->FarClipping);
}

void TGUIAdd::DrawLoading(const std::string& levelName) {
  if (!GUIManager) return;
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  GUIManager->SetOrtho(ScreenWidth, ScreenHeight, -40, 40);
  glColor4f(1, 1, 1, 1);
  const TFont* big = GUIManager->FontAt(FontBrokenGhost);
  const TFont* small = GUIManager->FontAt(FontCourier50);
  int32_t nameWidth = big ? big->CharWidth * static_cast<int32_t>(levelName.size()) : 0;
  int32_t loadingWidth = small ? small->CharWidth * 10 : 0;
  GUIManager->DrawText(ScreenCenterX - nameWidth / 2, ScreenCenterY - 40, 0, FontBrokenGhost, levelName);
  GUIManager->DrawText(ScreenCenterX - loadingWidth / 2, ScreenCenterY + 10, 0, FontCourier50, "Loading...");
}
