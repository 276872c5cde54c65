// The Internet list's window: its widgets, the sorted page of lines it shows,
// and the clicks that choose, scroll and join.
#include "frontend/internet_games.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>

#include "core/convert.h"
#include "core/log_sources.h"
#include "core/logger.h"
#include "core/platform.h"
#include "frontend/gui_add.h"
#include "frontend/join_by_address.h"
#include "frontend/windows.h"
#include "gui/gui_manager.h"
#include "net/network.h"

int32_t InternetWindow = -1;

namespace {

// Characters of each column; the headings stand over them.
// Wide enough for a title and the sort mark after it.
constexpr int kNameChars = 22, kMapChars = 12, kPlayersChars = 9, kBotsChars = 6, kPingChars = 6;
constexpr int kColumnChars[] = {kNameChars, kMapChars, kPlayersChars, kBotsChars, kPingChars};
constexpr const char* kColumnTitles[] = {"Name", "Map", "Players", "Bots", "Ping"};
constexpr int32_t kWidth = 620, kHeight = 440;
constexpr int32_t kListX = 20, kListY = 66, kListW = 580, kListH = 286, kTextX = 10, kTextY = 8;
constexpr uint32_t kDoubleClickMs = 500;
constexpr int32_t kWheelRows = 3;
constexpr size_t kJoinInternetButton = 2;
// The window's widgets in the order they are added.
constexpr size_t kRefreshButton = 5, kUpButton = 6, kDownButton = 7, kJoinButton = 8;
constexpr size_t kEmptyBox = 0, kFullBox = 1;

struct TListState {
  TInternetColumn Column = TInternetColumn::Ping;
  bool Descending = false;
  std::vector<size_t> Order;  // rows of Servers() as shown
  size_t Top = 0;             // first shown line
  std::optional<TServerAddress> Chosen;
  uint32_t LastClick = 0;
  std::optional<TServerAddress> LastClicked;
  bool Searched = false;
  size_t Rows = 1;  // lines the list shows, from its font
};
TListState state;

std::string Fit(const std::string& text, size_t width) {
  return text.size() <= width ? text : text.substr(0, width - 2) + "..";
}

bool Less(const TBrowsedServer& a, const TBrowsedServer& b, TInternetColumn column) {
  switch (column) {
    case TInternetColumn::Name: return LowerCase(a.Name) < LowerCase(b.Name);
    case TInternetColumn::Map: return LowerCase(a.Map) < LowerCase(b.Map);
    case TInternetColumn::Players: return a.Players < b.Players;
    case TInternetColumn::Bots: return a.Bots < b.Bots;
    case TInternetColumn::Ping: return a.PingMs < b.PingMs;
  }
  return false;
}

TWindow* Window() { return Win(InternetWindow); }
TEditField* List() {
  TWindow* w = Window();
  return w && !w->EditFields.empty() ? w->EditFields[0].get() : nullptr;
}
const std::vector<TBrowsedServer>* Servers() { return Network ? &Network->Internet.Servers() : nullptr; }

void SetStatus(const std::string& text) {
  if (TWindow* w = Window(); w && !w->Texts.empty()) w->Texts[0]->SetText(text);
}

void ShowStatus() {
  if (!Network) return;
  const TServerBrowser& b = Network->Internet;
  const std::string counts = std::to_string(b.Answered()) + " of " + std::to_string(b.Listed()) + " answered";
  if (b.Searching())
    SetStatus(b.Listed() == 0 ? "Asking the masters..." : "Asking the servers... " + counts);
  else if (b.Servers().empty())
    SetStatus(b.Listed() == 0 ? "No servers found" : "No servers to show (" + counts + ")");
  else
    SetStatus(counts + " - double-click one to join");
}

void ShowHeadings() {
  TWindow* w = Window();
  if (!w) return;
  for (size_t i = 0; i < std::size(kColumnTitles) && i < w->Buttons.size(); ++i) {
    const bool sorted = static_cast<size_t>(state.Column) == i;
    w->Buttons[i]->Caption = std::string(kColumnTitles[i]) + (sorted ? (state.Descending ? " v" : " ^") : "");
  }
}

void ShowPage() {
  TEditField* list = List();
  const std::vector<TBrowsedServer>* servers = Servers();
  if (!list || !servers) return;
  const size_t lastTop = state.Order.size() > state.Rows ? state.Order.size() - state.Rows : 0;
  state.Top = std::min(state.Top, lastTop);
  list->Lines.clear();
  list->CaretLine = 0;
  for (size_t i = state.Top; i < state.Order.size() && list->Lines.size() < state.Rows; ++i) {
    const TBrowsedServer& s = (*servers)[state.Order[i]];
    const bool chosen = state.Chosen && *state.Chosen == s.Address;
    if (chosen) list->CaretLine = static_cast<int32_t>(list->Lines.size());
    list->Lines.push_back((chosen ? ">" : " ") + InternetLine(s));
  }
  if (list->Lines.empty()) list->Lines.emplace_back();
  list->CaretColumn = 0;
}

void Refill() {
  const std::vector<TBrowsedServer>* servers = Servers();
  if (!servers) return;
  state.Order = SortedServers(*servers, state.Column, state.Descending);
  ShowPage();
  ShowStatus();
}

void Refresh() {
  if (!Network) return;
  Network->Internet.OnChange = Refill;
  state.Top = 0;
  state.Chosen.reset();
  state.Searched = true;
  std::string error;
  TBrowseFilter filter;
  if (TWindow* w = Window(); w && w->Checkboxes.size() > kFullBox) {
    filter.Empty = w->Checkboxes[kEmptyBox]->Checked;
    filter.Full = w->Checkboxes[kFullBox]->Checked;
  }
  const bool started = Network->Internet.Start(Network->Masters, SteadyMs(), error, filter);
  Refill();
  if (!started) SetStatus("No search: " + error);
}

void SortBy(TInternetColumn column) {
  state.Descending = state.Column == column && !state.Descending;
  state.Column = column;
  ShowHeadings();
  Refill();
}

const TBrowsedServer* Find(TServerAddress address) {
  const std::vector<TBrowsedServer>* servers = Servers();
  if (!servers) return nullptr;
  for (const TBrowsedServer& s : *servers)
    if (s.Address == address) return &s;
  return nullptr;
}

void Join(TServerAddress address) {
  const TBrowsedServer* s = Find(address);
  if (!s || !Network) return;
  if (Logger)
    Logger->LogInfo("Joining \"" + s->Name + "\" at " + DottedAddress(address.Host) + " (TCP " +
                        std::to_string(s->TCPPort) + ", UDP " + std::to_string(address.Port) + ")",
                    LogSource::GuiAdds);
  Network->Connect(DottedAddress(address.Host), s->TCPPort, address.Port, JoinPlayerName());
}

void Scroll(int32_t rows) {
  const int64_t top = static_cast<int64_t>(state.Top) + rows;
  state.Top = static_cast<size_t>(std::max<int64_t>(0, top));
  ShowPage();
}

// The line under the mouse is chosen; the same line again soon after joins.
void ClickList(int32_t mouseY, int32_t button) {
  if (button == 4 || button == 5) return Scroll(button == 4 ? -kWheelRows : kWheelRows);
  TWindow* w = Window();
  TEditField* list = List();
  const std::vector<TBrowsedServer>* servers = Servers();
  if (button != 1 || !w || !list || !servers) return;
  const int64_t offset = int64_t{mouseY} - w->Y - list->Y - list->TextY;
  if (offset < 0 || list->LineHeight <= 0) return;
  const size_t line = static_cast<size_t>(offset / list->LineHeight);
  const size_t row = state.Top + line;
  if (line >= state.Rows || row >= state.Order.size()) return;
  const TServerAddress address = (*servers)[state.Order[row]].Address;
  const uint32_t now = GetTicks();
  const bool twice = state.LastClicked && *state.LastClicked == address && now - state.LastClick <= kDoubleClickMs;
  state.Chosen = state.LastClicked = address;
  state.LastClick = now;
  ShowPage();
  if (twice) {
    state.LastClicked.reset();
    Join(address);
  }
}

void OnClick(TWindow& w, size_t button, std::function<void()> action) {
  if (button < w.Buttons.size())
    w.Buttons[button]->SetOnClick([action = std::move(action)](int32_t, int32_t, TGUIObject*, int32_t b) {
      if (b == 1) action();
    });
}

}  // namespace

