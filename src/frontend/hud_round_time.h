// The HUD's round clock: the time the running round has left under the
// server's limit, as "m:ss" at the top of the screen.
#pragma once
#include <cstdint>
#include <string>

class TCharacters;

// "m:ss" for ms milliseconds, rounded up so that "0:00" shows only at the
// end; "" for a negative value (no limit is known).
std::string RoundClockText(int64_t ms);
// Draws the clock centred at the top; nothing without a known limit.
void DrawRoundTime(const TCharacters& characters);
