// The Join dialog's search for games on the local network.
#pragma once

class TWindow;

// Wires the dialog's "Find games" button (button 1) and its list of games
// (edit field 1, one line per server); choosing a line fills the address and
// port fields. Text 5 tells how the search goes.
void AttachFindGames(TWindow& join);
// Sends the queries and shows what answers while TNetwork::Poll collects them.
void FindGames(TWindow& join);
