// The Join dialog's search: queries go out when "Find games" is pressed, the
// answers arrive through the frame's network poll, and each answering server
// becomes one line of the read-only list. A line chosen with the mouse fills
// the address and both ports.
#include "frontend/find_games.h"

#include "gui/window.h"
#include "net/network.h"

#include <cstdio>

namespace {
// Widget indices in the Join window.
constexpr size_t kHostEdit = 0, kTCPEdit = 1, kUDPEdit = 2;
constexpr size_t kSamePortsBox = 0;
constexpr size_t kFindButton = 1;
constexpr size_t kStatusText = 5;
constexpr size_t kListField = 1;

// A column's text: a longer one ends in ".." so that it does not run into
// the next column as if it went on.
std::string Fit(const std::string& text, size_t width) {
  return text.size() <= width ? text : text.substr(0, width - 2) + "..";
}

// Columns of the list: name, map, players of the maximum, TCP and UDP port.
std::string ServerLine(const TFoundServer& s) {
  char line[96];
  const std::string players = std::to_string(s.Info.Players) + "/" + std::to_string(s.Info.MaxPlayers);
  std::snprintf(line, sizeof line, "%-14s %-9s %-7s %d/%d", Fit(s.Info.Name, 14).c_str(), Fit(s.Info.Map, 9).c_str(),
                players.c_str(), s.Info.TCPPort, s.Info.UDPPort);
  return line;
}

void SetStatus(TWindow& join, const std::string& text) {
  if (kStatusText < join.Texts.size()) join.Texts[kStatusText]->SetText(text);
}

void ShowServers(TWindow& join) {
  if (!Network || kListField >= join.EditFields.size()) return;
  const TDiscoveryBrowser& finder = Network->Finder;
  TEditField& list = *join.EditFields[kListField];
  list.Lines.clear();
  for (const TFoundServer& s : finder.Servers) list.Lines.push_back(ServerLine(s));
  if (list.Lines.empty()) list.Lines.emplace_back();
  list.CaretLine = 0;
  list.CaretColumn = 0;
  const size_t n = finder.Servers.size();
  if (finder.Searching())
    SetStatus(join, "Searching...");
  else if (n == 0)
    SetStatus(join, "No games found");
  else
    SetStatus(join, std::to_string(n) + (n == 1 ? " game" : " games") + " found - click one to choose it");
}

void SetEdit(TWindow& join, size_t index, const std::string& text) {
  if (index >= join.Edits.size()) return;
  TEdit& edit = *join.Edits[index];
  edit.Text = text;
  edit.Caret = static_cast<int32_t>(text.size());
}

// The line under the mouse names the server; a click below the last line
// chooses nothing (the caret would stand on the last line all the same).
void ChooseServer(TWindow& join, int32_t mouseY) {
  if (!Network || kListField >= join.EditFields.size()) return;
  const std::vector<TFoundServer>& servers = Network->Finder.Servers;
  const TEditField& list = *join.EditFields[kListField];
  const int64_t offset = int64_t{mouseY} - join.Y - list.Y - list.TextY;
  if (offset < 0 || list.LineHeight <= 0) return;
  const int64_t line = offset / list.LineHeight;
  if (line >= static_cast<int64_t>(servers.size())) return;
  const TFoundServer& s = servers[static_cast<size_t>(line)];
  SetEdit(join, kHostEdit, s.Host);
  SetEdit(join, kTCPEdit, std::to_string(s.Info.TCPPort));
  SetEdit(join, kUDPEdit, std::to_string(s.Info.UDPPort));
  // Linked ports would copy one over the other at the next key.
  if (kSamePortsBox < join.Checkboxes.size()) join.Checkboxes[kSamePortsBox]->Checked = s.Info.TCPPort == s.Info.UDPPort;
}
}  // namespace

void FindGames(TWindow& join) {
  if (!Network) return;
  Network->Finder.OnChange = [&join] { ShowServers(join); };
  std::string error;
  const uint16_t port = Network->DiscoveryPort > 0 && Network->DiscoveryPort <= 65535
                            ? static_cast<uint16_t>(Network->DiscoveryPort)
                            : kDefaultDiscoveryPort;
  if (!Network->Finder.Start(SplitDiscoveryTargets(Network->DiscoveryTargets), port, error)) {
    ShowServers(join);
    SetStatus(join, "Search failed: " + error);
    return;
  }
  ShowServers(join);
}

void AttachFindGames(TWindow& join) {
  if (kFindButton < join.Buttons.size())
    join.Buttons[kFindButton]->SetOnClick([&join](int32_t, int32_t, TGUIObject*, int32_t) { FindGames(join); });
  if (kListField < join.EditFields.size())
    join.EditFields[kListField]->SetOnClick(
        [&join](int32_t, int32_t y, TGUIObject*, int32_t) { ChooseServer(join, y); });
}
