// Setup through config.ini, the buy window's pages and items, the score
// table's order, the chat line's limit, the relayout for a new window size.
#include "frontend/statistics.h"
#include "front_fixture.h"

#include <array>
#include <cmath>
#include <vector>

namespace {
using WindowsTest = FrontTest;

TWindow& SetupPage(int32_t page) { return *Win(SetupWindow)->FramesList[0]->Pages[static_cast<size_t>(page)]; }

TEST_F(WindowsTest, SetupShowsTheConfigurationAndApplyWritesItToConfigIni) {
  TVideoConfig& video = *GameVars->Video;
  video.SetResolutionIndex(4);
  video.SetBitDepthIndex(2);
  video.Gamma = 1.25f;
  GameVars->Mouse->MouseAcc = 1.0f;
  GameVars->Misc->Sleep = 7;
  Click(*Win(MainWindow)->Texts[2]);
  TWindow& setup = *Win(SetupWindow);
  ASSERT_TRUE(setup.Visible);
  TCombobox& resolution = *SetupPage(0).Comboboxes[0];
  ASSERT_EQ(resolution.ItemCount(), 6);
  EXPECT_EQ(resolution.Items[5]->Caption, "1600 * 1200");
  EXPECT_EQ(resolution.Text, "1280 * 1024");
  EXPECT_EQ(SetupPage(0).Comboboxes[2]->Text, "24");
  EXPECT_EQ(SetupPage(0).Edits[0]->Text, "1.25");
  EXPECT_FLOAT_EQ(SetupPage(3).ProgressBars[0]->Position, 0.5f);  // the root of the acceleration, halved
  EXPECT_EQ(SetupPage(4).Edits[0]->Text, "7");
  // Opening again adds no second set of items.
  Click(*Win(SetupWindow)->Buttons[0]);
  Click(*Win(MainWindow)->Texts[2]);
  EXPECT_EQ(resolution.ItemCount(), 6);

  resolution.Selected = 1;
  SetupPage(0).Checkboxes[1]->Checked = true;                // window mode
  SetupPage(1).ProgressBars[1]->Position = 0.25f;            // sound volume
  SetupPage(3).ProgressBars[0]->Position = 0.75f;            // acceleration (1.5)^2
  SetupPage(3).Checkboxes[0]->Checked = true;                // invert mouse
  SetupPage(4).Checkboxes[0]->Checked = true;                // show debug
  SetupPage(4).Edits[2]->Text = "450";                       // far clipping
  SetupPage(4).Edits[1]->Text = "near";                      // no number: unchanged
  const float nearBefore = GameVars->Misc->NearClipping;
  Click(*setup.Buttons[1]);
  EXPECT_FALSE(setup.Visible);

  TgameVariabeln reread(FrontWorld::Get().Dir / "config.ini");
  EXPECT_EQ(reread.Video->ResolutionX, 1024);
  EXPECT_EQ(reread.Video->ResolutionY, 768);
  EXPECT_TRUE(reread.Video->GoWindowMode);
  EXPECT_FLOAT_EQ(reread.Video->Gamma, 1.25f);
  EXPECT_FLOAT_EQ(reread.Audio->SoundVolume(), 0.25f);
  EXPECT_FLOAT_EQ(reread.Mouse->MouseAcc, 2.25f);
  EXPECT_TRUE(reread.Mouse->InvertMouse);
  EXPECT_TRUE(reread.Misc->ShowDebug);
  EXPECT_FLOAT_EQ(reread.Misc->FarClipping, 450);
  EXPECT_FLOAT_EQ(reread.Misc->NearClipping, nearBefore);
  GameVars->Misc->ShowDebug = false;
  GameVars->Mouse->InvertMouse = false;
}

TEST_F(WindowsTest, BuyPagesShowTheirOwnFiveItemsAndHideTheOthers) {
  TWindow& buy = *Win(BuyWindow);
  auto visibleImages = [&] {
    std::vector<size_t> v;
    for (size_t i = 3; i < buy.Images.size(); ++i)
      if (buy.Images[i]->Visible) v.push_back(i);
    return v;
  };
  auto visibleIn = [](const auto& list) {
    std::vector<size_t> v;
    for (size_t i = 0; i < list.size(); ++i)
      if (list[i]->Visible) v.push_back(i);
    return v;
  };
  auto range = [](size_t first, size_t n) {
    std::vector<size_t> v;
    for (size_t i = 0; i < n; ++i) v.push_back(first + i);
    return v;
  };
  ASSERT_EQ(buy.Images.size(), 18u);
  ASSERT_EQ(buy.Texts.size(), 30u);
  ASSERT_EQ(buy.TextFields.size(), 15u);
  for (int32_t page = 0; page < 3; ++page) {
    Click(*buy.Images[static_cast<size_t>(page)]);
    const size_t first = static_cast<size_t>(page) * 5;
    EXPECT_EQ(visibleImages(), range(3 + first, 5)) << page;
    EXPECT_EQ(visibleIn(buy.Texts), range(first * 2, 10)) << page;
    EXPECT_EQ(visibleIn(buy.TextFields), range(first, 5)) << page;
  }
  // The rifle page's second item, by index.
  const TWeapon& rifle = *Weapons->Rifles[1];
  EXPECT_EQ(buy.Images[9]->Texture, rifle.Texture);
  EXPECT_EQ(buy.Images[9]->Tag, 1);
  EXPECT_EQ(buy.Texts[12]->Text, rifle.FolderName);
  EXPECT_EQ(buy.Texts[13]->Text, "Damage: " + std::to_string(std::lround(rifle.Damage)) + ";      Accuracy: " +
                                     std::to_string(std::lround(rifle.Accuracy)) + ";      Cost: " +
                                     std::to_string(rifle.Prize));
  EXPECT_EQ(buy.TextFields[6]->Lines[0].substr(0, 10), rifle.Description.substr(0, 10));
  EXPECT_EQ(buy.Texts[20]->Text, Weapons->Equips[0]->FolderName);
  EXPECT_EQ(buy.Texts[21]->Text, "Cost: " + std::to_string(Weapons->Equips[0]->Prize));
  // Each item's picture sits in the panel's column, one row per item.
  const TPanel& panel = *buy.Panels[0];
  const int32_t s = static_cast<int32_t>(std::lround(panel.Height / 5.0)) - 18;
  EXPECT_EQ(buy.Images[7]->Y, panel.Y + (s + 10) * 4 + 20);
  EXPECT_EQ(buy.Images[7]->Width, s);
}

TEST_F(WindowsTest, ClickingAnItemBuysItForTheLocalPlayer) {
  TCharacter& player = *MakeCharacters().LocalCharacter;
  player.SetHealth(100);
  player.Money = 100000;
  Click(*Win(BuyWindow)->Images[3 + 5 + 2]);  // rifle 2
  EXPECT_EQ(player.RifleIndex, 2);
  EXPECT_EQ(player.Money, 100000 - Weapons->Rifles[2]->Prize);
}

TEST_F(WindowsTest, ScoresAreSortedByKillsPerTeamKeepingTheOrderOfEqualKills) {
  std::vector<TScoreLine> t, c;
  SplitAndSort({{"a", 3, 0, 1}, {"b", 5, 1, 1}, {"x", 2, 0, 0}, {"y", 2, 4, 0}, {"z", 7, 0, 0}}, t, c);
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].Name, "b");
  EXPECT_EQ(t[1].Name, "a");
  ASSERT_EQ(c.size(), 3u);
  EXPECT_EQ(c[0].Name, "z");
  EXPECT_EQ(c[1].Name, "x");  // equal kills: the lower index stays first
  EXPECT_EQ(c[2].Name, "y");
}

