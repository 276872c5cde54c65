// grimvale-master's documentation: its usage text and its manual page.
#pragma once
#include "core/manual.h"

inline TManual MasterManual() {
  return {"grimvale-master",
          8,
          "keeps the list of public Grimvale servers",
          {"[--port PORT] [--expiry SECONDS] [--max-servers N] [--max-per-address N] [--status SECONDS]", "--help"},
          {"grimvale-master is a master server: public game servers announce themselves to it, and players' "
           "browsers ask it for the list. It speaks the out-of-band UDP convention of the free shooters, so server "
           "browsers and qstat that know the convention read its list, and Grimvale servers may announce themselves "
           "to masters run by others too.",
           "A server sends \"heartbeat DarkPlaces\"; the master answers with \"getinfo\" and a random challenge, and "
           "lists the server only when an infoResponse from the same address and port echoes that challenge and "
           "holds gamename, protocol, clients, sv_maxclients, hostname and mapname. A listed server stays for the "
           "expiry time after its last such answer. A heartbeat from a listed server is challenged afresh: a server "
           "that shuts down sends one and answers no more, and is dropped when its challenge goes unanswered (after "
           "5 seconds).",
           "\"getservers GAMENAME PROTOCOL [empty] [full]\" is answered with getserversResponse packets of at most "
           "1400 bytes, each entry a backslash followed by the IPv4 address and the port (big-endian), the last "
           "packet ending with \"\\EOT\". Servers without people (clients less bots) are listed only with \"empty\", "
           "servers with people in every place only with \"full\": bots give their places up to joining players.",
           "Limits: at most 2 heartbeats a second (8 at once) from one address of a server not yet listed, and "
           "1000 in all, each costing one challenge; at most 4096 challenges waiting; at most 1 server list a "
           "second (3 at once) to one address and 100 in all, and 4000 list packets a second in all. Requests over "
           "a limit go unanswered, with one log line a minute. The log goes to standard output; every few minutes a "
           "status line gives the servers listed and the requests a minute."},
          {{"Options",
            "",
            {{"--port PORT", "UDP port to listen on, 0 for any free one (27950)"},
             {"--expiry SECONDS", "how long a listed server stays after its last answer (900)"},
             {"--max-servers N", "servers listed in all (16384)"},
             {"--max-per-address N", "servers listed, and challenged, per IPv4 address (32)"},
             {"--status SECONDS", "time between status lines (300)"},
             {"--help", "prints this text and exits"}}},
           {"Signals", "", {{"SIGTERM, SIGINT", "end the master cleanly"}}},
           {"Exit status", "", {{"0", "ended by a signal"}, {"1", "the port could not be opened"}, {"2", "bad usage"}}},
           {"See also", "grimvale(6), qstat(1)", {}}}};
}
