// The score table's order, apart from its window so that it can be checked alone.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct TScoreLine {
  std::string Name;
  int32_t Kills = 0, Deaths = 0;
  uint8_t Team = 0;  // 1 terrorists, else counter-terrorists
  int32_t Ping = 0;  // ms; 0 for the host and bots
};

// Terrorists and counter-terrorists, each in the given order and then by
// kills, highest first; equal kills keep their order.
void SplitAndSort(const std::vector<TScoreLine>& lines, std::vector<TScoreLine>& terrorists,
                  std::vector<TScoreLine>& counters);
