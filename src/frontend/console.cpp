// The console window, printing, the console key and the commands.
#include "frontend/console.h"

#include "core/config.h"
#include "core/console_sink.h"
#include "core/convert.h"
#include "core/game_settings.h"
#include "core/key_codes.h"
#include "core/log_sources.h"
#include "core/logger.h"
#include "core/platform.h"
#include "core/run_state.h"
#include "frontend/console_hooks.h"
#include "frontend/hud_line.h"
#include "frontend/join_by_address.h"
#include "game/characters.h"
#include "game/server_commands.h"
#include "game/weapons.h"
#include "world/level.h"
#include "world/octree.h"

TConsole* Console = nullptr;

namespace {


TCharacter* LocalPlayer() { return Characters ? Characters->LocalCharacter : nullptr; }

void Name(TConsole&, const std::string& arg) {
  if (TCharacter* player = LocalPlayer()) player->SetName(arg);
}

void Demo(const std::string& command, const std::string& arg) {
  if (ConsoleHooks.DemoCommand) ConsoleHooks.DemoCommand(command, arg);
}

void SetFlag(bool* flag, bool value) {
  if (flag) *flag = value;
}

void SetShowDebug(bool value) {
  if (GameVars) GameVars->Misc->ShowDebug = value;
}

void AddSpawn(TConsole& console, bool terrorist) {
  TCharacter* player = LocalPlayer();
  TLevel* level = Characters ? Characters->Level() : nullptr;
  if (!player || !level) return;
  TVec3 point = player->BoundSphere.Centre;
  if (terrorist) {
    level->AddTerSpawn(point, player->Yaw);
    console.PrintSource("Added Terrorist Spawn Point: " + Vec3ToString(point), LogSource::GuiAdds);
  } else {
    level->AddCTSpawn(point, player->Yaw);
    console.PrintSource("Added CT Spawn Point: " + Vec3ToString(point), LogSource::GuiAdds);
  }
}

// The new weapons are made before the old go, so a failed load leaves the
// game with the weapons it had.
void ReinitWeapons() {
  auto* fresh = new TWeapons(ConsoleHooks.WeaponGraphics);
  delete Weapons;
  Weapons = fresh;
  if (ConsoleHooks.WeaponsReloaded) ConsoleHooks.WeaponsReloaded();
}

void Admin(TConsole& console) {
  SetFlag(ConsoleHooks.IsAdmin, true);
  console.Print("You are now admin!");
}

// Commands only an admin may give; before the password they do nothing.
template <class Effect>
void AdminOnly(Effect effect) {
  if (!ConsoleHooks.IsAdmin || !*ConsoleHooks.IsAdmin) return;
  if (TCharacter* player = LocalPlayer()) effect(*player);
}

struct TCommand {
  const char* Name;
  // 0: the whole line must be the name; else the name is compared with this
  // many first characters and the argument starts after one more character.
  size_t Prefix;
  void (*Run)(TConsole& console, const std::string& arg);
};

// Tried in this order; the first that matches runs.
const TCommand kCommands[] = {
    {"zeduvivu", 0, [](TConsole& c, const std::string&) { c.Print("> Lol, you are my hero!"); }},
    {"quit", 0, [](TConsole&, const std::string&) { QuitFlag = -1; }},
    {"reinit_shader", 0, [](TConsole&, const std::string&) {
       if (ConsoleHooks.ReinitShaders) ConsoleHooks.ReinitShaders();
     }},
    {"exit", 0, [](TConsole& c, const std::string&) { c.Window().SetVisible(false); }},
    {"endlevel", 0, [](TConsole&, const std::string&) {
       if (ConsoleHooks.EndLevel) ConsoleHooks.EndLevel();
     }},
    {"showdebug", 0, [](TConsole&, const std::string&) { SetShowDebug(true); }},
    {"hidedebug", 0, [](TConsole&, const std::string&) { SetShowDebug(false); }},
    {"shownodes", 0, [](TConsole&, const std::string&) { ShowNodes = true; }},
    {"hidenodes", 0, [](TConsole&, const std::string&) { ShowNodes = false; }},
    // Only back to a level that runs: the game view without one is an empty
    // screen with a captured mouse.
    {"continue", 0, [](TConsole&, const std::string&) {
       if (ConsoleHooks.LevelRunning && *ConsoleHooks.LevelRunning && ConsoleHooks.SetInGame)
         ConsoleHooks.SetInGame(true);
     }},
    {"suicide", 0, [](TConsole&, const std::string&) {
       if (TCharacter* player = LocalPlayer()) player->SetHealth(0);
     }},
    {"uselists", 0, [](TConsole&, const std::string&) { UseLists = true; }},
    {"notuselists", 0, [](TConsole&, const std::string&) { UseLists = false; }},
    {"startstupid", 0, [](TConsole&, const std::string&) { SetFlag(ConsoleHooks.TextureScroll, true); }},
    {"stopstupid", 0, [](TConsole&, const std::string&) { SetFlag(ConsoleHooks.TextureScroll, false); }},
    {"addterspawn", 0, [](TConsole& c, const std::string&) { AddSpawn(c, true); }},
    {"addctspawn", 0, [](TConsole& c, const std::string&) { AddSpawn(c, false); }},
    {TConsole::kAdminPassword, 0, [](TConsole& c, const std::string&) { Admin(c); }},
    {"reinit_weapons", 0, [](TConsole&, const std::string&) { ReinitWeapons(); }},
    {"name", 4, Name},
    {"connect", 7, [](TConsole& c, const std::string& arg) {
       if (arg.empty()) return c.Print("connect HOST[:PORT]");
       JoinByAddress(arg);
     }},
    // Before "demo", whose prefix they share.
    {"demopause", 0, [](TConsole&, const std::string&) { Demo("demopause", ""); }},
    {"demospeed", 9, [](TConsole&, const std::string& arg) { Demo("demospeed", arg); }},
    {"stopdemo", 0, [](TConsole&, const std::string&) { Demo("stopdemo", ""); }},
    {"timedemo", 8, [](TConsole&, const std::string& arg) { Demo("timedemo", arg); }},
    {"demo", 4, [](TConsole&, const std::string& arg) { Demo("demo", arg); }},
    {"fullmoney", 0, [](TConsole&, const std::string&) { AdminOnly([](TCharacter& p) { p.Money = 16000; }); }},
    {"fullhealth", 0, [](TConsole&, const std::string&) { AdminOnly([](TCharacter& p) { p.SetHealth(100); }); }},
    {"fullarmor", 0, [](TConsole&, const std::string&) { AdminOnly([](TCharacter& p) { p.SetArmour(100); }); }},
};

}  // namespace

