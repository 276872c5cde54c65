// The spectator's line on screen, below the round clock.
#include "core/gl_api.h"
#include "frontend/hud_hints.h"
#include "frontend/hud_spectator.h"

void DrawSpectator(const TCharacters& characters) {
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  DrawHudLine(SpectatorLine(characters), 85);
  glColor4f(1, 1, 1, 1);
}
