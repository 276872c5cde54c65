// The console: a window with the last 26 lines printed, an input line and a
// "Submit" button, the five newest lines for the HUD, and the commands typed
// into it. Every player-facing line of the game reaches it through
// ConsolePrint (core/console_sink.h), which it takes over while it exists.
// Drawing of the message lines is in console_draw.cpp.
#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/platform_events.h"
#include "gui/gui_manager.h"

// Where the console's window and message lines go: indices into the GUI
// manager's lists, made by the window build before the console.
struct TConsoleLayout {
  int32_t Skin = 0;         // "black blood"
  int32_t Font = 0;         // FontCourier45: output, input, button, message lines
  int32_t CaptionFont = 0;  // FontCourier50
  int32_t ParentWindow = -1;  // the main menu; -1 leaves the console a window of its own
  // The HUD's lines stand on a dark band over the scene: a light red that
  // keeps the menu's hue.
  TGUIColor MessageColor{1.0f, 0.84f, 0.78f, 1};
  // Output and input: the shipped "black blood" fields are dark, so the
  // light text of the game's other edits on that skin, not black.
  TGUIColor TextColor{0.92f, 0.88f, 0.84f, 1};
};

class TConsole {
 public:
  TConsole(TGUIclass& gui, const TConsoleLayout& layout);
  ~TConsole();  // gives ConsolePrint back to the log
  TConsole(const TConsole&) = delete;
  TConsole& operator=(const TConsole&) = delete;

  // "> " + text to the output, text as the newest message line. From another
  // thread the line waits for the main thread's next print or frame.
  void Print(const std::string& text);
  // Print(source + ": " + text), and the text to the log at debug level.
  void PrintSource(const std::string& text, const std::string& source);
  void Execute(const std::string& line);
  // Prints and runs the input line, then empties it.
  void Submit();

  // The console key: backquote, or whatever key sits left of "1" (by scan
  // code), so that layouts without a backquote key open the console too.
  // While the console is open, also the character of that key when an input
  // method composed it (no key symbol): a dead key there (the German "^")
  // reaches the game only so, when pressed twice.
  bool IsConsoleKey(const TKeySym& key) const;
  // Remembers the character of the console key just pressed (key symbols
  // below 256 are their Latin-1 character).
  void ConsoleKeyPressed(const TKeySym& key);
  // What the console key does: shows the console over the menu with the
  // focus in the input line, or returns to the game (a level runs) / hides it.
  void Toggle();
  bool IsOpen() const { return Window().Visible; }
  // The character of the console key as last pressed ("`" until then).
  uint16_t KeyChar() const { return consoleKeyChar; }

  // The HUD's five lines: placed for a window of the given height, and drawn
  // (by the HUD while in game).
  void Relayout(int32_t screenHeight);
  void DrawMessageLines();

  TWindow& Window() const { return *gui.Windows[static_cast<size_t>(WindowIndex)]; }

  int32_t WindowIndex = 0;
  TEditField* Output = nullptr;  // read-only, at most 26 lines
  TEdit* Input = nullptr;
  std::unique_ptr<TTextField> MessageLines;  // 5 lines, newest first

  static constexpr size_t kOutputKept = 25;  // lines kept before each new one
  static constexpr size_t kMessageLineCount = 5;
  static constexpr const char* kAdminPassword = "w4tn8kqz2r";

 private:
  void KeyHandler(uint16_t key);
  void PrintQueued();
  void PrintNow(const std::string& text);

  TGUIclass& gui;
  uint16_t consoleKeyChar = '`';
  // The message lines' origin: not in the manager's list, so never drawn
  // or hit on its own; the HUD draws the lines through DrawMessageLines.
  std::unique_ptr<TWindow> messageHolder;
  std::mutex queuedLock;
  std::vector<std::string> queued;  // lines printed from other threads
};

// Created by TGUIAdd's window build (CreateConsole) once the fonts and skins
// are loaded, freed by FreeConsole when the modules shut down; null before and
// after.
extern TConsole* Console;
TConsole* CreateConsole(TGUIclass& gui, const TConsoleLayout& layout);
void FreeConsole();
