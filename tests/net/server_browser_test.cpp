// The Internet list's browser against stand-in masters and servers on
// loopback sockets: what it lists, what it refuses, and how fast it asks.
#include <gtest/gtest.h>

#include <memory>

#include "net/discovery.h"
#include "net/server_browser.h"
#include "oob_socket.h"
#include "wire_peer.h"

namespace {

std::string Named(TServerAddress a) { return "127.0.0.1:" + std::to_string(a.Port); }

// A server that answers getinfo as ours do, echoing the challenge.
struct TStandInServer {
  TOutOfBandSocket Socket;
  TServerStatus Status;
  bool Silent = false;
  int Queries = 0;
  void Serve() {
    std::string bytes;
    while (Socket.Receive(bytes)) {
      ++Queries;
      const std::optional<TServerQuery> q =
          ParseServerQuery(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
      if (!q || Silent) continue;
      // A stale answer (another search's challenge) first: it must not count.
      Socket.Send(EncodeInfoResponse(Status, "stale"), Browser);
      Socket.Send(EncodeInfoResponse(Status, q->Challenge), Browser);
    }
  }
  uint16_t Browser = 0;
};

class ServerBrowserTest : public ::testing::Test {
 protected:
  // The master answers every getservers with the list, from its own port;
  // the browser asks for everybody unless told otherwise.
  void ServeMaster(const std::vector<TServerAddress>& list, bool everybody = true) {
    std::string bytes;
    TServerAddress from;
    while (master.Receive(bytes, &from)) {
      const std::optional<TMasterRequest> r =
          ParseMasterRequest(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
      ASSERT_TRUE(r && r->Kind == TMasterRequestKind::GetServers);
      EXPECT_EQ(r->List.GameName, kGameName);
      EXPECT_EQ(r->List.Empty, everybody);
      EXPECT_EQ(r->List.Full, everybody);
      browserPort = from.Port;
      for (const std::string& packet : EncodeServerList(list)) master.Send(packet, from.Port);
    }
  }

  TOutOfBandSocket master;
  TServerBrowser browser;
  uint16_t browserPort = 0;
};

TServerStatus Status(const std::string& name, const std::string& map, int32_t players, int32_t bots, int32_t tcp) {
  TServerStatus s;
  s.Info.Name = name;
  s.Info.Map = map;
  s.Info.Players = players;
  s.Info.MaxPlayers = 8;
  s.Info.TCPPort = tcp;
  s.Bots = bots;
  return s;
}

}  // namespace

TEST_F(ServerBrowserTest, ListsEveryAnsweringServerTheMastersNameWithItsInfo) {
  ASSERT_NE(std::getenv(kDiscoveryLoopbackOnlyVariable), nullptr) << "the test binaries stay on this machine";
  std::vector<std::unique_ptr<TStandInServer>> servers;
  for (int i = 0; i < 3; ++i) servers.push_back(std::make_unique<TStandInServer>());
  servers[0]->Status = Status("Arena Server", "arena", 3, 2, 6001);
  servers[1]->Status = Status("Depot", "depot", 0, 0, 6002);
  servers[2]->Silent = true;
  // Listed twice, and beside an address beyond this machine, which is never asked.
  const std::vector<TServerAddress> list{servers[0]->Socket.Address, servers[1]->Socket.Address,
                                         servers[2]->Socket.Address, servers[0]->Socket.Address,
                                         {0x0A000001, 5020}};
  browser.AnswerTimeoutMs = 300;
  browser.ListTimeoutMs = 500;  // the second master never answers
  std::string error;
  ASSERT_TRUE(browser.Start({Named(master.Address), "127.0.0.1:1"}, SteadyMs(), error)) << error;
  int changes = 0;
  browser.OnChange = [&] { ++changes; };
  ASSERT_TRUE(Until(
      [&] {
        browser.Poll(SteadyMs());
        ServeMaster(list);
        for (auto& s : servers) {
          s->Browser = browserPort;
          s->Serve();
        }
        // A list from anyone but a master is nobody's list.
        if (browserPort) servers[2]->Socket.Send(EncodeServerList({{0x7F000001, 9}})[0], browserPort);
      },
      [&] { return !browser.Searching(); }, 5000));
  EXPECT_EQ(browser.Listed(), 3u);
  ASSERT_EQ(browser.Servers().size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    const TBrowsedServer& s = browser.Servers()[i];
    const size_t k = s.Address == servers[0]->Socket.Address ? 0 : 1;
    EXPECT_EQ(s.Address, servers[k]->Socket.Address);
    EXPECT_EQ(s.Name, servers[k]->Status.Info.Name);
    EXPECT_EQ(s.Map, servers[k]->Status.Info.Map);
    EXPECT_EQ(s.Players, servers[k]->Status.Info.Players);
    EXPECT_EQ(s.MaxPlayers, 8);
    EXPECT_EQ(s.Bots, servers[k]->Status.Bots);
    EXPECT_EQ(s.TCPPort, servers[k]->Status.Info.TCPPort);
    EXPECT_GE(s.PingMs, 0);
  }
  for (auto& s : servers) EXPECT_EQ(s->Queries, 1) << "each listed server is asked once";
  EXPECT_GT(changes, 0);

  // Refresh forgets the old list; without masters there is nothing to ask.
  EXPECT_FALSE(browser.Start({}, SteadyMs(), error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(browser.Servers().empty());
}

TEST_F(ServerBrowserTest, PacesItsQueries) {
  // One socket on every loopback address takes the queries of forty "servers".
  TOutOfBandSocket everyone(0);
  std::vector<TServerAddress> list;
  for (uint32_t i = 1; i <= 40; ++i) list.push_back({0x7F000000 + i, everyone.Address.Port});
  browser.QueriesPerSecond = 100;
  std::string error;
  uint64_t now = 1000;
  ASSERT_TRUE(browser.Start({Named(master.Address)}, now, error)) << error;
  // The list arrives while the clock stands still: nothing may go out before time passes.
  ASSERT_TRUE(Until(
      [&] {
        browser.Poll(now);
        ServeMaster(list);
      },
      [&] { return browser.Listed() == list.size(); }));
  auto queries = [&] {
    int n = 0;
    std::string bytes;
    while (everyone.Receive(bytes)) n += ParseServerQuery(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()).has_value();
    return n;
  };
  const int atOnce = queries();
  now += 100;
  browser.Poll(now);
  int later = 0;
  Until([&] { later += queries(); }, [&] { return later >= 10; }, 500);
  EXPECT_EQ(atOnce, 0);
  EXPECT_EQ(later, 10) << "100 a second: 10 in 100 ms";
  now += 10000;
  browser.Poll(now);
  int burst = 0;
  Until([&] { burst += queries(); }, [&] { return burst >= 30; }, 500);
  EXPECT_EQ(burst, 30) << "the rest, within the largest burst";
}

TEST_F(ServerBrowserTest, LeavesOutWhatTheFilterDoesNotWantThoughTheMasterListsIt) {
  // A master that ignores the filters lists everybody: the answers decide.
  std::vector<std::unique_ptr<TStandInServer>> servers;
  const std::vector<std::pair<int32_t, int32_t>> playersAndBots{{0, 0}, {8, 0}, {3, 3}, {8, 2}};
  std::vector<TServerAddress> list;
  for (const auto& [players, bots] : playersAndBots) {
    servers.push_back(std::make_unique<TStandInServer>());
    servers.back()->Status = Status("s" + std::to_string(players) + "/" + std::to_string(bots), "arena", players, bots, 1);
    list.push_back(servers.back()->Socket.Address);
  }
  std::string error;
  ASSERT_TRUE(browser.Start({Named(master.Address)}, SteadyMs(), error, {.Empty = false, .Full = false})) << error;
  ASSERT_TRUE(Until(
      [&] {
        browser.Poll(SteadyMs());
        ServeMaster(list, false);
        for (auto& s : servers) {
          s->Browser = browserPort;
          s->Serve();
        }
      },
      [&] { return !browser.Searching(); }, 5000));
  EXPECT_EQ(browser.Answered(), 4u) << "every answer ends the wait, shown or not";
  ASSERT_EQ(browser.Servers().size(), 1u);
  EXPECT_EQ(browser.Servers()[0].Name, "s8/2") << "bots give their places up: 6 people of 8";
}
