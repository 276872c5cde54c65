// The main menu's dialogs: what New Game and Join Game accept and refuse, and
// what they start; the linked port fields; the level-switch confirmation.
#include "front_fixture.h"
#include "game/ki.h"

namespace {
struct TNewGameCase {
  std::string Map, Port0, Port1, Players, Name, Gold, Server, Bots, Error, RoundTime = "180", JoinTime = "15";
};

class DialogsTest : public FrontTest {
 protected:
  static TWindow& NewGame() { return *Win(NewGameWindow); }
  static void SelectMap(const std::string& map) {
    TCombobox& box = *NewGame().Comboboxes[0];
    box.Selected = 0;
    for (int32_t i = 0; i < box.ItemCount(); ++i)
      if (box.Items[static_cast<size_t>(i)]->Caption == map) box.Selected = i;
    box.Items[static_cast<size_t>(box.Selected)]->Caption = map;  // a map the list does not hold
  }
  static void Fill(TWindow& w, const std::vector<std::string>& texts) {
    for (size_t i = 0; i < texts.size(); ++i) w.Edits[i]->Text = texts[i];
  }
};

TEST_F(DialogsTest, TheMapListComesFromTheMapsConfiguration) {
  const TCombobox& box = *NewGame().Comboboxes[0];
  std::vector<std::string> captions;
  for (const auto& item : box.Items) captions.push_back(item->Caption);
  EXPECT_EQ(captions, (std::vector<std::string>{"arena", "compound", "depot", "tower"}));
}

// Runs before any test types into the dialog: the field still shows what the
// fresh configuration gave it.
TEST_F(DialogsTest, TheBotsFieldOffersTheLastChoiceAndStartsThatManyBotsOnceTheServerRuns) {
  TEdit& bots = *NewGame().Edits[6];
  EXPECT_EQ(bots.Text, "3");
  EXPECT_EQ(NewGame().Edits[7]->Text, "180");  // the round time limit offered
  MakeCharacters();
  TKI ki(Characters);
  KI = &ki;
  SelectMap("arena");
  Fill(NewGame(), {"6000", "6000", "4", "Wanderer", "800", "My Server", "2"});
  Click(*NewGame().Buttons[0]);
  EXPECT_TRUE(log->Errors.empty());
  ASSERT_TRUE(Network->IsServer);
  EXPECT_EQ(ki.BotCount(), 2);
  EXPECT_EQ(Network->Server->ConnectedCount(), 2);
  // One on each side: the host, without a character yet, counts on neither.
  EXPECT_EQ(Characters->At(1)->Team + Characters->At(2)->Team, 1);
  // The choice outlives the run.
  GameVars->Misc->Save();
  EXPECT_EQ(TMiscConfig(GameVars->Misc->FileName).Bots, 2);
  // Fewer slots than bots: refused before anything starts.
  Network->Close();
  ki.KickBots();
  *log = TRecorded{};
  Fill(NewGame(), {"6000", "6000", "2", "Wanderer", "800", "My Server", "2"});
  Click(*NewGame().Buttons[0]);
  EXPECT_EQ(log->Errors, std::vector<std::string>{"Bots must be a Number from 0 to 1."});
  EXPECT_FALSE(Network->IsServer);
  EXPECT_EQ(ki.BotCount(), 0);
  KI = nullptr;
}

TEST_F(DialogsTest, NewGameChecksEveryFieldInOrderAndStartsNothingOnAFailure) {
  const std::string name23(23, 'n'), name24(24, 'n');
  const TNewGameCase cases[] = {
      {"nowhere", "5000", "5000", "8", "Player", "1000", "Server", "3", "Map konnte nicht gefunden werden: nowhere"},
      {"arena", "5000", "5000", "8", "ab", "1000", "Server", "3", "Your Name must contain at least 3 letters and less than 24."},
      {"arena", "5000", "5000", "8", name24, "1000", "Server", "3", "Your Name must contain at least 3 letters and less than 24."},
      {"arena", "abc", "5000", "8", "abc", "1000", "Server", "3", "UDP Port must be a valid Number."},
      {"arena", "0", "5000", "8", "abc", "1000", "Server", "3", "UDP Port must be a Number from 1 to 65535."},
      {"arena", "65536", "5000", "8", "abc", "1000", "Server", "3", "UDP Port must be a Number from 1 to 65535."},
      {"arena", "5000", "", "8", "abc", "1000", "Server", "3", "TCP Port must be a valid Number."},
      {"arena", "5000", "70000", "8", "abc", "1000", "Server", "3", "TCP Port must be a Number from 1 to 65535."},
      {"arena", "5000", "5000", "eight", "abc", "1000", "Server", "3", "Max. Players must be a valid Number."},
      {"arena", "5000", "5000", "0", "abc", "1000", "Server", "3", "Max. Players must be a Number from 1 to 255."},
      {"arena", "5000", "5000", "256", "abc", "1000", "Server", "3", "Max. Players must be a Number from 1 to 255."},
      {"arena", "5000", "5000", "8", "abc", "1.5", "Server", "3", "Gold per round must be a valid Number."},
      {"arena", "5000", "5000", "8", "abc", "-1", "Server", "3", "Gold per round must be a Number from 0 to 1000000."},
      {"arena", "5000", "5000", "8", "abc", "1000001", "Server", "3", "Gold per round must be a Number from 0 to 1000000."},
      {"arena", "5000", "5000", "8", "abc", "1000", "ab", "3", "The Server Name must contain at least 3 letters."},
      {"arena", "5000", "5000", "8", "abc", "1000", "Server", "x", "Bots must be a valid Number."},
      {"arena", "5000", "5000", "8", "abc", "1000", "Server", "-1", "Bots must be a Number from 0 to 7."},
      {"arena", "5000", "5000", "8", "abc", "1000", "Server", "8", "Bots must be a Number from 0 to 7."},
      {"arena", "5000", "5000", "8", "abc", "1000", "Server", "3", "Round time must be a valid Number.", "soon"},
      {"arena", "5000", "5000", "8", "abc", "1000", "Server", "3", "Round time must be a Number from 0 to 3600.", "-1"},
      {"arena", "5000", "5000", "8", "abc", "1000", "Server", "3", "Round time must be a Number from 0 to 3600.", "3601"},
      {"arena", "5000", "5000", "8", "abc", "1000", "Server", "3", "Join time must be a Number from 0 to 3600.", "180", "-1"},
      {"arena", "65535", "1", "255", "abc", "0", "Srv", "254", "", "0", "0"},
      {"compound", "5000", "5000", "1", name23, "1000000", "Server", "0", "", "3600", "3600"},
  };
  for (const TNewGameCase& c : cases) {
    *log = TRecorded{};
    Network->Close();
    SelectMap(c.Map);
    Fill(NewGame(), {c.Port0, c.Port1, c.Players, c.Name, c.Gold, c.Server, c.Bots, c.RoundTime, c.JoinTime});
    Click(*NewGame().Buttons[0]);
    if (c.Error.empty()) {
      EXPECT_TRUE(log->Errors.empty()) << c.Name << ": " << (log->Errors.empty() ? "" : log->Errors[0]);
      EXPECT_EQ(log->Requested, std::vector<std::string>{c.Map});
      ASSERT_TRUE(Network->IsServer);
      EXPECT_EQ(Network->Server->MaxPlayers, std::stoi(c.Players));
      EXPECT_EQ(Network->Server->GoldPerRound, std::stoi(c.Gold));
      EXPECT_EQ(Network->Server->ServerName, c.Server);
      EXPECT_EQ(Network->Server->RoundTime, std::stoi(c.RoundTime));
      EXPECT_EQ(Network->Server->JoinTime, std::stoi(c.JoinTime));
    } else {
      EXPECT_EQ(log->Errors, std::vector<std::string>{c.Error}) << c.Map << " " << c.Name;
      EXPECT_TRUE(log->Requested.empty()) << c.Error;
      EXPECT_FALSE(Network->IsServer) << c.Error;
    }
  }
}

TEST_F(DialogsTest, NewGameHandsTheFirstPortFieldToTheServerAsItsTcpPortAndNamesThePlayer) {
  MakeCharacters();
  SelectMap("arena");
  Fill(NewGame(), {"6000", "6001", "4", "Wanderer", "800", "My Server"});
  NewGame().Checkboxes[1]->Checked = true;
  Click(*NewGame().Buttons[0]);
  ASSERT_TRUE(Network->IsServer);
  EXPECT_EQ(Network->Server->TCPPort, 6000);
  EXPECT_EQ(Network->Server->UDPPort, 6001);
  EXPECT_TRUE(Network->Server->FriendlyFire);
  EXPECT_EQ(Characters->LocalCharacter->Name, "Wanderer");
}

TEST_F(DialogsTest, ANewGameOverARunningLevelStartsItsServerOnlyOnceTheSwitchIsConfirmed) {
  log->LevelRunning = true;
  SelectMap("arena");
  Fill(NewGame(), {"6000", "6000", "4", "Wanderer", "800", "My Server"});
  Click(*NewGame().Buttons[0]);
  EXPECT_EQ(log->Requested, std::vector<std::string>{"arena"});
  EXPECT_FALSE(Network->IsServer);  // the old level's end would close it again
  Click(*Win(SwitchLevelWindow)->Buttons[0]);
  EXPECT_EQ(log->EndLevels, 1);
  ASSERT_TRUE(Network->IsServer);
  EXPECT_EQ(Network->Server->ServerName, "My Server");
  // Declined, nothing starts.
  Network->Close();
  Click(*NewGame().Buttons[0]);
  Click(*Win(SwitchLevelWindow)->Buttons[1]);
  Click(*Win(SwitchLevelWindow)->Buttons[0]);
  EXPECT_FALSE(Network->IsServer);
}

TEST_F(DialogsTest, JoinChecksTheUdpPortThenTheTcpPortThenTheName) {
  TWindow& join = *Win(JoinWindow);
  struct {
    std::vector<std::string> Fields;  // host, TCP port, UDP port, name
    std::string Error;
  } cases[] = {
      {{"127.0.0.1", "x", "y", "ab"}, "UDP Port must be a valid Number."},
      {{"127.0.0.1", "x", "65536", "ab"}, "UDP Port must be a Number from 1 to 65535."},
      {{"127.0.0.1", "x", "5001", "ab"}, "TCP Port must be a valid Number."},
      {{"127.0.0.1", "0", "5001", "ab"}, "TCP Port must be a Number from 1 to 65535."},
      {{"127.0.0.1", "5000", "5001", "ab"}, "Your Name must contain at least 3 letters."},
      {{"127.0.0.1", "5000", "5001", "abc"}, ""},
  };
  for (const auto& c : cases) {
    *log = TRecorded{};
    Network->Close();
    Fill(join, c.Fields);
    Click(*join.Buttons[0]);
    if (c.Error.empty()) {
      EXPECT_TRUE(log->Errors.empty());
      ASSERT_TRUE(Network->IsClient);
      EXPECT_EQ(Network->Client->Host, "127.0.0.1");
      EXPECT_EQ(Network->Client->TCPPort, 5000);
      EXPECT_EQ(Network->Client->UDPPort, 5001);
      EXPECT_EQ(Network->Client->PlayerName, "abc");
    } else {
      EXPECT_EQ(log->Errors, std::vector<std::string>{c.Error});
      EXPECT_FALSE(Network->IsClient);
    }
  }
}

TEST_F(DialogsTest, LinkedPortFieldsFollowEachKeyOnlyWhileTheBoxIsChecked) {
  TWindow& w = NewGame();
  w.SetVisible(true);
  w.Edits[0]->Text = w.Edits[1]->Text = "";
  w.Edits[0]->Caret = w.Edits[1]->Caret = 0;
  w.Checkboxes[0]->Checked = true;
  GUIManager->SetFocus(w.Edits[0].get());
  for (uint16_t key : {uint16_t('7'), uint16_t('1')}) {
    GUIManager->KeyDown(key, key);
    GUIManager->KeyUp(key);
    EXPECT_EQ(w.Edits[1]->Text, w.Edits[0]->Text);
  }
  EXPECT_EQ(w.Edits[1]->Text, "71");
  GUIManager->SetFocus(w.Edits[1].get());
  w.Edits[1]->Caret = 2;
  GUIManager->KeyDown('2', '2');
  GUIManager->KeyUp('2');
  EXPECT_EQ(w.Edits[0]->Text, "712");
  w.Checkboxes[0]->Checked = false;
  GUIManager->KeyDown('3', '3');
  GUIManager->KeyUp('3');
  EXPECT_EQ(w.Edits[0]->Text, "712");
  EXPECT_EQ(w.Edits[1]->Text, "7123");
}

TEST_F(DialogsTest, EditsTakeTheLayoutsCharacterAndFallBackToTheKeyTable) {
  TWindow& w = *Win(JoinWindow);
  w.SetVisible(true);
  TEdit& edit = *w.Edits[3];
  edit.Text.clear();
  edit.Caret = 0;
  GUIManager->SetFocus(&edit);
  GUIManager->KeyDown('q', 0xE9);    // an e acute from a French layout
  GUIManager->KeyDown('e', 0x20AC);  // the euro sign: 0x80 in the code page
  GUIManager->KeyDown('z', 'z');     // the layout's own letter, not the German table's swap
  GUIManager->KeyDown('y', 0);       // no character from the layout: the table's
  EXPECT_EQ(edit.Text, "\xE9\x80z" + GUIManager->KeyToChar('y'));
  GUIManager->KeyDown('x', 0x4E2D);  // outside the code page: the table's
  EXPECT_EQ(edit.Text.back(), 'x');
  GUIManager->SetFocus(nullptr);
}

TEST_F(DialogsTest, TheLevelSwitchConfirmationEndsTheLevelThenStartsThePendingOne) {
  GUIAdd->ShowSwitchLevel();
  TWindow& w = *Win(SwitchLevelWindow);
  EXPECT_TRUE(w.Visible);
  EXPECT_EQ(w.X, ScreenCenterX - w.Width / 2);
  Click(*w.Buttons[1]);
  EXPECT_FALSE(w.Visible);
  EXPECT_EQ(log->EndLevels, 0);
  Click(*w.Buttons[0]);
  EXPECT_EQ(log->EndLevels, 1);
  EXPECT_EQ(log->Started, std::vector<std::string>{"compound"});
}

TEST_F(DialogsTest, TheErrorWindowIsCentredAndSizedToItsText) {
  GUIAdd->ShowErrorWindow("Map konnte nicht gefunden werden: x", "GUIAdds");
  TWindow& w = *Win(ErrorWindow);
  const TText& text = *w.Texts[0];
  EXPECT_TRUE(w.Visible);
  EXPECT_EQ(text.Text, "Map konnte nicht gefunden werden: x - Look at .log file!");
  EXPECT_GT(text.Width, 300);
  EXPECT_EQ(w.Width, text.Width + 40);
  EXPECT_EQ(w.Height, 100);
  EXPECT_EQ(w.X, ScreenCenterX - w.Width / 2);
  EXPECT_EQ(w.Y, ScreenCenterY - 50);
  EXPECT_EQ(w.Caption, "Error in GUIAdds");
  // A shorter message shrinks it again.
  GUIAdd->ShowErrorWindow("x", "Main");
  EXPECT_EQ(w.Width, w.Texts[0]->Width + 40);
  EXPECT_EQ(w.Caption, "Error in Main");
}

TEST_F(DialogsTest, ExitAsksFirstAndQuitsOnConfirmation) {
  TWindow& main = *Win(MainWindow);
  Click(*main.Texts[4]);
  TWindow& exit = *Win(ExitWindow);
  EXPECT_TRUE(exit.Visible);
  Click(*exit.Buttons[1]);
  EXPECT_FALSE(exit.Visible);
  EXPECT_NE(QuitFlag, -1);
  Click(*exit.Buttons[0]);
  EXPECT_EQ(QuitFlag, -1);
  QuitFlag = 0;
}
}  // namespace
