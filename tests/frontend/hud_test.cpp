// The HUD's additions: the kill feed's rows and the new player's hints as
// text, and every kind of HUD line read back from the screen.
#include "front_fixture.h"
#include "frontend/console.h"
#include "frontend/hud_hints.h"
#include "frontend/hud_kill_feed.h"
#include "frontend/hud_line.h"
#include "frontend/hud_round_time.h"
#include "frontend/hud_spectator.h"
#include "game/characters.h"
#include "game/kill_feed.h"
#include "render/textures.h"
#include "screen_picture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

namespace {

TEST(KillFeedRows, NameBothSidesInTheirColoursFadeOutAndThenLeave) {
  TCharacters characters(nullptr, false);
  TCharacter& shooter = *characters.At(characters.Add(0, 0, 0, 0));
  TCharacter& victim = *characters.At(characters.Add(10, 0, 0, 0));
  shooter.SetName("Rex");
  victim.SetName("Vera");
  TKillFeed feed;
  feed.Died(victim, 100, 1000);
  feed.Killed(shooter, victim, true);
  feed.Died(shooter, 100, 1000);
  std::vector<TKillFeedRow> rows = KillFeedRows(feed, 1000);
  ASSERT_EQ(rows.size(), 2u);
  auto text = [](const TKillFeedRow& row) {
    std::string t;
    for (const THudPiece& p : row.Pieces) t += p.Text;
    return t;
  };
  EXPECT_EQ(text(rows[0]), "Rex killed Vera (head shot)");
  EXPECT_EQ(text(rows[1]), "Rex died");
  EXPECT_EQ(rows[0].Pieces[0].Color, TeamColor(0));
  EXPECT_EQ(rows[0].Pieces[2].Color, TeamColor(1));
  EXPECT_FLOAT_EQ(rows[0].Alpha, 1);
  EXPECT_FLOAT_EQ(KillFeedRows(feed, 1000 + kKillFeedShowMs - kKillFeedFadeMs / 2)[0].Alpha, 0.5f);
  EXPECT_TRUE(KillFeedRows(feed, 1000 + kKillFeedShowMs).empty());
}

TEST(Hints, TheKeysShowFromTheFirstSpawnForSomeSecondsOrUntilOneIsUsed) {
  TCharacters characters(nullptr, false);
  TCharacter& player = *characters.LocalCharacter;
  player.SetModel(0);
  THintBindings keys;
  keys.Camera = kKeyF5;
  keys.Console = '^';
  THints hints;
  hints.Update(player, 100);  // still in the character choice: dead
  EXPECT_EQ(hints.KeysLine(keys, 100), "");
  player.SetHealth(100);
  hints.Update(player, 1000);
  hints.Update(player, 5000);  // a later frame does not restart the time
  EXPECT_EQ(hints.KeysLine(keys, 1000), "B buy   Tab scores   C chat   ^ console   F5 camera");
  EXPECT_NE(hints.KeysLine(keys, 1000 + THints::kKeysShowMs - 1), "");
  EXPECT_EQ(hints.KeysLine(keys, 1000 + THints::kKeysShowMs), "");

  hints.LevelStarted();
  hints.Update(player, 20000);
  EXPECT_NE(hints.KeysLine(keys, 20000), "") << "each level's first spawn shows them again";
  hints.Used(THintKey::Scores);
  EXPECT_EQ(hints.KeysLine(keys, 20000), "");
}

TEST(Hints, WithoutAWeaponTheShopKeyShowsUntilTheShopOpens) {
  TCharacters characters(nullptr, false);
  TCharacter& player = *characters.LocalCharacter;
  player.SetModel(10);
  player.SetHealth(100);  // revived as a round starts: a pistol without rounds
  THintBindings keys;
  THints hints;
  hints.Update(player, 0);
  EXPECT_EQ(hints.ShopLine(player, keys), "No weapon: press B to open the shop");
  player.PistolMagazines = 1;
  EXPECT_EQ(hints.ShopLine(player, keys), "");
  player.PistolMagazines = 0;
  hints.Used(THintKey::Chat);
  EXPECT_NE(hints.ShopLine(player, keys), "") << "only the shop itself ends it";
  hints.Used(THintKey::Buy);
  EXPECT_EQ(hints.ShopLine(player, keys), "");
}

TEST(Hints, KeysAreNamedAsPrintedOnThem) {
  const std::pair<uint16_t, const char*> cases[] = {
      {kKeyB, "B"}, {kKeyTab, "Tab"}, {kKeyF12, "F12"}, {kKeyBackquote, "`"}, {kKeySpace, "Space"},
      {kKeyKp0 + 3, "Keypad 3"}, {kKeyLShift, "Shift"}, {kKey1, "1"}, {kKeyMenu, "Key 319"}};
  for (const auto& [key, name] : cases) EXPECT_EQ(KeyName(key), name) << key;
}

using HudLineTest = FrontTest;

// Every HUD line sits on a dark band, whatever the scene left culled.
TEST_F(HudLineTest, TheTextSitsOnADarkBandWithBackFacesCulled) {
  UseStartGLState();
  glEnable(GL_CULL_FACE);
  glClearColor(1, 1, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  GUIManager->SetOrtho(800, 600, -40, 40);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  const std::string line = "No weapon";
  DrawHudLine(line, 300);
  glFinish();
  const int width = GUIManager->FontAt(FontCourier45)->CharWidth * static_cast<int>(line.size());
  auto red = [](int x, int y) {
    uint8_t c[4] = {};
    glReadPixels(x, 600 - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, c);
    return static_cast<int>(c[0]);
  };
  EXPECT_LT(red(400 - width / 2 - 4, 302), 120) << "left of the text, on the band";
  EXPECT_LT(red(400 + width / 2 + 4, 302), 120) << "right of the text, on the band";
  EXPECT_EQ(red(400 - width / 2 - 20, 302), 255) << "beyond the band the scene stays";
  glDisable(GL_CULL_FACE);
  glClearColor(0, 0, 0, 1);
}

TEST(HudLinePlace, ALineWiderThanTheScreenEndsInDotsInside) {
  const std::vector<THudPiece> pieces = {{"Rex", kHudCounterColor}, {" says " + std::string(200, 'x'), kHudText}};
  const THudBand band = PlaceHudLine(pieces, 10, 50, THudAlign::Left, 8, 14, 640);
  ASSERT_EQ(band.Pieces.size(), 2u);
  EXPECT_EQ(band.Pieces[0].Text, "Rex");
  const std::string& rest = band.Pieces[1].Text;
  EXPECT_EQ(rest.substr(rest.size() - 4), "x...");
  EXPECT_GE(band.Left, kHudEdgeMargin);
  EXPECT_LE(band.Right, 640 - kHudEdgeMargin);
  EXPECT_GT(band.Right, 640 - kHudEdgeMargin - 8) << "as much as fits";
}

// One kind of line the HUD writes: its font, its text in the pieces drawn
// in one colour each, and how the HUD draws it.
struct THudLineKind {
  const char* Name;
  int32_t Font;
  std::vector<std::string> Pieces;
  std::function<void()> Draw;
};

// What a line measures on the screen: the rectangle it changed (the band),
// and the lowest contrast of a piece's letters against the band.
struct THudLineLook {
  int Left = 0, Top = 0, Right = -1, Bottom = -1;
  double Contrast = 0;
};

class HudLinesTest : public FrontTest {
 protected:
  void SetUp() override {
    FrontTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    UseStartGLState();
    glEnable(GL_CULL_FACE);  // as the characters leave it
    TCharacters& all = MakeCharacters();
    player = all.LocalCharacter;
    player->SetModel(0);
    player->SetHealth(100);
    player->PistolMagazines = 1;  // armed: no shop hint
    hints.Update(*player, 0);
    TCharacter& rex = *all.At(all.Add(1, 0, 0, 0));
    TCharacter& vera = *all.At(all.Add(10, 0, 0, 0));
    rex.SetName("Rex");
    rex.SetHealth(100);
    vera.SetName("Vera");
    feed.Died(vera, 100, 1000);
    feed.Killed(rex, vera, true);
    Console->MessageLines->Lines.assign(TConsole::kMessageLineCount, "");
    Console->MessageLines->Lines[0] = "Welcome on the Server";
  }
  void TearDown() override {
    glDisable(GL_CULL_FACE);
    glClearColor(0, 0, 0, 1);
    SetScreen(800, 600);
    GUIAdd->Relayout();
    FrontTest::TearDown();
  }
  // The local player dead, watching Rex.
  void Die() {
    player->SetHealth(0);
    characters->Spectator.Cycle(*characters, 1);
    ASSERT_EQ(SpectatorLine(*characters), "Watching Rex (click for the next)");
  }
  std::vector<THudLineKind> Kinds() {
    return {
        {"message line", FontCourier45, {"Welcome on the Server"}, [] { Console->DrawMessageLines(); }},
        {"kill feed", FontCourier45, {"Rex", " killed ", "Vera", " (head shot)"},
         [this] { DrawKillFeed(feed, 1000); }},
        {"round clock", FontBrokenGhost, {"2:05"}, [] { DrawRoundClock(125000); }},
        {"respawn", FontBrokenGhost, {"Respawn in 5 Seconds!"}, [] { DrawRespawn(4600); }},
        {"spectator", FontCourier45, {"Watching Rex (click for the next)"}, [this] { DrawSpectator(*characters); }},
        {"hint", FontCourier45, {hints.KeysLine(THintBindings{}, 0)},
         [this] { DrawHints(hints, *player, THintBindings{}, 0); }},
    };
  }
  // The frame of the scene alone and with the line over it.
  static std::pair<TPicture, TPicture> Frames(const std::function<void()>& scene, const THudLineKind& kind) {
    auto frame = [&](bool line) {
      return DrawPicture([&] {
        GUIManager->SetOrtho(ScreenWidth, ScreenHeight, -40, 40);
        scene();
        if (line) kind.Draw();
      });
    };
    return {frame(false), frame(true)};
  }
  // The band is every pixel the line changed. A piece's letters are its
  // cell's pixels within a quarter of the brightest one's luminance; they
  // are measured against the brightest pixel of the band's ends, where no
  // letter reaches.
  static THudLineLook Measure(const THudLineKind& kind, const TPicture& without, const TPicture& with) {
    THudLineLook look{with.W, with.H, -1, -1, 0};
    for (int y = 0; y < with.H; ++y)
      for (int x = 0; x < with.W; ++x) {
        bool changed = false;
        for (int c = 0; c < 3; ++c) changed = changed || std::abs(with.At(x, y)[c] - without.At(x, y)[c]) > 6;
        if (!changed) continue;
        look.Left = std::min(look.Left, x);
        look.Right = std::max(look.Right, x);
        look.Top = std::min(look.Top, y);
        look.Bottom = std::max(look.Bottom, y);
      }
    if (look.Right < look.Left) return look;
    double band = 0;
    for (int y = look.Top; y <= look.Bottom; ++y)
      for (int d = 0; d < kHudBandPadX - 2; ++d) {
        band = std::max(band, Luminance(with.At(look.Left + d, y)));
        band = std::max(band, Luminance(with.At(look.Right - d, y)));
      }
    const int charWidth = GUIManager->FontAt(kind.Font)->CharWidth;
    int x = look.Left + kHudBandPadX;
    look.Contrast = 1e9;
    for (const std::string& piece : kind.Pieces) {
      const int x2 = x + charWidth * static_cast<int>(piece.size());
      double brightest = 0, sum = 0;
      int cores = 0;
      for (int pass = 0; pass < 2; ++pass)
        for (int y = look.Top + kHudBandPadY; y <= look.Bottom - kHudBandPadY; ++y)
          for (int px = x; px < x2; ++px) {
            const double l = Luminance(with.At(px, y));
            if (pass == 0) brightest = std::max(brightest, l);
            if (pass == 1 && l >= band + 0.75 * (brightest - band)) {
              sum += l;
              ++cores;
            }
          }
      look.Contrast = std::min(look.Contrast, cores ? Contrast(sum / cores, band) : 0);
      x = x2;
    }
    return look;
  }

  TCharacter* player = nullptr;
  THints hints;
  TKillFeed feed;
};

// Over the brightest a sky can be (white) and over the brick wall, each
// piece of every line reads at 4.5 : 1 or better against its band.
TEST_F(HudLinesTest, EveryLineReadsOverBrightAndDarkScenes) {
  Die();
  unsigned brick = 0;
  LoadTexture("data\\MapTextures\\brick.bmp", brick);
  ASSERT_NE(brick, 0u);
  const std::pair<const char*, std::function<void()>> scenes[] = {
      {"white", [] {}},
      {"brick wall", [brick] {
         glEnable(GL_TEXTURE_2D);
         glDisable(GL_BLEND);
         glBindTexture(GL_TEXTURE_2D, brick);
         glColor4f(1, 1, 1, 1);
         const float u = ScreenWidth / 256.0f, v = ScreenHeight / 256.0f;
         glBegin(GL_QUADS);  // counter-clockwise on the screen, as culling wants
         glTexCoord2f(0, 0), glVertex2i(0, 0);
         glTexCoord2f(0, v), glVertex2i(0, ScreenHeight);
         glTexCoord2f(u, v), glVertex2i(ScreenWidth, ScreenHeight);
         glTexCoord2f(u, 0), glVertex2i(ScreenWidth, 0);
         glEnd();
       }}};
  for (const auto& [sceneName, scene] : scenes) {
    glClearColor(1, 1, 1, 1);
    for (const THudLineKind& kind : Kinds()) {
      SCOPED_TRACE(std::string(kind.Name) + " over " + sceneName);
      const auto [without, with] = Frames(scene, kind);
      const THudLineLook look = Measure(kind, without, with);
      EXPECT_GE(look.Contrast, 4.5);
      std::printf("%-12s over %-10s: contrast %.2f\n", kind.Name, sceneName, look.Contrast);
    }
  }
  glDeleteTextures(1, &brick);
}

// No line's band reaches the screen's edge, at a small, the usual and a large
// screen.
TEST_F(HudLinesTest, NoLineIsCutByTheScreensEdge) {
  Die();
  glClearColor(1, 1, 1, 1);
  for (auto [width, height] : {std::pair{640, 480}, {800, 600}, {1600, 1200}}) {
    SetScreen(width, height);
    GUIAdd->Relayout();
    for (const THudLineKind& kind : Kinds()) {
      SCOPED_TRACE(std::string(kind.Name) + " at " + std::to_string(width) + " x " + std::to_string(height));
      const auto [without, with] = Frames([] {}, kind);
      const THudLineLook look = Measure(kind, without, with);
      ASSERT_LE(look.Left, look.Right) << "drawn";
      EXPECT_GT(look.Left, 0);
      EXPECT_GT(look.Top, 0);
      EXPECT_LT(look.Right, width - 1);
      EXPECT_LT(look.Bottom, height - 1);
    }
  }
}

// While dead the view holds no weapon of the player's: the corner that shows
// the weapon's magazines and rounds stays empty, whomever the view follows.
TEST_F(HudLinesTest, TheWeaponCornerIsEmptyWhileDead) {
  // The game view as the driver's switch leaves it.
  TWindow& hud = *Win(IngameForm);
  hud.SetVisible(true);
  Win(MainWindow)->SetVisible(false);
  log->InGame = true;
  player->SetWeaponSlot(1);
  player->PistolIndex = 0;
  player->PistolShots = 7;
  auto cornerInk = [] {
    const TPicture frame = DrawPicture([] { GUIAdd->Draw(); });
    int lit = 0;
    for (int y = 15; y < 145; ++y)
      for (int x = ScreenWidth - 150; x < ScreenWidth; ++x) lit += Luminance(frame.At(x, y)) > 0.05;
    return lit;
  };
  EXPECT_GT(cornerInk(), 200) << "alive: the pistol's figures and pictures";
  Die();
  characters->Now += 5000;  // the red of death has faded
  EXPECT_EQ(cornerInk(), 0) << "dead, watching a mate";
  ShowWeaponPictures(true);
  hud.SetVisible(false);
  Win(MainWindow)->SetVisible(true);
  log->InGame = false;
}

}  // namespace
