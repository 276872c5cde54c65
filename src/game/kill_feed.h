// Who killed whom, for the HUD: the last few deaths of a level with their
// killers, as this machine's rules see them. The server learns killer and
// hit zone from the shot itself. A client pieces the same line together from
// what a kill already sends it (the victim's death, then the killer's score
// one kill higher) and marks a head shot only where the numbers prove one.
#pragma once
#include <cstdint>
#include <deque>
#include <string>

class TCharacter;

struct TKillLine {
  int32_t VictimId = -1;
  std::string Victim;
  uint8_t VictimTeam = 0;
  int32_t KillerId = -1;  // -1: nobody (yet): a fall, or the killer's score still on its way
  std::string Killer;
  uint8_t KillerTeam = 0;
  bool HeadShot = false;
  uint32_t Time = 0;          // the rules' clock at the death
  int32_t HealthBefore = 0;   // the victim's health as last known alive
};

class TKillFeed {
 public:
  static constexpr size_t kMaxLines = 5;
  // A score this long after a death still names that death's killer: a
  // kill's messages leave the server together, but may arrive a frame apart.
  static constexpr uint32_t kAttachMs = 1000;

  // A character in play died; healthBefore is what it had before the blow.
  void Died(const TCharacter& victim, int32_t healthBefore, uint32_t now);
  // The server's rule resolved the killing shot.
  void Killed(const TCharacter& killer, const TCharacter& victim, bool headShot);
  // A client saw the killer's kills rise by one. maxBodyDamage: the most a
  // shot of the killer's weapon can take anywhere but the head, so a victim
  // who had more than that died of a head shot (negative: not known).
  void Scored(const TCharacter& killer, uint32_t now, int32_t maxBodyDamage);

  // Oldest first.
  const std::deque<TKillLine>& Lines() const { return lines; }

 private:
  std::deque<TKillLine> lines;
};
