// The dedicated server's options: command line over config.ini over the
// defaults, and the values that are refused.
#include <gtest/gtest.h>

#include "app/dedicated_options.h"
#include "app/fleet_match.h"
#include "core/ini_file.h"
#include "test_support.h"

namespace {

TDedicatedArgs Parse(const std::vector<std::string>& args, const std::string& ini = "") {
  TempDir dir;
  WriteFile(dir / "config.ini", ini);
  return ParseDedicatedArgs(args, TIniFile(dir / "config.ini"));
}

}  // namespace

TEST(DedicatedOptions, TheCommandLineWinsOverConfigIniWhichWinsOverTheDefaults) {
  const TDedicatedArgs r = Parse({"--dedicated", "--tcpport", "6000", "--servername=Night Shift", "--friendlyfire", "1"},
                                 "[Dedicated]\ntcpport=5500\nudpport=5501\nmap=compound\nbots=3\nbotskill=Hard\nroundtime=90\njointime=0\n");
  EXPECT_TRUE(r.Dedicated);
  EXPECT_FALSE(r.Help);
  EXPECT_EQ(r.Error, "");
  const TDedicatedOptions& o = r.Options;
  EXPECT_EQ(o.TCPPort, 6000);
  EXPECT_EQ(o.UDPPort, 5501);
  EXPECT_EQ(o.Map, "compound");
  EXPECT_EQ(o.Bots, 3);
  EXPECT_EQ(o.BotSkill, "hard");
  EXPECT_EQ(o.ServerName, "Night Shift");
  EXPECT_TRUE(o.FriendlyFire);
  EXPECT_EQ(o.MaxPlayers, 8);
  EXPECT_EQ(o.Gold, 1500);
  EXPECT_EQ(o.RoundTime, 90);
  EXPECT_EQ(Parse({"--roundtime", "0"}).Options.RoundTime, 0);
  EXPECT_EQ(Parse({}).Options.RoundTime, 180);
  EXPECT_EQ(o.JoinTime, 0);
  EXPECT_EQ(Parse({}).Options.JoinTime, 15);
  EXPECT_TRUE(Parse({"--help"}).Help);
}

TEST(DedicatedOptions, UnusableValuesAreNamedNotGuessed) {
  struct Case {
    std::vector<std::string> Args;
    std::string Ini, Error;
  } cases[] = {
      {{"--tcpport", "65536"}, "", "--tcpport 65536: not a usable value"},
      {{"--maxplayers", "0"}, "", "--maxplayers 0: not a usable value"},
      {{"--gold", "lots"}, "", "--gold lots: not a usable value"},
      {{"--roundtime", "-5"}, "", "--roundtime -5: not a usable value"},
      {{"--roundtime", "3601"}, "", "--roundtime 3601: not a usable value"},
      {{"--jointime", "-1"}, "", "--jointime -1: not a usable value"},
      {{"--friendlyfire", "yes"}, "", "--friendlyfire yes: not a usable value"},
      {{"--botskill", "godlike"}, "", "--botskill godlike: not a usable value"},
      {{"--servername", "ab"}, "", "--servername ab: not a usable value"},
      {{"--map", "a/b"}, "", "--map a/b: not a usable value"},
      {{"--matchrounds", "-1"}, "", "--matchrounds -1: not a usable value"},
      {{"--matchtime", "10081"}, "", "--matchtime 10081: not a usable value"},
      {{"--bots"}, "", "--bots needs a value"},
      {{"--colour", "red"}, "", "unknown option: --colour"},
      {{"arena"}, "", "unknown argument: arena"},
      {{"--maxplayers", "4", "--bots", "5"}, "", "--bots 5: more than --maxplayers 4"},
      {{}, "[Dedicated]\nudpport=-1\n", "config.ini [Dedicated] udpport=-1: not a usable value"},
      {{"--master", "host:0"}, "", "--master host:0: not a usable value"},
      {{"--master", ":27950"}, "", "--master :27950: not a usable value"},
      {{"--master", ","}, "", "--master ,: not a usable value"},
      {{}, "[Network]\nmasters=a:b\n", "config.ini [Network] masters=a:b: not a usable value"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"--dedicated"};
    args.insert(args.end(), c.Args.begin(), c.Args.end());
    EXPECT_EQ(Parse(args, c.Ini).Error, c.Error);
  }
}

// A fleet's server: --agones takes no value, the match limits come from either
// place, and the sidecar's port from the orchestrator's variable.
TEST(DedicatedOptions, TheFleetsOptionsAndTheSidecarsPort) {
  const TDedicatedArgs r = Parse({"--dedicated", "--agones", "--matchtime=30"}, "[Dedicated]\nmatchrounds=12\n");
  EXPECT_EQ(r.Error, "");
  EXPECT_TRUE(r.Options.Agones);
  EXPECT_EQ(r.Options.MatchRounds, 12);
  EXPECT_EQ(r.Options.MatchMinutes, 30);
  EXPECT_FALSE(Parse({"--dedicated"}).Options.Agones);

  struct Case {
    bool Option;
    const char* Variable;
    std::optional<uint16_t> Port;
    bool Error;
  } cases[] = {{false, nullptr, std::nullopt, false}, {true, nullptr, kAgonesDefaultPort, false},
               {false, "9400", 9400, false},          {true, "9400", 9400, false},
               {false, "0", std::nullopt, true},      {false, "65536", std::nullopt, true},
               {false, "x\n1", std::nullopt, true}};
  for (const Case& c : cases) {
    std::string error;
    EXPECT_EQ(AgonesSdkPort(c.Option, c.Variable, error), c.Port) << (c.Variable ? c.Variable : "unset");
    EXPECT_EQ(!error.empty(), c.Error) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << "a variable's text is made printable";
  }
}

TEST(DedicatedOptions, MastersComeFromTheCommandLineElseConfigIniAndNoneByDefault) {
  EXPECT_TRUE(Parse({"--dedicated"}).Options.Masters.empty());
  const std::string ini = "[Network]\nmasters=one.example, two.example:27951\n";
  EXPECT_EQ(Parse({"--dedicated"}, ini).Options.Masters,
            (std::vector<std::string>{"one.example", "two.example:27951"}));
  EXPECT_EQ(Parse({"--dedicated", "--master", "127.0.0.1:5000", "--master=127.0.0.2,127.0.0.3:7"}, ini).Options.Masters,
            (std::vector<std::string>{"127.0.0.1:5000", "127.0.0.2", "127.0.0.3:7"}));
}
