// The dialogs of the main menu (new game, join game, credits, exit, level
// switch), their checks, and the error window.
#include "core/config.h"
#include "core/convert.h"
#include "core/ini_file.h"
#include "core/log_sources.h"
#include "core/paths.h"
#include "core/run_state.h"
#include "frontend/find_games.h"
#include "frontend/frontend_hooks.h"
#include "frontend/gui_add.h"
#include "frontend/windows.h"
#include "game/characters.h"
#include "game/ki.h"
#include "gui/gui_manager.h"
#include "net/network.h"

#include <optional>

namespace {

TEdit* EditAt(TWindow& w, size_t i) { return i < w.Edits.size() ? w.Edits[i].get() : nullptr; }
std::string EditText(TWindow& w, size_t i) {
  TEdit* e = EditAt(w, i);
  return e ? e->Text : std::string();
}
bool Checked(TWindow& w, size_t i) { return i < w.Checkboxes.size() && w.Checkboxes[i]->Checked; }

void OnButton(TWindow* w, size_t i, std::function<void()> action) {
  if (!w || i >= w->Buttons.size()) return;
  w->Buttons[i]->SetOnClick([action = std::move(action)](int32_t, int32_t, TGUIObject*, int32_t) { action(); });
}

// While check box `box` is checked, what is typed into one edit is copied into
// the other. Copied on the key's release: the edit takes the key only after
// its key-down handler has run.
void KeepEqual(TWindow* w, size_t box, size_t a, size_t b) {
  if (!w) return;
  auto link = [w, box](size_t from, size_t to) {
    TEdit* source = EditAt(*w, from);
    if (!source) return;
    source->SetOnKeyUp([w, box, from, to](uint16_t, TGUIObject*) {
      TEdit* target = EditAt(*w, to);
      if (Checked(*w, box) && target) target->Text = EditText(*w, from);
    });
  };
  link(a, b);
  link(b, a);
}

std::string SelectedItem(const TWindow& w) {
  if (w.Comboboxes.empty()) return "";
  const TCombobox& box = *w.Comboboxes[0];
  if (box.Selected >= 0 && box.Selected < box.ItemCount()) return box.Items[static_cast<size_t>(box.Selected)]->Caption;
  return box.Text;
}

bool MapExists(const std::string& map) {
  std::string base = "data\\maps\\" + map + "\\map";
  return FileExists(HostPath(base + ".3ds")) || FileExists(HostPath(base + ".lvl"));
}

void FillMapList(TWindow& w) {
  if (w.Comboboxes.empty()) return;
  TCombobox& box = *w.Comboboxes[0];
  TIniFile ini(HostPath("data\\maps\\config.ini"));
  int32_t count = ini.ReadInteger("config", "maps", 0);
  for (int32_t i = 0; i < count; ++i) {
    std::string map = ini.ReadString("config", "map" + std::to_string(i), "Test");
    if (i == 0 && !box.Items.empty()) {
      box.Items[0]->Caption = map;
      box.Text = map;
    } else {
      box.AddItem(map);
    }
  }
}

// The server a new game asks for while another level runs: started once the
// level switch is confirmed, since ending the old level closes any session.
struct TServerStart {
  int32_t MaxPlayers = 0, UDPPort = 0, TCPPort = 0, Gold = 0, Bots = 0, RoundTime = 0, JoinTime = 0;
  bool FriendlyFire = false;
  std::string ServerName, PlayerName;
};
std::optional<TServerStart> pendingServer;

void StartServer(const TServerStart& s) {
  const bool started =
      Network && Network->StartServer(s.MaxPlayers, s.UDPPort, s.TCPPort, s.Gold, s.FriendlyFire, s.ServerName);
  if (started) {
    Network->Server->RoundTime = s.RoundTime;
    Network->Server->JoinTime = s.JoinTime;
    if (Characters) Characters->HoldFirstRoundForHost();
  }
  if (Characters && Characters->LocalCharacter) Characters->LocalCharacter->SetName(s.PlayerName);
  // Bots hold server slots, so they come once the server is up.
  if (started && KI)
    for (int32_t i = 0; i < s.Bots; ++i) KI->AddBot(-1);
}

void StartNewGame() {
  TWindow* w = Win(NewGameWindow);
  if (!w) return;
  std::string map = SelectedItem(*w);
  if (!MapExists(map)) return FrontShowError("Map konnte nicht gefunden werden: " + map, LogSource::GuiAdds);
  std::string name = EditText(*w, 3);
  if (name.size() < 3 || name.size() > 23)
    return FrontShowError("Your Name must contain at least 3 letters and less than 24.", LogSource::GuiAdds);
  int32_t firstPort = 0, secondPort = 0, maxPlayers = 0, gold = 0;
  if (!ReadNumberField(EditText(*w, 0), "UDP Port", 1, 65535, firstPort) ||
      !ReadNumberField(EditText(*w, 1), "TCP Port", 1, 65535, secondPort) ||
      !ReadNumberField(EditText(*w, 2), "Max. Players", 1, 255, maxPlayers) ||
      !ReadNumberField(EditText(*w, 4), "Gold per round", 0, 1000000, gold))
    return;
  std::string serverName = EditText(*w, 5);
  if (serverName.size() < 3) return FrontShowError("The Server Name must contain at least 3 letters.", LogSource::GuiAdds);
  // Every bot takes a slot; the host's own player takes one more.
  int32_t bots = 0;
  if (!ReadNumberField(EditText(*w, 6), "Bots", 0, maxPlayers - 1, bots)) return;
  int32_t roundTime = 0;
  if (!ReadNumberField(EditText(*w, 7), "Round time", 0, kMaxRoundTime, roundTime)) return;
  int32_t joinTime = 0;
  if (!ReadNumberField(EditText(*w, 8), "Join time", 0, kMaxRoundTime, joinTime)) return;
  if (GameVars) GameVars->Misc->Bots = bots;
  // The fields are crossed over on purpose: the dialog's first port is the
  // server's TCP port (equal while the ports are kept equal).
  TServerStart server{maxPlayers, secondPort, firstPort, gold, bots, roundTime, joinTime, Checked(*w, 1), serverName, name};
  const bool switching = FrontLevelRunning();
  FrontRequestLevel(map);
  if (switching)
    pendingServer = server;
  else
    StartServer(server);
}

void JoinGame() {
  TWindow* w = Win(JoinWindow);
  if (!w) return;
  int32_t udpPort = 0, tcpPort = 0;
  if (!ReadNumberField(EditText(*w, 2), "UDP Port", 1, 65535, udpPort) ||
      !ReadNumberField(EditText(*w, 1), "TCP Port", 1, 65535, tcpPort))
    return;
  std::string name = EditText(*w, 3);
  if (name.size() < 3) return FrontShowError("Your Name must contain at least 3 letters.", LogSource::GuiAdds);
  if (Network) Network->Connect(EditText(*w, 0), tcpPort, udpPort, name);
}

void ConfirmLevelSwitch() {
  std::string pending = FrontendHooks.PendingLevel ? FrontendHooks.PendingLevel() : std::string();
  FrontEndLevel();
  if (FrontendHooks.StartLevel) FrontendHooks.StartLevel(pending);
  if (pendingServer) StartServer(*pendingServer);
  pendingServer.reset();
}
}  // namespace

