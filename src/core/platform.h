// Small platform services every subsystem may use: the modal message box, the
// millisecond tick source, the one random generator, sleeping, and knowing
// which thread is the main thread. Tick source, random seed and message-box
// sink can be replaced by tests.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

// Shows a modal message box. Text and caption always go to the log and to
// stderr; a blocking dialog only appears where a person can answer it (a
// display, a dialog program, not CI). A sink set by tests receives every box
// instead of the dialog.
void ShowMessageBox(const std::string& text, const std::string& caption);
using MessageBoxSink = std::function<void(const std::string& text, const std::string& caption)>;
void SetMessageBoxSink(MessageBoxSink sink);  // empty sink restores the default
// Whether a dialog may appear: a display, outside CI and without GRIMVALE_NO_DIALOG.
bool DialogsWanted();
// The full path of a program found through PATH, or "".
std::string FindProgram(const char* program);

// Milliseconds since the program started, as a wrapping 32-bit tick count.
uint32_t GetTicks();
void SetTickSource(std::function<uint32_t()> source);  // empty restores the clock

// Random(n): uniform integer in 0 .. n-1 (0 when n <= 0), from one seedable
// generator. Safe to call from any thread.
int32_t Random(int32_t n);
// Uniform float in [0, 1).
double RandomFloat();
void RandomSeed(uint32_t seed);

void SleepMs(uint32_t ms);

// The thread that calls MarkMainThread (main() does, first) is the main thread.
void MarkMainThread();
bool IsMainThread();
