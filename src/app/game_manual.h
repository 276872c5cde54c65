// The game's documentation: what --help prints and what the grimvale(6)
// manual page says, from the same option and command tables the program uses.
#pragma once
#include "core/manual.h"

TManual GameManual();
