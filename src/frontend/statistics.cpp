// The score table shown while Tab is held.
#include "frontend/statistics.h"

#include "frontend/gui_add.h"
#include "frontend/windows.h"
#include "game/characters.h"
#include "gui/gui_manager.h"
#include "net/network.h"

#include <algorithm>

void SplitAndSort(const std::vector<TScoreLine>& lines, std::vector<TScoreLine>& terrorists,
                  std::vector<TScoreLine>& counters) {
  terrorists.clear();
  counters.clear();
  for (const TScoreLine& line : lines) (line.Team == 1 ? terrorists : counters).push_back(line);
  auto byKills = [](const TScoreLine& a, const TScoreLine& b) { return a.Kills > b.Kills; };
  std::stable_sort(terrorists.begin(), terrorists.end(), byKills);
  std::stable_sort(counters.begin(), counters.end(), byKills);
}

void BuildStatisticsWindow() { LoadChildWindow("data\\GUI\\Statistik.gui", StatisticsWindow, IngameForm); }

void TGUIAdd::UpdateStatistics() {
  TWindow* w = Win(StatisticsWindow);
  if (!w || w->TextFields.size() < 8 || !Characters) return;
  std::vector<TScoreLine> lines;
  for (int32_t i = 0; i < Characters->Count; ++i) {
    const TCharacter* c = Characters->At(i);
    // Free slots are nobody's score.
    if (c && c->InUse) lines.push_back({c->Name, c->Kills, c->Deaths, c->Team, Network ? Network->PingOf(i) : 0});
  }
  std::vector<TScoreLine> teams[2];
  SplitAndSort(lines, teams[0], teams[1]);
  for (size_t team = 0; team < 2; ++team) {
    std::string columns[4];
    for (const TScoreLine& line : teams[team]) {
      columns[0] += line.Name + "\r";
      columns[1] += std::to_string(line.Kills) + "\r";
      columns[2] += std::to_string(line.Deaths) + "\r";
      columns[3] += std::to_string(line.Ping) + "\r";
    }
    for (size_t c = 0; c < 3; ++c) w->TextFields[team * 3 + c]->SetText(columns[c]);
    // The ping columns came later than the others, so they follow them.
    w->TextFields[6 + team]->SetText(columns[3]);
  }
}
