// The dedicated server: the server of a game without window, OpenGL, sound
// device or display. It loads the level's data (collision, octree, spawn
// points), holds character 0 out of play (it exists because slot k plays
// character k + 1, but no one plays it), runs the frame at a steady rate
// and sleeps in between, takes server commands from standard input, and
// ends after the frame in which SIGTERM or SIGINT arrived.
#pragma once
#include <cstdint>

#include "app/dedicated_options.h"

struct TNetworkTimers;

// The whole run; the process exit code: 0 after a normal end, 1 when the map
// does not exist or the server's ports cannot be opened.
int RunDedicated(const TDedicatedOptions& options);

// The pieces of the run, for measuring them alone. The level's objects
// (Weapons, Characters with character 0 out of play, KI with the bots) for
// a server session that is open; throws when the level cannot be loaded.
void StartDedicatedLevel(const TDedicatedOptions& options);
// Closes the session (the clients are told, as by a closing host) and frees
// the level's objects; harmless when none exist.
void EndDedicatedLevel();
// One server frame at `now`, ms after the last: the rules' clock and round
// cycle, the bots, what arrived over the network, the timed sends.
void DedicatedFrame(uint32_t now, uint32_t ms, TNetworkTimers& timers);
