// The Internet list: a window of its own beside the Join dialog, opened by
// its "Internet" button, listing what the masters know with each server's
// name, map, players of the maximum, bots and ping. A column's heading sorts
// by it (again: the other way), Refresh asks again, the "Empty" and "Full"
// boxes show or hide those servers (and ask again), and a double click on a
// line, or Join on the chosen one, joins that server.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "net/server_browser.h"

enum class TInternetColumn { Name, Map, Players, Bots, Ping };

// Row numbers of servers in the order the column gives (names and maps
// without regard to case; players, bots and ping ascending), or the other way
// round; ties keep the order the answers came in.
std::vector<size_t> SortedServers(const std::vector<TBrowsedServer>& servers, TInternetColumn column, bool descending);
// One line of the list, the columns at fixed character positions (the list's
// font is monospaced).
std::string InternetLine(const TBrowsedServer& server);

// Window index in GUIManager's list; -1 until BuildInternetWindow, then whole run.
extern int32_t InternetWindow;

// Builds the window, hidden, a child of the main window, and gives the Join
// dialog its "Internet" button (button 2).
void BuildInternetWindow();
// Shows it centred; the first opening starts a search.
void OpenInternetWindow();
