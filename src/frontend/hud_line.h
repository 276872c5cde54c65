// A line of HUD text on a dark band: the one way the HUD writes a line over
// the scene (messages, kill feed, round clock, respawn, spectator, hints),
// so that light text reads over the brightest sky and a lit wall alike.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "gui/gui_object.h"

class TGUIclass;

// A run of text in one colour.
struct THudPiece {
  std::string Text;
  TGUIColor Color;
};

// What the anchor x of a line is: its text's left edge, centre or right edge.
enum class THudAlign { Left, Centre, Right };

// The band reaches this far beyond the text, and stays this far inside the
// screen.
inline constexpr int32_t kHudBandPadX = 6, kHudBandPadY = 3, kHudEdgeMargin = 4;
// Black at this opacity keeps even white behind it dark enough for the
// lightest colours below to stand out by more than 4.5 : 1.
inline constexpr float kHudBandAlpha = 0.8f;
// Text colours, all light: plain text, and the names of the two teams.
inline constexpr TGUIColor kHudText = kGUIWhite;
inline constexpr TGUIColor kHudCounterColor{0.68f, 0.85f, 1.0f, 1};
inline constexpr TGUIColor kHudTerroristColor{1.0f, 0.76f, 0.58f, 1};

// Where a line lands: the band's rectangle and the pieces' start, after the
// line was moved inside the screen and, when wider than the screen, cut
// short with "...".
struct THudBand {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  int32_t TextX = 0, TextY = 0;
  std::vector<THudPiece> Pieces;
};
THudBand PlaceHudLine(std::vector<THudPiece> pieces, int32_t x, int32_t y, THudAlign align, int32_t charWidth,
                      int32_t charHeight, int32_t screenWidth);
// The height of a band in the font: the step between stacked lines.
int32_t HudLineStep(int32_t charHeight);

// Draws the line at height y (hud_line_draw.cpp); nothing for a line without
// text or an unknown font. alpha fades band and text together.
void DrawHudLine(const TGUIclass& gui, int32_t font, const std::vector<THudPiece>& pieces, int32_t x, int32_t y,
                 THudAlign align, float alpha = 1);
// One line in the plain colour and the HUD's small font, centred.
void DrawHudLine(const std::string& line, int32_t y);
