// The front end's link to the driver: its hooks filled with the game's
// operations, and the windows built.
#pragma once

class Tgame;

// Fills FrontendHooks and GameHooks.HideBuyWindow for game, then builds the
// windows (Tgame::Run's window step).
void StartFrontEnd(Tgame& game);
