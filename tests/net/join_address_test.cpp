// Reading the addresses players join by: typed, on the command line, or in a link.
#include <gtest/gtest.h>

#include "net/join_address.h"

TEST(JoinAddress, ReadsHostsPortsAndLinks) {
  struct TCase {
    const char* Text;
    std::optional<TJoinAddress> Expected;
  };
  const TCase cases[] = {
      {"127.0.0.1", TJoinAddress{"127.0.0.1", 5020}},
      {"game.example.org:27960", TJoinAddress{"game.example.org", 27960}},
      {"grimvale://host-1:5021", TJoinAddress{"host-1", 5021}},
      {"GrimVale://host_1:5021/", TJoinAddress{"host_1", 5021}},
      {"grimvale://10.0.0.7", TJoinAddress{"10.0.0.7", 5020}},
      {"", std::nullopt},
      {":5020", std::nullopt},
      {"grimvale://", std::nullopt},
      {"grimvale:///", std::nullopt},
      {"host:", std::nullopt},
      {"host:0", std::nullopt},
      {"host:65536", std::nullopt},
      {"host:+5", std::nullopt},
      {"host:5020:1", std::nullopt},
      {"grimvale://host:5020/path", std::nullopt},
      {"grimvale://user@host", std::nullopt},
      {"host name", std::nullopt},
      {"[::1]:5020", std::nullopt},
      {"-e;rm", std::nullopt},
      {"http://host", std::nullopt},
  };
  for (const TCase& c : cases) EXPECT_EQ(ParseJoinAddress(c.Text), c.Expected) << c.Text;
  EXPECT_TRUE(ParseJoinAddress(std::string(kMaxJoinHost, 'a')));
  EXPECT_FALSE(ParseJoinAddress(std::string(kMaxJoinHost + 1, 'a')));
}
