// The hooks the game driver fills at start.
#include "game/game_hooks.h"

TGameHooks GameHooks;
