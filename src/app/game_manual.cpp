// The game's manual, gathered from the dedicated server's option table and the
// server's command table.
#include "app/game_manual.h"

#include "app/dedicated_options.h"
#include "game/server_commands.h"

TManual GameManual() {
  TManual m;
  m.Name = "grimvale";
  m.Section = 6;
  m.Summary = "multiplayer first-person shooter for two teams";
  m.Synopsis = {"", "--connect HOST[:PORT]", "grimvale://HOST[:PORT]", "--demo FILE", "--timedemo FILE", "--dedicated [OPTION]...", "--help"};
  m.Description = {
      "Two teams fight in rounds on levels built from 3DS scenes, buy weapons and armour with the gold each round "
      "brings, and play over TCP and UDP: one machine hosts while it plays, the others join it. Without options the "
      "game opens its window at the main menu.",
      "With --dedicated it runs a server without window, sound or display, and without a player of its own: every "
      "place is a client's or a bot's. It logs to standard output and to grimvale.log, and reads the commands below "
      "from standard input. SIGTERM or SIGINT end it after the frame; the players are told the host has gone."};

  TManualSection options{"Options",
                         "Options take \"--key value\" or \"--key=value\". The keys may also stand in the [Dedicated] "
                         "section of config.ini (map=compound); the command line wins.",
                         {{"--connect HOST[:PORT]",
                           "joins the game at HOST (a name or an IPv4 address) on PORT, TCP and UDP alike (5020 "
                           "when none); the console's \"connect HOST[:PORT]\" does the same while the game runs"},
                          {"grimvale://HOST[:PORT]",
                           "the same as --connect, for links: the menu entry declares the game the handler of "
                           "grimvale:// URLs, which may also follow --connect"},
                          {"--demo FILE", "plays a demo (a file, or a name from the demos directory) in the window"},
                          {"--timedemo FILE",
                           "plays a demo as fast as frames can be drawn, prints frames, seconds, average and "
                           "99th-percentile frame time, and exits"},
                          {"--dedicated", "runs the dedicated server"}}};
  for (const TManualItem& item : DedicatedOptionHelp()) options.Items.push_back(item);
  options.Items.push_back({"--help, -h", "prints this text and exits"});

  TManualSection commands{"Server commands",
                          "Typed on the dedicated server's standard input, or in the game's console (the key left "
                          "of 1) on a server of one's own.",
                          ServerCommandHelp()};
  commands.Items.push_back({"help", "lists the commands (dedicated server)"});
  commands.Items.push_back({"quit", "ends the dedicated server, as SIGTERM does"});

  TManualSection exitStatus{"Exit status",
                            "",
                            {{"0", "a clean end (a timedemo that ran to its end too)"},
                             {"1", "the map does not exist, a port is taken or the level cannot be loaded; a "
                                   "timedemo's file was refused"},
                             {"2", "an option or config.ini value the server cannot use"}}};

  TManualSection queries{
      "Queries and masters",
      "A server, dedicated or a player's, answers the out-of-band queries of server browsers and qstat on its UDP "
      "port: \"getinfo\" with an infoResponse and \"getstatus\" with a statusResponse, both holding challenge (the "
      "query's), gamename (Grimvale), protocol (the wire revision), hostname, mapname, clients (everybody playing, "
      "bots included), bots, sv_maxclients, roundtime, needpass (0) and tcpport (where players join); a "
      "statusResponse then lists each player's kills, ping and name. It answers at most 3 a second to one address "
      "and 60 a second in all (its masters apart); over that it stays quiet and logs one line a minute. qstat reads "
      "a server and a master with the types of /usr/share/doc/grimvale/examples/qstat.cfg (quakestat -cfg "
      "qstat.cfg -grimvales HOST:PORT, or -grimvalem MASTER).",
      {{"[Network] masters=HOST[:PORT],...",
        "in config.ini: masters to announce the server to (port 27950 when none); --master on the dedicated server "
        "replaces them. None by default: a server is announced nowhere and sends nothing that was not asked of it. "
        "A public server sends a heartbeat when it starts, every 5 minutes, when its player count changes (at once "
        "the first time, then at most once a minute) and when it shuts down."}}};

  TManualSection files{
      "Files",
      "The data tree lies beside the executable (a build or a copied tree) or, installed, in "
      "../share/games/grimvale/ seen from it (/usr/share/games/grimvale/ for /usr/games/grimvale). An installed game "
      "writes nothing there; it writes into the user's directories below. A game that is not installed writes all "
      "of these beside its executable while it may, and into the user's directories when it may not.",
      {{"$XDG_CONFIG_HOME/grimvale/config.ini",
        "the settings and key bindings, and the [Dedicated] section (default ~/.config/grimvale/config.ini)"},
       {"$XDG_STATE_HOME/grimvale/grimvale.log",
        "the log of the last run; grimvale.log.1 is the one before (default ~/.local/state/grimvale/)"},
       {"$XDG_DATA_HOME/grimvale/Screenshots/",
        "screenshots, ScreenN.jpg, taken with the Print key (default ~/.local/share/grimvale/)"},
       {"$XDG_DATA_HOME/grimvale/demos/NAME.dem",
        "demos recorded with the console's record command (default ~/.local/share/grimvale/)"},
       {"$XDG_CACHE_HOME/grimvale/data/maps/NAME/map.lvl",
        "a level compiled from its map.3ds when the data tree's map.lvl is missing or of another version (default "
        "~/.cache/grimvale/)"},
       {"/etc/grimvale/config.ini",
        "the settings of the packaged service grimvale-server; its log is /var/log/grimvale/grimvale.log"}}};

  TManualSection environment{
      "Environment",
      "",
      {{"XDG_CONFIG_HOME, XDG_STATE_HOME, XDG_DATA_HOME, XDG_CACHE_HOME",
        "where the files above go; a value that is not an absolute path is ignored"},
       {"HOME", "the base of the defaults of the XDG directories"},
       {"GRIMVALE_NO_DIALOG", "when set, an error is logged and printed but shown in no dialog"},
       {"DISPLAY", "the X display the game's window opens on; the dedicated server needs none"}}};

  TManualSection seeAlso{"See also", "lvltool(1), modeltool(1), guitool(1), grimvale-master(8), qstat(1)", {}};
  m.Sections = {options, commands, queries, exitStatus, files, environment, seeAlso};
  return m;
}
