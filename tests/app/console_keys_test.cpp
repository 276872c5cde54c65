// The console key on any keyboard layout, and typing into the console with
// the characters the layout gives.
#include "../frontend/console_fixture.h"

#include "app/event_handler.h"
#include "app/game.h"
#include "core/key_codes.h"

namespace {

class ConsoleKeysTest : public ConsoleTest {
 protected:
  void SetUp() override {
    ConsoleTest::SetUp();
    GUIManager = &gui;
    Game = new Tgame();
    EventHandler = new TEventHandler();
  }
  void TearDown() override {
    delete EventHandler;
    EventHandler = nullptr;
    delete Game;
    Game = nullptr;
    GUIManager = nullptr;
    ConsoleTest::TearDown();
  }
  static void Press(uint16_t symbol, uint8_t scanCode, uint16_t unicode) {
    EventHandler->KeyDown(TKeySym{scanCode, symbol, 0, unicode});
  }
};

constexpr uint8_t kScanQ = 24;  // the X server's key code of Q on a PC keyboard

}  // namespace

TEST_F(ConsoleKeysTest, BackquoteOrTheKeyLeftOfOneIsTheConsoleKey) {
  struct Case {
    const char* Layout;
    uint16_t Symbol;
    uint8_t ScanCode;
    bool IsConsoleKey;
  } cases[] = {
      {"US backquote", kKeyBackquote, kScanCodeLeftOfOne, true},
      {"German circumflex (a dead key)", 94, kScanCodeLeftOfOne, true},
      {"French superscript two", 178, kScanCodeLeftOfOne, true},
      {"backquote from elsewhere", kKeyBackquote, 0, true},
      {"a letter", kKeyQ, kScanQ, false},
      {"no scan code", kKeyA, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Layout);
    EXPECT_EQ(con->IsConsoleKey(TKeySym{c.ScanCode, c.Symbol, 0, 0}), c.IsConsoleKey);
  }
}

TEST_F(ConsoleKeysTest, TheKeyOpensTheConsoleOverTheMenuAndItsCharacterStaysOut) {
  Press(178, kScanCodeLeftOfOne, 0xB2);  // "²" on a French keyboard
  EXPECT_TRUE(con->IsOpen());
  EXPECT_EQ(inGameCalls, std::vector<bool>{false});
  EXPECT_EQ(gui.FocusedObject, con->Input);
  EXPECT_EQ(con->Input->Text, "");
  EXPECT_FALSE(EventHandler->KeyHeld);  // the key repeat never types it either

  Press(kKeyQ, kScanQ, 'q');
  EXPECT_TRUE(EventHandler->KeyHeld);
  EXPECT_EQ(con->Input->Text, "q");
  Press(kKeyBackquote, kScanCodeLeftOfOne, '`');  // closes: no level runs, so the console just hides
  EXPECT_FALSE(con->IsOpen());
  EXPECT_EQ(inGameCalls, std::vector<bool>{false});
  EXPECT_EQ(con->Input->Text, "");

  levelRunning = true;
  Press(94, kScanCodeLeftOfOne, '^');  // a German keyboard's key left of 1
  EXPECT_TRUE(con->IsOpen());
  EXPECT_EQ(con->Input->Text, "");
  Press(94, kScanCodeLeftOfOne, '^');  // back to the running level
  EXPECT_EQ(inGameCalls, (std::vector<bool>{false, false, true}));
  EXPECT_FALSE(con->IsOpen());
}

// While the console takes text, the input method swallows a dead console key
// and hands over its character, without key symbol, on the second press.
TEST_F(ConsoleKeysTest, AComposedConsoleKeyCharacterClosesTheConsole) {
  Press(94, kScanCodeLeftOfOne, 0);  // "^" opens (no text input yet: the key arrives whole)
  ASSERT_TRUE(con->IsOpen());
  Press(kKeyUnknown, 0, 0xE2);  // a composed "â" is text
  EXPECT_EQ(con->Input->Text, "\xE2");
  Press(kKeyUnknown, 0, '^');  // "^" twice
  EXPECT_FALSE(con->IsOpen());
  EXPECT_EQ(con->Input->Text, "");

  Game->InGame = false;
  gui.SetFocus(con->Input);  // an edit elsewhere: a composed "^" there is text
  Press(kKeyUnknown, 0, '^');
  EXPECT_FALSE(con->IsOpen());
  EXPECT_EQ(con->Input->Text, "^");
}

// The layout's character when it has a Windows-1252 byte, else the German
// table; control characters never become text.
TEST_F(ConsoleKeysTest, TypingTakesTheLayoutsCharacter) {
  struct Case {
    const char* What;
    uint16_t Symbol, Unicode;
    std::string Typed;
  } cases[] = {
      {"y on a US layout (the German table has z)", kKeyY, 'y', "y"},
      {"at sign from AltGr+q", kKeyQ, '@', "@"},
      {"e acute", kKeyE, 0xE9, "\xE9"},
      {"euro sign", kKeyE, 0x20AC, "\x80"},
      {"left double quote", kKey2, 0x201C, "\x93"},
      {"no character from the system", kKeyY, 0, "z"},
      {"a character the code page lacks", kKeyY, 0x4E2D, "z"},
      {"Return", kKeyReturn, 13, ""},
      {"Backspace on an empty line", kKeyBackspace, 8, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    con->Toggle();
    Press(c.Symbol, 0, c.Unicode);
    EXPECT_EQ(con->Input->Text, c.Typed);
    con->Toggle();
  }
}

TEST_F(ConsoleKeysTest, TheKeyRepeatTypesTheLayoutsCharacterAgain) {
  con->Toggle();
  uint32_t now = 1000;
  SetTickSource([&] { return now; });
  EventHandler->Tick();
  Press(kKeyE, 0, 0xE9);
  now += 600;
  EventHandler->Tick();
  SetTickSource(nullptr);
  EXPECT_EQ(con->Input->Text, "\xE9\xE9");
}

// A frame that took long (a busy machine) must not turn one press into two:
// the press counts from when it is read, not from the last tick.
TEST_F(ConsoleKeysTest, APressReadAfterASlowFrameIsTypedOnce) {
  con->Toggle();
  uint32_t now = 1000;
  SetTickSource([&] { return now; });
  EventHandler->Tick();
  now += 700;
  Press(kKeyE, 0, 'e');
  now += 10;
  EventHandler->Tick();
  SetTickSource(nullptr);
  EXPECT_EQ(con->Input->Text, "e");
}