TEST_F(WindowsTest, TheScoreWindowListsNameKillsAndDeathsInColumns) {
  TCharacters& all = MakeCharacters();
  all.LocalCharacter->SetName("host");
  all.LocalCharacter->SetKills(1);
  for (auto [name, kills, team] : {std::tuple{"t1", 3, 1}, {"t2", 5, 1}, {"c1", 4, 0}}) {
    TCharacter& ch = *all.At(all.Add(0, 0, 0, 0));
    ch.SetName(name);
    ch.SetKills(kills);
    ch.SetDeaths(2);
    ch.SetTeam(static_cast<uint8_t>(team));
  }
  GUIAdd->UpdateStatistics();
  TWindow& w = *Win(StatisticsWindow);
  EXPECT_EQ(w.TextFields[0]->GetText(), "t2\rt1\r");
  EXPECT_EQ(w.TextFields[1]->GetText(), "5\r3\r");
  EXPECT_EQ(w.TextFields[2]->GetText(), "2\r2\r");
  EXPECT_EQ(w.TextFields[3]->GetText(), "c1\rhost\r");
  EXPECT_EQ(w.TextFields[4]->GetText(), "4\r1\r");
  // Without a session nobody has a round trip.
  EXPECT_EQ(w.TextFields[6]->GetText(), "0\r0\r");
  EXPECT_EQ(w.TextFields[7]->GetText(), "0\r0\r");
}

