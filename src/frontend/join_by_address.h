// Joining a game from outside the Join window: the command line's --connect
// and grimvale:// links, and the console's "connect".
#pragma once
#include <string>

// Leaves the running level and joins the server text names
// (join_address.h: "host[:port]" or a grimvale:// URL; the port serves TCP
// and UDP). The name is looked up without stopping the frame; an address
// that cannot be read, a name that does not resolve and a server that does
// not answer each end in the error window, naming the host.
void JoinByAddress(const std::string& text);

// The player name the Join window holds ("Player" before it exists).
std::string JoinPlayerName();
