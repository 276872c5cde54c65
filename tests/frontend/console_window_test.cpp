// The console's lines drawn in the game's own windows and fonts: consecutive
// lines never overlap, in the console window nor in the HUD's message lines.
// (The windows' suites run after the console's own fixture, which replaces
// the globals the windows use; this file's name keeps it after that suite.)
#include "front_fixture.h"
#include "frontend/console.h"
#include "screen_picture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

using ConsoleLinesTest = FrontTest;

// Each line alone, then the next alone: the rows the first changes all lie
// above those of the next, in the console window and in the HUD's lines.
TEST_F(ConsoleLinesTest, ConsecutiveLinesNeverOverlap) {
  UseStartGLState();
  const struct {
    const char* Name;
    std::vector<std::string>* Lines;
    std::function<void()> Draw;
  } kinds[] = {{"console window", &Console->Output->Lines, [] { Console->Output->Draw(); }},
               {"HUD message lines", &Console->MessageLines->Lines, [] { Console->DrawMessageLines(); }}};
  const std::string tall = "W\xC5g|j_";  // an accent above, descenders below
  for (const auto& kind : kinds) {
    SCOPED_TRACE(kind.Name);
    auto rows = [&](size_t line) {
      auto frame = [&] {
        return DrawPicture([&] {
          GUIManager->SetOrtho(ScreenWidth, ScreenHeight, -40, 40);
          kind.Draw();
          GUIManager->FlushText();
        });
      };
      kind.Lines->assign(TConsole::kMessageLineCount, "");
      const TPicture without = frame();
      (*kind.Lines)[line] = tall;
      const TPicture with = frame();
      std::pair<int, int> changed{with.H, -1};
      for (int y = 0; y < with.H; ++y)
        for (int x = 0; x < with.W; ++x)
          if (std::memcmp(with.At(x, y), without.At(x, y), 3) != 0)
            changed = {std::min(changed.first, y), std::max(changed.second, y)};
      return changed;
    };
    const auto first = rows(0), second = rows(1);
    ASSERT_LE(first.first, first.second) << "drawn";
    EXPECT_GT(second.first, first.second);
    kind.Lines->assign(TConsole::kMessageLineCount, "");
  }
}

}  // namespace
