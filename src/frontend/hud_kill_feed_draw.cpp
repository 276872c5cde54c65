// The kill feed on screen.
#include "core/gl_api.h"
#include "core/run_state.h"
#include "frontend/gui_add.h"
#include "frontend/hud_kill_feed.h"
#include "gui/gui_manager.h"

namespace {
// Below the magazine and ammunition pictures of the upper right corner.
constexpr int32_t kTop = 150, kRightMargin = 20;
}  // namespace

void DrawKillFeed(const TKillFeed& feed, uint32_t now) {
  const TFont* font = GUIManager ? GUIManager->FontAt(FontCourier45) : nullptr;
  if (!font) return;
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  int32_t y = kTop;
  for (const TKillFeedRow& row : KillFeedRows(feed, now)) {
    size_t length = 0;
    for (const TKillFeedPiece& piece : row.Pieces) length += piece.Text.size();
    int32_t x = ScreenWidth - kRightMargin - font->CharWidth * static_cast<int32_t>(length);
    for (const TKillFeedPiece& piece : row.Pieces) {
      glColor4f(piece.Color.R, piece.Color.G, piece.Color.B, row.Alpha);
      GUIManager->DrawText(x, y, 0, FontCourier45, piece.Text);
      x += font->CharWidth * static_cast<int32_t>(piece.Text.size());
    }
    y += font->CharHeight + 2;
  }
  glColor4f(1, 1, 1, 1);
}
