// The HUD's round clock. Only a server knows its limit (clients are not
// told, the wire stays as it is), so a client shows no clock.
#include "frontend/hud_round_time.h"

#include "core/run_state.h"
#include "frontend/gui_add.h"
#include "game/characters.h"
#include "gui/gui_manager.h"

void DrawRoundTime(const TCharacters& characters) {
  const std::string text = RoundClockText(characters.RoundTimeLeft());
  if (text.empty() || !GUIManager) return;
  const TFont* font = GUIManager->FontAt(FontBrokenGhost);
  const int32_t width = font ? font->CharWidth * static_cast<int32_t>(text.size()) : 0;
  GUIManager->DrawText(ScreenCenterX - width / 2, 10, 0, FontBrokenGhost, text);
}