std::vector<size_t> SortedServers(const std::vector<TBrowsedServer>& servers, TInternetColumn column, bool descending) {
  std::vector<size_t> order(servers.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return descending ? Less(servers[b], servers[a], column) : Less(servers[a], servers[b], column);
  });
  return order;
}

std::string InternetLine(const TBrowsedServer& s) {
  char line[128];
  const std::string players = std::to_string(s.Players) + "/" + std::to_string(s.MaxPlayers);
  std::snprintf(line, sizeof line, "%-*s %-*s %-*s %*d %*d", kNameChars, Fit(s.Name, kNameChars).c_str(), kMapChars,
                Fit(s.Map, kMapChars).c_str(), kPlayersChars, players.c_str(), kBotsChars, s.Bots, kPingChars,
                s.PingMs);
  return line;
}

void BuildInternetWindow() {
  InternetWindow = GUIManager->CreateWindow(0, 0, kWidth, kHeight, 1, "Internet Games",
                                            "data\\skins\\black blood\\default.tga");
  TWindow& w = *Win(InternetWindow);
  w.Font = FontCourier45;
  w.TextColor = {0.92f, 0.88f, 0.84f, 1};
  w.HasCaptionBar = true;
  w.LayoutCaptionButtons();
  w.CloseButton.Visible = true;
  w.Movable = true;
  const int32_t charWidth = std::max(1, w.CharWidth());
  int32_t x = kListX + kTextX + charWidth;  // past the mark of the chosen line
  for (size_t i = 0; i < std::size(kColumnTitles); ++i) {
    const int32_t width = kColumnChars[i] * charWidth;
    w.AddButton(x - 4, 36, width, 24, kColumnTitles[i]);
    x += width + charWidth;
  }
  TEditField& list = *w.EditFields[static_cast<size_t>(w.AddEditField(kListX, kListY, kListW, kListH, "", -1))];
  list.ReadOnly = true;
  list.TextColor = w.TextColor;
  list.TextX = kTextX;
  list.TextY = kTextY;
  // A line a glyph high, as in the console: the toolkit's default step lets glyphs overlap.
  list.LineHeight = std::max(1, list.CharHeight());
  state.Rows = static_cast<size_t>(std::max(1, (kListH - 2 * kTextY) / list.LineHeight));
  list.SetOnClick([](int32_t, int32_t y, TGUIObject*, int32_t button) { ClickList(y, button); });
  w.AddText(kListX, kListY + kListH + 10, "", w.TextColor);
  w.AddButton(kListX, 392, 120, 32, "Refresh");
  w.AddButton(160, 392, 70, 32, "Up");
  w.AddButton(240, 392, 70, 32, "Down");
  w.AddButton(kListX + kListW - 120, 392, 120, 32, "Join");
  // The filters: empty and full servers are shown while their box is ticked.
  for (const auto& [x, caption] : {std::pair{322, "Empty"}, std::pair{398, "Full"}}) {
    const size_t box = static_cast<size_t>(w.AddCheckbox(x, 397, 22, 22, true));
    w.Checkboxes[box]->SetOnClick([](int32_t, int32_t, TGUIObject*, int32_t b) {
      if (b == 1) Refresh();
    });
    w.AddText(x + 26, 400, caption, w.TextColor);
  }
  for (size_t i = 0; i < std::size(kColumnTitles); ++i)
    OnClick(w, i, [i] { SortBy(static_cast<TInternetColumn>(i)); });
  OnClick(w, kRefreshButton, Refresh);
  OnClick(w, kUpButton, [] { Scroll(-static_cast<int32_t>(state.Rows)); });
  OnClick(w, kDownButton, [] { Scroll(static_cast<int32_t>(state.Rows)); });
  OnClick(w, kJoinButton, [] {
    if (state.Chosen) Join(*state.Chosen);
  });
  ShowHeadings();
  w.SetVisible(false);
  w.SetOnHide(ReleaseFocus);
  if (TWindow* main = Win(MainWindow)) main->AddChildWindow(&w);
  if (TWindow* join = Win(JoinWindow)) OnClick(*join, kJoinInternetButton, OpenInternetWindow);
}

void OpenInternetWindow() {
  ShowCentred(InternetWindow);
  if (TWindow* w = Window(); w && GUIManager) GUIManager->BringToFront(*w);
  if (!state.Searched) Refresh();
}
