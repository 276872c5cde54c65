// The drawing half of a frame: clear, camera, scene, GUI, swap.
#include "app/camera.h"
#include "app/demo_playback.h"
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
  TCharacter* player = Characters ? Characters->LocalCharacter : nullptr;
  if (InGame && Cam && player) {
    const TCamPose pose = DemoPlayback && DemoPlayback->FreeCamera
                              ? DemoPlayback->CameraPose()
                              : TCamPose{player->Position(), player->HeadSphere.Centre.y, player->Yaw, player->Pitch};
    TCam::Apply(pose, CamMode);
    // Others' shots are heard from where the player looks.
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
}

void Tgame::DrawLoadingFrame(const std::string& name) {
  if (!GUIAdd || !Initialised) return;
  GUIAdd->DrawLoading(name);
  SDL_GL_SwapBuffers();
}
