// The computer players' global.
#include "game/ki.h"

TKI* KI = nullptr;
