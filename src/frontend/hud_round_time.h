// The HUD's round clock: the time the running round has left under the
// server's limit, as "m:ss" at the top of the screen.
#pragma once
#include <cstdint>
#include <string>

class TCharacters;

// Draws the clock centred at the top; nothing without a known limit.
void DrawRoundTime(const TCharacters& characters);
