// The HUD's message lines on screen.
#include "core/gl_api.h"
#include "frontend/console.h"

void TConsole::DrawMessageLines() {
  PrintQueued();
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  MessageLines->Draw();
  // The lines stand outside any window, so no window's draw empties the
  // manager's text queue for them.
  gui.FlushText();
  glColor4f(1, 1, 1, 1);
}
