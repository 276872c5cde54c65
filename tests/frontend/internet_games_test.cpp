// The Internet list's order and lines, without a window.
#include <gtest/gtest.h>

#include "frontend/internet_games.h"

TEST(InternetList, SortsByEachColumnEitherWayKeepingTiesInTheirOrder) {
  auto server = [](const char* name, const char* map, int32_t players, int32_t bots, int32_t ping) {
    TBrowsedServer s;
    s.Name = name;
    s.Map = map;
    s.Players = players;
    s.Bots = bots;
    s.PingMs = ping;
    return s;
  };
  const std::vector<TBrowsedServer> servers{server("beta", "Depot", 4, 1, 80), server("Alpha", "arena", 2, 1, 20),
                                            server("gamma", "compound", 4, 0, 50)};
  struct TCase {
    TInternetColumn Column;
    bool Descending;
    std::vector<size_t> Order;
  };
  const TCase cases[] = {
      {TInternetColumn::Name, false, {1, 0, 2}},    {TInternetColumn::Name, true, {2, 0, 1}},
      {TInternetColumn::Map, false, {1, 2, 0}},     {TInternetColumn::Players, false, {1, 0, 2}},
      {TInternetColumn::Players, true, {0, 2, 1}},  {TInternetColumn::Bots, false, {2, 0, 1}},
      {TInternetColumn::Ping, false, {1, 2, 0}},    {TInternetColumn::Ping, true, {0, 2, 1}},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(SortedServers(servers, c.Column, c.Descending), c.Order)
        << static_cast<int>(c.Column) << (c.Descending ? " descending" : "");
}

TEST(InternetList, LinesKeepTheirColumnsWhateverTheNames) {
  TBrowsedServer longName;
  longName.Name = std::string(40, 'n');
  longName.Map = std::string(30, 'm');
  longName.Players = 12;
  longName.MaxPlayers = 16;
  longName.PingMs = 123;
  TBrowsedServer shortName = longName;
  shortName.Name = "x";
  shortName.Map = "y";
  const std::string a = InternetLine(longName), b = InternetLine(shortName);
  EXPECT_EQ(a.size(), b.size());
  EXPECT_EQ(a.substr(a.size() - 16), b.substr(b.size() - 16)) << a << "\n" << b;
  EXPECT_NE(a.find("n.."), std::string::npos) << "a cut name shows it goes on";
}