TConsole::TConsole(TGUIclass& gui, const TConsoleLayout& layout) : gui(gui) {
  WindowIndex = gui.CreateWindow(10, 10, 600, 600, layout.Skin, "Console", "data\\skins\\black blood\\default.tga");
  TWindow& w = Window();
  w.SetOnHide([this](TGUIObject*) {
    Input->Text.clear();
    Input->Caret = 0;
    if (this->gui.FocusedObject && this->gui.FocusedObject->Window == &Window())
      this->gui.SetFocus(this->gui.Windows.front().get());
  });
  Output = w.EditFields[static_cast<size_t>(w.AddEditField(20, 36, 560, 506, "", layout.Font))].get();
  Output->ReadOnly = true;
  Output->TextColor = layout.TextColor;
  Output->TextX = Output->TextY = 10;
  // A line a glyph high: the toolkit's default step lets glyphs overlap.
  Output->LineHeight = Output->CharHeight();
  Input = w.Edits[static_cast<size_t>(w.AddEdit(20, 550, 420, 30, ""))].get();
  Input->Font = layout.Font;
  Input->TextColor = layout.TextColor;
  Input->TextX = 10;
  Input->TextY = 7;
  Input->SetOnKeyDown([this](uint16_t key, TGUIObject*) { KeyHandler(key); });
  TButton& submit = *w.Buttons[static_cast<size_t>(w.AddButton(460, 550, 100, 30, "Submit"))];
  submit.Font = layout.Font;
  submit.TextX = 25;
  submit.TextY = 7;
  submit.SetOnClick([this](int32_t, int32_t, TGUIObject*, int32_t button) {
    if (button == 1) Submit();
  });
  submit.SetOnKeyDown([this](uint16_t key, TGUIObject*) { KeyHandler(key); });
  w.HasCaptionBar = true;
  for (TCaptionButton* b : {static_cast<TCaptionButton*>(&w.MinimizeButton),
                            static_cast<TCaptionButton*>(&w.MaximizeButton),
                            static_cast<TCaptionButton*>(&w.CloseButton)})
    b->Visible = true;
  w.Movable = true;
  w.Font = layout.CaptionFont;
  w.Visible = false;
  if (layout.ParentWindow >= 0 && layout.ParentWindow < static_cast<int32_t>(gui.Windows.size()))
    gui.Windows[static_cast<size_t>(layout.ParentWindow)]->AddChildWindow(&w);

  messageHolder = std::make_unique<TWindow>(&gui);
  messageHolder->Color = kGUIWhite;
  MessageLines = std::make_unique<TTextField>();
  TTextField& m = *MessageLines;
  m.Window = messageHolder.get();
  m.Kind = kKindTextField;
  m.InUse = m.Visible = true;
  m.Font = layout.Font;
  m.X = 10;
  m.Y = gui.ScreenHeight - 400;
  m.Z = -12 + 0.14f;  // where the HUD form, at depth -12, would put a text field
  m.Width = 300;
  m.Height = 100;
  m.LineHeight = HudLineStep(m.CharHeight());  // each on its own band, the bands touching
  m.TextColor = layout.MessageColor;
  m.Lines.assign(kMessageLineCount, "");

  SetConsoleSink([this](const std::string& line) { Print(line); });
}

