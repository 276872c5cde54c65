// The console's ties to the game driver: its hooks, and (until the front
// end's window build makes it with the other windows) the console itself.
#pragma once

class Tgame;

// Fills ConsoleHooks with the game's mode switch, level end and flags.
void InstallConsoleHooks(Tgame& game);
// Loads the console's fonts and skin and creates it as a window of its own
// (no main menu exists to hold it).
void BuildConsoleAlone();
