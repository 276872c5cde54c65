// The HUD's round times. Only a server knows the round's limit (clients are
// not told, the wire stays as it is), so a client shows no clock.
#include "frontend/hud_round_time.h"

#include "core/run_state.h"
#include "frontend/gui_add.h"
#include "frontend/hud_line.h"
#include "game/characters.h"
#include "gui/gui_manager.h"

#include <algorithm>
#include <cmath>

namespace {
// Under the spectator's line (85) and above the kill feed (150), where no
// other line reaches at any screen size.
constexpr int32_t kClockY = 10, kRespawnY = 110;

void DrawBigCentred(const std::string& text, int32_t y) {
  if (GUIManager) DrawHudLine(*GUIManager, FontBrokenGhost, {{text, kHudText}}, ScreenCenterX, y, THudAlign::Centre);
}
}  // namespace

std::string RespawnText(int64_t ms) {
  return "Respawn in " + std::to_string(std::lround(std::max<int64_t>(ms, 0) / 1000.0)) + " Seconds!";
}

void DrawRoundClock(int64_t ms) { DrawBigCentred(RoundClockText(ms), kClockY); }

void DrawRespawn(int64_t ms) { DrawBigCentred(RespawnText(ms), kRespawnY); }
