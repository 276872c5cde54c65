// Player-facing lines ("You bought armour.", "Hit, Head") go to the console,
// which lives in the front end far above the code that produces them. That
// code prints through here; the front end installs the console as the sink.
#pragma once
#include <functional>
#include <string>

using ConsoleSink = std::function<void(const std::string& line)>;

// Whole run: empty until the front end (or a test) sets it; an empty sink
// writes the line to the log (source "Console") so nothing is lost.
void SetConsoleSink(ConsoleSink sink);
void ConsolePrint(const std::string& line);
