// The HUD's round times: the time the running round has left under the
// server's limit, as "m:ss" at the top of the screen, and in the pause after
// a round the countdown to the respawn.
#pragma once
#include <cstdint>
#include <string>

// "Respawn in N Seconds!" for ms milliseconds to the respawn, rounded to
// the nearest second; a client waiting past the time for the server's
// restart reads 0, never a negative count.
std::string RespawnText(int64_t ms);

// Draws the clock for ms milliseconds centred at the top; nothing for a
// negative value.
void DrawRoundClock(int64_t ms);
// Draws the countdown for ms milliseconds centred below the spectator's line.
void DrawRespawn(int64_t ms);
