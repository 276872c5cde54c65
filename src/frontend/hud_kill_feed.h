// The HUD's kill feed: the level's last deaths at the upper right, each line
// fading out some seconds after the death.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "frontend/hud_line.h"

class TKillFeed;

// One line as drawn: its pieces left to right, each in its colour, and how
// opaque the whole line is.
struct TKillFeedRow {
  std::vector<THudPiece> Pieces;
  float Alpha = 1;
};

inline constexpr uint32_t kKillFeedShowMs = 6000, kKillFeedFadeMs = 1500;

// The lines still shown at the time now, oldest first.
std::vector<TKillFeedRow> KillFeedRows(const TKillFeed& feed, uint32_t now);
// A team's colour in the feed (0 counter-terrorists, 1 terrorists).
TGUIColor TeamColor(uint8_t team);

// Draws the rows right-aligned below the ammunition pictures.
void DrawKillFeed(const TKillFeed& feed, uint32_t now);
