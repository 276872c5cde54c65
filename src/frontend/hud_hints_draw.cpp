// The hint lines on screen, each on a dark band so the scene behind never
// swallows it.
#include "core/gl_api.h"
#include "core/run_state.h"
#include "frontend/gui_add.h"
#include "frontend/hud_hints.h"
#include "gui/gui_manager.h"

void DrawHudLine(const std::string& line, int32_t y) {
  const TFont* font = GUIManager ? GUIManager->FontAt(FontCourier45) : nullptr;
  if (line.empty() || !font) return;
  const int32_t width = font->CharWidth * static_cast<int32_t>(line.size());
  const int32_t x = ScreenCenterX - width / 2;
  glDisable(GL_TEXTURE_2D);
  glColor4f(0, 0, 0, 0.6f);
  // Counter-clockwise as the screen shows it (y runs down): the models leave
  // back faces culled, and the other way round the band would never show.
  glBegin(GL_QUADS);
  glVertex2i(x - 8, y - 3);
  glVertex2i(x - 8, y + font->CharHeight + 3);
  glVertex2i(x + width + 8, y + font->CharHeight + 3);
  glVertex2i(x + width + 8, y - 3);
  glEnd();
  glEnable(GL_TEXTURE_2D);
  glColor4f(1, 1, 1, 1);
  GUIManager->DrawText(x, y, 0, FontCourier45, line);
}

void DrawHints(const THints& hints, const TCharacter& player, const THintBindings& keys, uint32_t now) {
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  DrawHudLine(hints.ShopLine(player, keys), ScreenHeight - 165);
  DrawHudLine(hints.KeysLine(keys, now), ScreenHeight - 130);
  glColor4f(1, 1, 1, 1);
}
