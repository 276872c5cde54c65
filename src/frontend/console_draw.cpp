// The HUD's message lines on screen, each on a band of its own.
#include "frontend/console.h"
#include "frontend/hud_line.h"

void TConsole::DrawMessageLines() {
  PrintQueued();
  const TTextField& m = *MessageLines;
  for (size_t i = 0; i < m.Lines.size(); ++i)
    DrawHudLine(gui, m.Font, {{m.Lines[i], m.TextColor}}, m.X, m.Y + static_cast<int32_t>(i) * m.LineHeight,
                THudAlign::Left);
}
