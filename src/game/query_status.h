// What a server's answers to getstatus and getinfo tell of its players.
#pragma once

class TNetwork;
struct TServerStatus;

// The bots and every player in the game (bots included): kills, the ping the
// server measured (0 for the host and bots) and the name, in index order.
void DescribeStatusPlayers(const TNetwork& network, TServerStatus& status);
