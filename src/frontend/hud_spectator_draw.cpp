// The spectator's line on screen, below the round clock.
#include "frontend/hud_line.h"
#include "frontend/hud_spectator.h"

void DrawSpectator(const TCharacters& characters) { DrawHudLine(SpectatorLine(characters), 85); }