TConsole::~TConsole() { SetConsoleSink(nullptr); }

void TConsole::Print(const std::string& text) {
  if (!IsMainThread()) {
    std::lock_guard<std::mutex> guard(queuedLock);
    queued.push_back(text);
    return;
  }
  PrintQueued();
  PrintNow(text);
}

void TConsole::PrintQueued() {
  std::vector<std::string> lines;
  {
    std::lock_guard<std::mutex> guard(queuedLock);
    lines.swap(queued);
  }
  for (const std::string& line : lines) PrintNow(line);
}

void TConsole::PrintNow(const std::string& text) {
  // The log keeps what the player was told, for reports and for anyone
  // watching a game without its window.
  if (Logger) Logger->LogInfo(text, "Console");
  std::vector<std::string>& lines = Output->Lines;
  // The field's closing empty line (a fresh field has only that) would
  // otherwise stand between the old lines and the new.
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  if (lines.size() > kOutputKept) lines.erase(lines.begin(), lines.end() - kOutputKept);
  lines.push_back("> " + text);
  Output->SetText(Output->GetText());
  std::vector<std::string>& messages = MessageLines->Lines;
  messages.insert(messages.begin(), text);
  messages.resize(kMessageLineCount);
}

void TConsole::PrintSource(const std::string& text, const std::string& source) {
  Print(source + ": " + text);
  if (Logger) Logger->LogDebug(text, source);
}

void TConsole::Execute(const std::string& line) {
  // The server's commands are shared with the dedicated server's input.
  if (RunServerCommand(line, ConsoleHooks.Settings, [this](const std::string& text) { Print(text); })) return;
  const std::string command = LowerCase(line);
  for (const TCommand& c : kCommands) {
    if (c.Prefix == 0 ? command == c.Name : command.compare(0, c.Prefix, c.Name, c.Prefix) == 0) {
      c.Run(*this, c.Prefix == 0 || command.size() <= c.Prefix + 1 ? std::string() : command.substr(c.Prefix + 1));
      return;
    }
  }
}

void TConsole::Submit() {
  std::string line = Input->Text;
  Print(line);
  Execute(line);
  Input->Text.clear();
  Input->Caret = 0;
}

// Every key went to the console once; the key codes now go to the log only,
// so that typing does not push the game's messages out of the output and the
// HUD's lines.
void TConsole::KeyHandler(uint16_t key) {
  if (key == kKeyReturn || key == kKeyKpEnter) Submit();
  if (Logger) Logger->LogDebug("pushed: " + std::to_string(key), LogSource::GuiAdds);
}

bool TConsole::IsConsoleKey(const TKeySym& key) const {
  if (key.Symbol == kKeyBackquote || (key.ScanCode != 0 && key.ScanCode == kScanCodeLeftOfOne)) return true;
  bool composed = key.Symbol == kKeyUnknown && key.ScanCode == 0 && key.Unicode != 0;
  return composed && IsOpen() && (key.Unicode == consoleKeyChar || key.Unicode == kKeyBackquote);
}

void TConsole::ConsoleKeyPressed(const TKeySym& key) {
  if (key.Symbol != kKeyUnknown && key.Symbol < 256) consoleKeyChar = key.Symbol;
}

void TConsole::Toggle() {
  TWindow& w = Window();
  if (!w.Visible) {
    if (ConsoleHooks.SetInGame) ConsoleHooks.SetInGame(false);
    w.SetVisible(true);
    gui.SetFocus(Input);
    return;
  }
  // In the game view the main menu, and with it the console, is hidden; a
  // console of its own (no main menu yet) is hidden here.
  if (ConsoleHooks.LevelRunning && *ConsoleHooks.LevelRunning && ConsoleHooks.SetInGame) ConsoleHooks.SetInGame(true);
  if (w.Visible) w.SetVisible(false);
}

void TConsole::Relayout(int32_t screenHeight) { MessageLines->SetTop(screenHeight - 300); }

TConsole* CreateConsole(TGUIclass& gui, const TConsoleLayout& layout) {
  delete Console;
  Console = new TConsole(gui, layout);
  return Console;
}

void FreeConsole() {
  delete Console;
  Console = nullptr;
}
