// The commands a server takes from whoever runs it: the GUI console of a
// listen server and the standard input of a dedicated server read the same
// lines. Gravity, speed and the round restart; the bots (addbot, kickbot,
// kickbots, botskill); "status", the slots and who plays them; "say", a chat
// line from the server to every client. What a command has to tell goes out
// through the print callback, one line at a time.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "core/manual.h"

struct TGameSettings;

using TCommandPrint = std::function<void(const std::string& line)>;

// Runs line when it is one of these commands (the name in any case) and
// returns true; false leaves the line to the caller's own commands. settings
// are the gravity and speed the game plays with (null: grav and speed do
// nothing). Reaches the session, the characters and the bots through their
// globals, each of which may be missing.
bool RunServerCommand(const std::string& line, TGameSettings* settings, const TCommandPrint& print);
// Each command as typed, with what it does: for "help" and the manual.
std::vector<TManualItem> ServerCommandHelp();