TEST_F(WindowsTest, TheChatLineIsCutToFiftyCharactersAndSentToTheTeamWhenChecked) {
  std::vector<std::pair<std::string, bool>> sent;
  FrontendHooks.SendChat = [&](const std::string& text, bool team) { sent.emplace_back(text, team); };
  OpenChatWindow();
  TWindow& chat = *Win(ChatWindow);
  ASSERT_TRUE(chat.Visible);
  EXPECT_TRUE(log->CursorVisible);
  GUIManager->SetFocus(chat.Edits[0].get());
  for (int i = 0; i < 60; ++i) GUIManager->KeyDown('a', 'a');
  EXPECT_EQ(chat.Edits[0]->Text, std::string(50, 'a'));
  chat.Checkboxes[0]->Checked = true;
  Click(*chat.Buttons[0]);
  EXPECT_FALSE(chat.Visible);
  EXPECT_FALSE(log->CursorVisible);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0], std::make_pair(std::string(50, 'a'), true));
  OpenChatWindow();
  EXPECT_EQ(chat.Edits[0]->Text, "");
  FrontendHooks.SendChat = nullptr;
  GUIManager->SetFocus(nullptr);
}

TEST_F(WindowsTest, ARelayoutFitsTheMenuHudAndCharacterChoiceToTheNewSize) {
  TWindow& main = *Win(MainWindow);
  std::vector<std::array<int32_t, 3>> at600;  // each entry's left, top and height
  for (size_t i = 0; i < 7; ++i) at600.push_back({main.Texts[i]->X, main.Texts[i]->Y, main.Texts[i]->Height});
  SetScreen(1024, 768);
  GUIAdd->Relayout();
  EXPECT_EQ(main.Width, 1024);
  EXPECT_EQ(main.Height, 768);
  // The menu grows with the screen height: each entry keeps its place and
  // size as fractions of it.
  for (size_t i = 0; i < 7; ++i) {
    SCOPED_TRACE(main.Texts[i]->Text);
    for (int k = 0; k < 3; ++k) {
      const int32_t now = k == 0 ? main.Texts[i]->X : k == 1 ? main.Texts[i]->Y : main.Texts[i]->Height;
      EXPECT_NEAR(now / 768.0, at600[i][k] / 600.0, 1.0 / 768);
    }
  }
  TWindow& hud = *Win(IngameForm);
  EXPECT_EQ(hud.Width, 1024);
  EXPECT_EQ(hud.Images[0]->X, 512 - 15);
  EXPECT_EQ(hud.Images[0]->Y, 384 - 15);
  EXPECT_EQ(hud.Images[2]->X, 256 * 2 - 100);
  EXPECT_EQ(hud.Images[2]->Y, 768 - 90);
  EXPECT_EQ(hud.Images[5]->X, 1024 - 70);
  TWindow& choice = *Win(ChooseCharacterWindow);
  EXPECT_EQ(choice.X, 512 - choice.Width / 2);
  EXPECT_EQ(choice.Y, 384 - choice.Height / 2);
  SetScreen(800, 600);
  GUIAdd->Relayout();
  EXPECT_EQ(main.Texts[0]->Y, at600[0][1]);
}

TEST_F(WindowsTest, TheCharacterChoiceSetsTheModelByTagAndHidesTheCursor) {
  TCharacters& all = MakeCharacters();
  GUIAdd->ShowCharacterChoice();
  TWindow& w = *Win(ChooseCharacterWindow);
  EXPECT_TRUE(w.Visible);
  EXPECT_TRUE(log->CursorVisible);
  ASSERT_EQ(w.Images.size(), 4u);
  std::vector<int32_t> tags;
  for (const auto& image : w.Images) tags.push_back(image->Tag);
  EXPECT_EQ(tags, (std::vector<int32_t>{0, 1, 10, 11}));
  Click(*w.Images[2]);
  EXPECT_EQ(all.LocalCharacter->Team, 1);
  EXPECT_FALSE(w.Visible);
  EXPECT_FALSE(log->CursorVisible);
}

TEST(DeathTint, FadesFromRedToWhiteOverFiveSeconds) {
  EXPECT_FLOAT_EQ(DeathTint(1000, 1000), 1 / 5000.0f);
  EXPECT_FLOAT_EQ(DeathTint(3500, 1000), 0.5f);
  EXPECT_FLOAT_EQ(DeathTint(6000, 1000), 1.0f);
  EXPECT_FLOAT_EQ(DeathTint(5, 0xFFFFFFFFu), 6 / 5000.0f);  // across the tick counter's wrap
}
}  // namespace
