// The event handler's window keys in game: Escape, Tab, "b", "m", "c", typing
// into the chat, and the relayout on a resize.
#include "app/event_handler.h"
#include "app/game.h"
#include "core/key_codes.h"
#include "../frontend/front_fixture.h"

namespace {
class WindowKeysTest : public FrontTest {
 protected:
  void SetUp() override {
    FrontTest::SetUp();
    saved = FrontendHooks;
    Game = new Tgame();
    GameVars->SetDefaults(*Game);
    EventHandler = new TEventHandler();
    FrontendHooks.SetCursorVisible = [](bool v) { Game->SetCursorVisible(v); };
    FrontendHooks.InGame = [] { return Game->InGame; };
    MakeCharacters();
    Game->LevelRunning = Game->InGame = true;
    Game->CursorVisible = false;
    Game->Initialised = true;
  }
  void TearDown() override {
    GUIManager->SetFocus(nullptr);
    delete EventHandler;
    EventHandler = nullptr;
    delete Game;
    Game = nullptr;
    FrontendHooks = saved;
    FrontTest::TearDown();
  }
  static void Press(uint16_t symbol) {
    EventHandler->KeyDown(TKeySym{0, symbol, 0, symbol});
    EventHandler->KeyUp(TKeySym{0, symbol, 0, 0});
  }
  TFrontendHooks saved;
};

TEST_F(WindowKeysTest, BuyKeyTogglesTheWindowAndTheCursorAndEscapeHidesEveryHudWindow) {
  Press(kKeyB);
  EXPECT_TRUE(Win(BuyWindow)->Visible);
  EXPECT_TRUE(Game->CursorVisible);
  Press(kKeyB);
  EXPECT_FALSE(Win(BuyWindow)->Visible);
  EXPECT_FALSE(Game->CursorVisible);
  Press(kKeyB);
  Press(kKeyM);
  TWindow& choice = *Win(ChooseCharacterWindow);
  EXPECT_TRUE(choice.Visible);
  EXPECT_EQ(choice.X, ScreenCenterX - choice.Width / 2);
  Press(kKeyEscape);
  EXPECT_FALSE(Win(BuyWindow)->Visible);
  EXPECT_FALSE(choice.Visible);
  EXPECT_FALSE(Game->CursorVisible);
  EXPECT_TRUE(Game->InGame);
}

TEST_F(WindowKeysTest, TabShowsTheScoresOnlyWhileHeld) {
  Characters->LocalCharacter->SetName("host");
  EventHandler->KeyDown(TKeySym{0, kKeyTab, 0, 9});
  EXPECT_TRUE(Win(StatisticsWindow)->Visible);
  EXPECT_EQ(Win(StatisticsWindow)->X, ScreenCenterX - Win(StatisticsWindow)->Width / 2);
  EXPECT_EQ(Win(StatisticsWindow)->TextFields[3]->GetText(), "host\r");
  EventHandler->KeyUp(TKeySym{0, kKeyTab, 0, 0});
  EXPECT_FALSE(Win(StatisticsWindow)->Visible);
}

TEST_F(WindowKeysTest, LettersTypedIntoTheChatStayTextAndOpenNoWindow) {
  Press(kKeyC);
  TWindow& chat = *Win(ChatWindow);
  ASSERT_TRUE(chat.Visible);
  EXPECT_EQ(GUIManager->FocusedObject, chat.Edits[0].get());
  for (uint16_t key : {kKeyB, kKeyM, kKeyC}) Press(key);
  EXPECT_EQ(chat.Edits[0]->Text, "bmc");
  EXPECT_FALSE(Win(BuyWindow)->Visible);
  EXPECT_FALSE(Win(ChooseCharacterWindow)->Visible);
  // Once the chat is gone the keys act again.
  HideWindow(ChatWindow);
  Press(kKeyB);
  EXPECT_TRUE(Win(BuyWindow)->Visible);
  EXPECT_EQ(chat.Edits[0]->Text, "bmc");
}

TEST_F(WindowKeysTest, AResizeRelayoutsOnlyOnceStartUpIsComplete) {
  const int32_t menuTop = Win(MainWindow)->Texts[0]->Y;
  Game->Initialised = false;
  EventHandler->Resize(1024, 768);
  EXPECT_EQ(Win(MainWindow)->Width, 800);
  Game->Initialised = true;
  EventHandler->Resize(1024, 768);
  EXPECT_EQ(Win(MainWindow)->Width, 1024);
  EXPECT_EQ(Win(IngameForm)->Images[5]->X, 1024 - 70);
  EXPECT_NE(Win(MainWindow)->Texts[0]->Y, menuTop);
  EventHandler->Resize(800, 600);
  EXPECT_EQ(Win(MainWindow)->Texts[0]->Y, menuTop);
}
}  // namespace
