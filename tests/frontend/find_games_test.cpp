// The Join dialog's "Find games": a server on loopback shows up as a line of
// the list, a click on the line fills address and ports, and the status line
// tells when nothing answered or nothing could be asked.
#include "front_fixture.h"

#include <chrono>
#include <thread>

namespace {
class FindGamesTest : public FrontTest {
 protected:
  void SetUp() override {
    FrontTest::SetUp();
    Click(*Win(MainWindow)->Texts[1]);  // the menu's "Join Game"
  }
  void TearDown() override {
    Network->DiscoveryTargets.clear();
    Network->DiscoveryPort = kDefaultDiscoveryPort;
    Network->DescribeGame = nullptr;
    FrontTest::TearDown();
  }
  static TWindow& Join() { return *Win(JoinWindow); }
  static const std::vector<std::string>& Lines() { return Join().EditFields[1]->Lines; }
  static const std::string& Status() { return Join().Texts[5]->Text; }
  // Presses "Find games" and lets frames go by until the search ends.
  static void Find() {
    Click(*Join().Buttons[1]);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (Network->Finder.Searching() && std::chrono::steady_clock::now() < end) {
      Network->Poll();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }
};

TEST_F(FindGamesTest, ARunningServerIsListedAndAClickOnItsLineFillsAddressAndPorts) {
  Network->DiscoveryPort = 0;
  ASSERT_TRUE(Network->StartServer(8, 0, 0, 1000, false, "Front Server"));
  Network->DescribeGame = [](TServerInfo& info) {
    info.Map = "arena";
    info.Players = 3;
  };
  const int32_t tcp = Network->Server->TCPPort, udp = Network->Server->UDPPort;
  ASSERT_NE(tcp, udp);
  Network->DiscoveryTargets = "127.0.0.1:" + std::to_string(Network->Responder.Port());
  TWindow& w = Join();
  w.Edits[0]->Text = "somewhere";
  w.Checkboxes[0]->Checked = true;

  Click(*w.Buttons[1]);
  EXPECT_EQ(Status(), "Searching...");
  Find();
  ASSERT_EQ(Lines().size(), 1u);
  for (const std::string& part : {std::string("Front Server"), std::string("arena"), std::string("3/8"),
                                  std::to_string(tcp) + "/" + std::to_string(udp)})
    EXPECT_NE(Lines()[0].find(part), std::string::npos) << Lines()[0] << " lacks " << part;
  EXPECT_EQ(Status(), "1 game found - click one to choose it");

  // A click below the only line chooses nothing; a click on it chooses the server.
  const TEditField& list = *w.EditFields[1];
  auto clickAt = [&](int32_t line) {
    const int32_t x = w.X + list.X + list.TextX + 20, y = w.Y + list.Y + list.TextY + line * list.LineHeight + 5;
    GUIManager->MouseDown(x, y, 1);
    GUIManager->MouseUp(x, y, 1);
  };
  clickAt(3);
  EXPECT_EQ(w.Edits[0]->Text, "somewhere");
  clickAt(0);
  EXPECT_EQ(w.Edits[0]->Text, "127.0.0.1");
  EXPECT_EQ(w.Edits[1]->Text, std::to_string(tcp));
  EXPECT_EQ(w.Edits[2]->Text, std::to_string(udp));
  EXPECT_FALSE(w.Checkboxes[0]->Checked);  // the ports differ: linking them would spoil one

  // Joining takes what the click filled in.
  w.Edits[3]->Text = "Visitor";
  Click(*w.Buttons[0]);
  ASSERT_TRUE(Network->IsClient);
  EXPECT_EQ(Network->Client->Host, "127.0.0.1");
  EXPECT_EQ(Network->Client->TCPPort, tcp);
  EXPECT_EQ(Network->Client->UDPPort, udp);
}

TEST_F(FindGamesTest, TheStatusSaysWhenNothingAnsweredOrNothingCouldBeAsked) {
  Network->DiscoveryPort = 0;
  ASSERT_TRUE(Network->StartServer(8, 0, 0, 1000, false, "Gone Soon"));
  Network->DiscoveryTargets = "127.0.0.1:" + std::to_string(Network->Responder.Port());
  Find();
  ASSERT_EQ(Lines().size(), 1u);
  Network->Close();
  Find();
  EXPECT_EQ(Lines(), std::vector<std::string>{""});
  EXPECT_EQ(Status(), "No games found");
  Network->DiscoveryTargets = "127.0.0.1:0, :5029";
  Click(*Join().Buttons[1]);
  EXPECT_EQ(Status(), "Search failed: no target to ask");
  EXPECT_FALSE(Network->Finder.Searching());
}
}  // namespace
