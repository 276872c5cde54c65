// The console's ties to the game driver.
#pragma once

class Tgame;

// Fills ConsoleHooks with the game's mode switch, level end, render passes
// and flags; called before the front end builds its windows.
void InstallConsoleHooks(Tgame& game);
