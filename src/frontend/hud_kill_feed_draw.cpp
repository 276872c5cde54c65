// The kill feed on screen.
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
  int32_t y = kTop;
  for (const TKillFeedRow& row : KillFeedRows(feed, now)) {
    DrawHudLine(*GUIManager, FontCourier45, row.Pieces, ScreenWidth - kRightMargin, y, THudAlign::Right, row.Alpha);
    y += HudLineStep(font->CharHeight);
  }
}
