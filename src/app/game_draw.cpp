// The drawing half of a frame: clear, camera, scene, GUI, swap.
#include "app/camera.h"
#include "app/game.h"
#include "core/config.h"
#include "core/gl_api.h"
#include "frontend/gui_add.h"
#include "fx/game_sounds.h"
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
  if (InGame && Cam && Characters && Characters->LocalCharacter) {
    // The player's own eyes, or while dead those of the team mate watched.
    const TSpectatorView view = Characters->Spectator.View(*Characters);
    const TCamPose& pose = view.Pose;
    // The free camera is an eye of its own: no mode moves it off itself.
    TCam::Apply(pose, view.CharacterId < 0 ? 0 : CamMode);
    // Others' shots are heard from where the view is.
    PlaceSoundListener(pose.Position.x, pose.EyeHeight, pose.Position.z, pose.Yaw, pose.Pitch);
  }
  // The GUI pass at its end restores a fresh perspective, which undoes the
  // view the camera multiplied onto the projection.
  RenderScene();
  SDL_GL_SwapBuffers();
}

void Tgame::RenderScene() {
  if (InGame) DrawScene();
  // The GUI pass draws the scene back from the render passes under the HUD.
  if (GUIAdd) GUIAdd->Draw();
}

void Tgame::DrawScene() {
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
  // The characters before the level: the level's pixels they hide are then
  // never textured, so a crowd costs little more than the level alone.
  if (Level && Frustum) Level->RenderSky();
  glLoadIdentity();
  if (Characters) Characters->DrawAll(CamMode);
  glLoadIdentity();
  if (Level && Frustum) Level->RenderGeometry(*Frustum);
  glLoadIdentity();
  // The sprites turn to face the view: of the character it follows, or the free camera.
  const TCamPose view = Characters ? Characters->Spectator.View(*Characters).Pose : TCamPose{};
  if (Partikel) Partikel->DrawAll(view.Yaw);
  glLoadIdentity();
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  if (Renderpass) Renderpass->Apply();
}

void Tgame::DrawLoadingFrame(const std::string& name) {
  if (!GUIAdd || !Initialised) return;
  GUIAdd->DrawLoading(name);
  SDL_GL_SwapBuffers();
}
