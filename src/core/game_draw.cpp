// The drawing half of a frame: clear, camera, scene, GUI, swap.
#include "core/game.h"
#include "core/gl_api.h"

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
  glLoadIdentity();
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
}
