// The hint lines on screen.
#include "core/run_state.h"
#include "frontend/hud_hints.h"
#include "frontend/hud_line.h"

void DrawHints(const THints& hints, const TCharacter& player, const THintBindings& keys, uint32_t now) {
  DrawHudLine(hints.ShopLine(player, keys), ScreenHeight - 165);
  DrawHudLine(hints.KeysLine(keys, now), ScreenHeight - 130);
}
