// What the kill feed says: who killed whom, how, and how visible it still is.
#include "frontend/hud_kill_feed.h"

#include "game/kill_feed.h"

TGUIColor TeamColor(uint8_t team) { return team == 1 ? kHudTerroristColor : kHudCounterColor; }

std::vector<TKillFeedRow> KillFeedRows(const TKillFeed& feed, uint32_t now) {
  std::vector<TKillFeedRow> rows;
  for (const TKillLine& line : feed.Lines()) {
    const uint32_t age = now - line.Time;
    if (age >= kKillFeedShowMs) continue;
    TKillFeedRow row;
    const uint32_t left = kKillFeedShowMs - age;
    row.Alpha = left >= kKillFeedFadeMs ? 1.0f : static_cast<float>(left) / kKillFeedFadeMs;
    if (line.KillerId >= 0) {
      row.Pieces.push_back({line.Killer, TeamColor(line.KillerTeam)});
      row.Pieces.push_back({" killed ", kHudText});
      row.Pieces.push_back({line.Victim, TeamColor(line.VictimTeam)});
      if (line.HeadShot) row.Pieces.push_back({" (head shot)", {1.0f, 0.9f, 0.4f, 1}});
    } else {
      row.Pieces.push_back({line.Victim, TeamColor(line.VictimTeam)});
      row.Pieces.push_back({" died", kHudText});
    }
    rows.push_back(std::move(row));
  }
  return rows;
}
