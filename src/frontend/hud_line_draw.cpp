// A HUD line and its band on screen.
#include "core/gl_api.h"
#include "core/run_state.h"
#include "frontend/gui_add.h"
#include "frontend/hud_line.h"
#include "gui/gui_manager.h"

void DrawHudLine(const TGUIclass& gui, int32_t font, const std::vector<THudPiece>& pieces, int32_t x, int32_t y,
                 THudAlign align, float alpha) {
  const TFont* f = gui.FontAt(font);
  if (!f) return;
  bool text = false;
  for (const THudPiece& p : pieces) text = text || !p.Text.empty();
  if (!text) return;
  const THudBand band = PlaceHudLine(pieces, x, y, align, f->CharWidth, f->CharHeight, gui.ScreenWidth);
  if (band.Pieces.empty()) return;
  gui.FlushText();
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDisable(GL_TEXTURE_2D);
  glDepthMask(GL_FALSE);
  glColor4f(0, 0, 0, kHudBandAlpha * alpha);
  // Counter-clockwise as the screen shows it (y runs down): the models leave
  // back faces culled, and the other way round the band would never show.
  glBegin(GL_QUADS);
  glVertex2i(band.Left, band.Top);
  glVertex2i(band.Left, band.Bottom);
  glVertex2i(band.Right, band.Bottom);
  glVertex2i(band.Right, band.Top);
  glEnd();
  glDepthMask(GL_TRUE);
  glEnable(GL_TEXTURE_2D);
  int32_t penX = band.TextX;
  for (const THudPiece& p : band.Pieces) {
    glColor4f(p.Color.R, p.Color.G, p.Color.B, p.Color.A * alpha);
    gui.DrawText(penX, band.TextY, 0, font, p.Text);
    penX += f->CharWidth * static_cast<int32_t>(p.Text.size());
  }
  glColor4f(1, 1, 1, 1);
}

void DrawHudLine(const std::string& line, int32_t y) {
  if (GUIManager) DrawHudLine(*GUIManager, FontCourier45, {{line, kHudText}}, ScreenCenterX, y, THudAlign::Centre);
}