bool ReadNumberField(const std::string& text, const std::string& field, int64_t low, int64_t high, int32_t& value) {
  std::optional<int32_t> number = TryStrToInt(text);
  if (!number) {
    FrontShowError(field + " must be a valid Number.", LogSource::GuiAdds);
    return false;
  }
  if (*number < low || *number > high) {
    FrontShowError(field + " must be a Number from " + std::to_string(low) + " to " + std::to_string(high) + ".",
                   LogSource::GuiAdds);
    return false;
  }
  value = *number;
  return true;
}

void LoadMainDialogs() {
  std::vector<int32_t> indices{NewGameWindow, JoinWindow, SetupWindow, CreditsWindow, ExitWindow, SwitchLevelWindow};
  GUIManager->LoadGUIFile("data\\GUI\\MainWindows.gui", indices);
  NewGameWindow = indices[0];
  JoinWindow = indices[1];
  SetupWindow = indices[2];
  CreditsWindow = indices[3];
  ExitWindow = indices[4];
  SwitchLevelWindow = indices[5];
  TWindow* main = Win(MainWindow);
  for (int32_t index : indices) {
    TWindow* w = Win(index);
    if (!w || w == main) continue;
    w->SetVisible(false);
    if (main) main->AddChildWindow(w);
    w->SetOnHide(ReleaseFocus);
  }
}

void AttachDialogCallbacks() {
  if (TWindow* w = Win(NewGameWindow)) {
    FillMapList(*w);
    if (TEdit* bots = EditAt(*w, 6); bots && GameVars) bots->Text = std::to_string(GameVars->Misc->Bots);
    KeepEqual(w, 0, 0, 1);
    OnButton(w, 0, StartNewGame);
  }
  if (TWindow* w = Win(JoinWindow)) {
    KeepEqual(w, 0, 1, 2);
    OnButton(w, 0, JoinGame);
    AttachFindGames(*w);
  }
  OnButton(Win(ExitWindow), 0, [] { QuitFlag = -1; });
  OnButton(Win(ExitWindow), 1, [] { HideWindow(ExitWindow); });
  OnButton(Win(SwitchLevelWindow), 0, ConfirmLevelSwitch);
  OnButton(Win(SwitchLevelWindow), 1, [] {
    pendingServer.reset();
    HideWindow(SwitchLevelWindow);
  });
}

void BuildErrorWindow() {
  ErrorWindow = GUIManager->CreateWindow(ScreenCenterX, ScreenCenterY, 300, 100, 1, "Network Error",
                                         "data\\skins\\default.tga");
  TWindow& w = *Win(ErrorWindow);
  w.Font = FontCourier50;
  w.AddText(20, 50, "", kGUIWhite);
  w.HasCaptionBar = true;
  w.LayoutCaptionButtons();
  w.MinimizeButton.Visible = w.MaximizeButton.Visible = w.CloseButton.Visible = true;
  w.Movable = true;
  w.SetVisible(false);
  if (TWindow* main = Win(MainWindow)) main->AddChildWindow(&w);
}
