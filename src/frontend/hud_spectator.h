// The HUD's line for a dead player: whom the camera follows, or that it
// flies free because no team mate lives.
#pragma once
#include <string>

class TCharacters;

// "Watching <name> (click for the next)" while a team mate is followed,
// "No team mate alive: free camera" while the camera flies, "" otherwise.
std::string SpectatorLine(const TCharacters& characters);
// Draws the line centred below the round clock (hud_spectator_draw.cpp).
void DrawSpectator(const TCharacters& characters);
