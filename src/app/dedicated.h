// The dedicated server: the server of a game without window, OpenGL, sound
// device or display. It loads the level's data (collision, octree, spawn
// points), holds character 0 out of play (it exists because slot k plays
// character k + 1, but no one plays it), runs the frame at a steady rate
// and sleeps in between, takes server commands from standard input, and
// ends after the frame in which SIGTERM or SIGINT arrived.
#pragma once
#include "app/dedicated_options.h"

// The whole run; the process exit code: 0 after a normal end, 1 when the map
// does not exist or the server's ports cannot be opened.
int RunDedicated(const TDedicatedOptions& options);
