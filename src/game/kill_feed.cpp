// The kill feed's lines and how a killer finds the death that was his.
#include "game/kill_feed.h"

#include "core/logger.h"
#include "game/character.h"

void TKillFeed::Died(const TCharacter& victim, int32_t healthBefore, uint32_t now) {
  TKillLine line;
  line.VictimId = victim.Id;
  line.Victim = victim.Name;
  line.VictimTeam = victim.Team;
  line.Time = now;
  line.HealthBefore = healthBefore;
  lines.push_back(line);
  if (lines.size() > kMaxLines) lines.pop_front();
}

static void Attach(TKillLine& line, const TCharacter& killer, bool headShot) {
  line.KillerId = killer.Id;
  line.Killer = killer.Name;
  line.KillerTeam = killer.Team;
  line.HeadShot = headShot;
  // Every machine's log keeps who killed whom, for a server owner judging a
  // match afterwards.
  if (Logger) Logger->LogInfo(line.Killer + " killed " + line.Victim + (headShot ? " (head shot)" : ""), "KillFeed");
}

void TKillFeed::Killed(const TCharacter& killer, const TCharacter& victim, bool headShot) {
  for (auto it = lines.rbegin(); it != lines.rend(); ++it)
    if (it->VictimId == victim.Id) {
      if (it->KillerId < 0) Attach(*it, killer, headShot);
      return;
    }
}

void TKillFeed::Scored(const TCharacter& killer, uint32_t now, int32_t maxBodyDamage) {
  // A kill's messages come in order (death, then scores), so only the newest
  // death can be this killer's; an older unclaimed one was a fall.
  if (lines.empty()) return;
  TKillLine& line = lines.back();
  if (line.KillerId >= 0 || line.VictimId == killer.Id || now - line.Time > kAttachMs) return;
  Attach(line, killer, maxBodyDamage >= 0 && line.HealthBefore > maxBodyDamage);
}
