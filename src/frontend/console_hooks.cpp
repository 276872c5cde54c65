// The console's hold on the game driver.
#include "frontend/console_hooks.h"

TConsoleHooks ConsoleHooks;
