// The drawing half of a frame: clear, camera, scene, GUI, swap.
#include "app/camera.h"
#include "app/game.h"
#include "core/gl_api.h"
#include "fx/partikel.h"
#include "world/frustum.h"
#include "world/level.h"

#include <SDL/SDL.h>

void Tgame::DrawFrame() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  RenderScene();
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
  // The skybox is centred on the local player, whose position comes with the
  // characters; until then it is centred on the origin.
  if (Level && Frustum) Level->Render(TVec3{}, *Frustum);
  glLoadIdentity();
  // Cam is null only in tests that drive frames without the modules.
  if (Partikel) Partikel->DrawAll(Cam ? Cam->Yaw : 0.0f);
  glLoadIdentity();
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
}
