// Where a HUD line and its band land on the screen.
#include "frontend/hud_line.h"

#include <algorithm>

namespace {
size_t Length(const std::vector<THudPiece>& pieces) {
  size_t n = 0;
  for (const THudPiece& p : pieces) n += p.Text.size();
  return n;
}

// Keeps the first `keep` characters and ends them with "..." in the colour
// of the piece the cut falls in: a chat line or a long name must not leave
// the screen.
void CutTo(std::vector<THudPiece>& pieces, size_t keep) {
  const std::string ellipsis = "...";
  size_t left = keep > ellipsis.size() ? keep - ellipsis.size() : 0;
  std::vector<THudPiece> kept;
  for (THudPiece& p : pieces) {
    const size_t take = std::min(left, p.Text.size());
    left -= take;
    kept.push_back({p.Text.substr(0, take), p.Color});
    if (take < p.Text.size()) break;
  }
  kept.back().Text += ellipsis.substr(0, std::min(keep, ellipsis.size()));
  pieces = std::move(kept);
}
}  // namespace

int32_t HudLineStep(int32_t charHeight) { return charHeight + 2 * kHudBandPadY; }

THudBand PlaceHudLine(std::vector<THudPiece> pieces, int32_t x, int32_t y, THudAlign align, int32_t charWidth,
                      int32_t charHeight, int32_t screenWidth) {
  THudBand band;
  const int32_t room = screenWidth - 2 * (kHudEdgeMargin + kHudBandPadX);
  if (charWidth <= 0 || pieces.empty() || room < charWidth) return band;
  const size_t fits = static_cast<size_t>(room / charWidth);
  if (Length(pieces) > fits) CutTo(pieces, fits);
  const int32_t width = charWidth * static_cast<int32_t>(Length(pieces));
  int32_t left = align == THudAlign::Left ? x : align == THudAlign::Centre ? x - width / 2 : x - width;
  left = std::clamp(left, kHudEdgeMargin + kHudBandPadX, screenWidth - kHudEdgeMargin - kHudBandPadX - width);
  band.TextX = left;
  band.TextY = y;
  band.Left = left - kHudBandPadX;
  band.Right = left + width + kHudBandPadX;
  band.Top = y - kHudBandPadY;
  band.Bottom = y + charHeight + kHudBandPadY;
  band.Pieces = std::move(pieces);
  return band;
}
