// The drawing half of a frame: clear, camera, scene, GUI, swap.
#include "app/camera.h"
#include "app/game.h"
#include "core/config.h"
#include "core/gl_api.h"
#include "fx/partikel.h"
#include "game/characters.h"
#include "gui/gui_manager.h"
#include "render/render_pass.h"
#include "world/frustum.h"
#include "world/level.h"

#include <SDL/SDL.h>

#include <algorithm>

void Tgame::DrawFrame() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  TCharacter* player = Characters ? Characters->LocalCharacter : nullptr;
  if (InGame && Cam && player)
    TCam::Apply(TCamPose{player->Position(), player->HeadSphere.Centre.y, player->Yaw, player->Pitch}, CamMode);
  RenderScene();
  // The camera multiplies its view onto the projection, so every frame ends
  // by restoring a fresh perspective (the GUI pass's last step).
  if (GUIManager && GameVars)
    GUIManager->SetPerspective(60, static_cast<double>(ScreenWidth) / std::max(ScreenHeight, 1),
                               GameVars->Misc->NearClipping, GameVars->Misc->FarClipping);
  SDL_GL_SwapBuffers();
}

void Tgame::RenderScene() {
  if (!InGame) return;
  if (TextureScroll) {
    // The texture matrix is reset at the end of every scene, so the drift
    // grows with the counter, which is never reset.
    glMatrixMode(GL_TEXTURE);
    ++TextureScrollCounter;
    float offset = TextureScrollCounter / 50.0f;
    glTranslatef(offset, offset, offset);
    glMatrixMode(GL_MODELVIEW);
  }
  // Frustum is null only in tests that drive frames without the modules.
  if (Frustum) Frustum->Update();
  glLoadIdentity();
  // The skybox is centred on the local player.
  TVec3 viewer = Characters && Characters->LocalCharacter ? Characters->LocalCharacter->Position() : TVec3{};
  if (Level && Frustum) Level->Render(viewer, *Frustum);
  glLoadIdentity();
  if (Characters) Characters->DrawAll(CamMode);
  glLoadIdentity();
  // Cam is null only in tests that drive frames without the modules.
  if (Partikel) Partikel->DrawAll(Cam ? Cam->Yaw : 0.0f);
  glLoadIdentity();
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  if (Renderpass) Renderpass->Apply();
  // The front end's HUD pass takes this over: it draws the passes back under
  // the HUD and windows, with the death tint.
  DrawScenePasses();
}

void Tgame::DrawScenePasses() {
  if (!GUIManager) return;
  GUIManager->SetOrtho(ScreenWidth, ScreenHeight, -40, 40);
  glColor4f(1, 1, 1, 1);
  DrawRenderpasses();
}
