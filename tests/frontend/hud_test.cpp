// The HUD's additions as text: the kill feed's rows and the new player's hints.
#include "front_fixture.h"
#include "frontend/hud_hints.h"
#include "frontend/hud_kill_feed.h"
#include "game/characters.h"
#include "game/kill_feed.h"

#include <gtest/gtest.h>

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
    for (const TKillFeedPiece& p : row.Pieces) t += p.Text;
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

}  // namespace
