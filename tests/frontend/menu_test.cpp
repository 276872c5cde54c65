// The main menu as read back from the screen at 800 x 600 and 1600 x 1200:
// every entry's letters at least 2.5 % of the screen high and at least 4.5:1
// (relative luminance) against the brightest pixel behind them, and the entry
// under the mouse picked out in a colour of its own that reads as well.
#include "front_fixture.h"
#include "screen_picture.h"

#include <algorithm>
#include <cmath>

namespace {

// What the letters of one entry measure on the screen.
struct TEntryLook {
  int Height = 0;          // rows holding ink
  double Contrast = 0;     // of the letters' cores against the brightest pixel behind them
  double Colour[3] = {};   // the cores' mean colour
};

class MenuTest : public FrontTest {
 protected:
  void SetUp() override {
    FrontTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    UseStartGLState();
    log->LevelRunning = true;  // all seven entries
  }
  void TearDown() override {
    GUIManager->MouseMove(ScreenWidth - 1, 0);
    SetScreen(800, 600);
    GUIAdd->Relayout();
    glViewport(0, 0, 800, 600);
    FrontTest::TearDown();
  }

  // The frame as the game draws it at the current screen size.
  static TPicture Draw() { return DrawPicture([] { GUIAdd->Draw(); }); }
  // The same frame without the entries' letters.
  static TPicture DrawWithoutLetters() {
    TWindow& main = *Win(MainWindow);
    std::vector<std::string> captions;
    for (size_t i = 0; i < 7; ++i) captions.push_back(std::move(main.Texts[i]->Text));
    TPicture shot = Draw();
    for (size_t i = 0; i < 7; ++i) main.Texts[i]->Text = captions[i];
    return shot;
  }

  // Ink: pixels the letters changed. Their cores are those changed by at
  // least three quarters of the most any pixel was.
  static TEntryLook Measure(const TText& text, const TPicture& with, const TPicture& without) {
    const int x1 = std::max(text.X - 4, 0), x2 = std::min(text.X + text.Width + 4, with.W);
    const int y1 = std::max(text.Y - 4, 0), y2 = std::min(text.Y + text.Height + 4, with.H);
    auto change = [&](int x, int y) {
      int most = 0;
      for (int c = 0; c < 3; ++c) most = std::max(most, std::abs(with.At(x, y)[c] - without.At(x, y)[c]));
      return most;
    };
    int strongest = 0, top = y2, bottom = y1 - 1;
    double brightestBehind = 0;
    for (int y = y1; y < y2; ++y)
      for (int x = x1; x < x2; ++x) {
        const int d = change(x, y);
        strongest = std::max(strongest, d);
        brightestBehind = std::max(brightestBehind, Luminance(without.At(x, y)));
        if (d > 40) {
          top = std::min(top, y);
          bottom = std::max(bottom, y);
        }
      }
    TEntryLook look;
    look.Height = bottom - top + 1;
    double luminance = 0;
    int cores = 0;
    for (int y = y1; y < y2; ++y)
      for (int x = x1; x < x2; ++x)
        if (change(x, y) * 4 >= strongest * 3) {
          luminance += Luminance(with.At(x, y));
          for (int c = 0; c < 3; ++c) look.Colour[c] += with.At(x, y)[c];
          ++cores;
        }
    if (cores == 0) return look;
    for (double& c : look.Colour) c /= cores;
    look.Contrast = Contrast(luminance / cores, brightestBehind);
    return look;
  }
  static double Distance(const double a[3], const double b[3]) {
    return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
  }
};

TEST_F(MenuTest, EntriesAreTallAndContrastyAndTheHoveredOneStandsOut) {
  TWindow& main = *Win(MainWindow);
  for (auto [width, height] : {std::pair{800, 600}, {1600, 1200}}) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    SetScreen(width, height);
    GUIAdd->Relayout();
    const TPicture without = DrawWithoutLetters(), plain = Draw();
    std::vector<TEntryLook> looks;
    for (size_t i = 0; i < 7; ++i) {
      const TText& text = *main.Texts[i];
      looks.push_back(Measure(text, plain, without));
      EXPECT_GE(looks[i].Height, 0.025 * height) << text.Text;
      EXPECT_GE(looks[i].Contrast, 4.5) << text.Text;
    }

    // The mouse over "Join Game": it alone changes colour, and still reads.
    const TText& join = *main.Texts[1];
    GUIManager->MouseMove(join.X + join.Width / 2, join.Y + join.Height / 2);
    const TPicture hovered = Draw();
    const TPicture hoveredWithout = DrawWithoutLetters();
    for (size_t i = 0; i < 7; ++i) {
      const TEntryLook look = Measure(*main.Texts[i], hovered, hoveredWithout);
      if (i == 1) {
        EXPECT_GT(Distance(look.Colour, looks[i].Colour), 100) << "the hovered entry's colour";
        EXPECT_GE(look.Contrast, 4.5);
        EXPECT_GE(look.Height, looks[i].Height);
      } else {
        EXPECT_LT(Distance(look.Colour, looks[i].Colour), 20) << main.Texts[i]->Text;
      }
    }
    // Away from the entries, none is picked out.
    GUIManager->MouseMove(width - 1, 0);
    EXPECT_LT(Distance(Measure(join, Draw(), without).Colour, looks[1].Colour), 20);
  }
}

}  // namespace
