// Joining by address: the address read, the level left, the join begun.
#include "frontend/join_by_address.h"

#include "core/console_sink.h"
#include "core/log_sources.h"
#include "frontend/frontend_hooks.h"
#include "frontend/gui_add.h"
#include "gui/window.h"
#include "net/join_address.h"
#include "net/network.h"

namespace {
constexpr size_t kJoinNameEdit = 3;
}

std::string JoinPlayerName() {
  const TWindow* join = Win(JoinWindow);
  if (join && kJoinNameEdit < join->Edits.size() && join->Edits[kJoinNameEdit]->Text.size() >= 3)
    return join->Edits[kJoinNameEdit]->Text;
  return "Player";
}

void JoinByAddress(const std::string& text) {
  const std::optional<TJoinAddress> address = ParseJoinAddress(text);
  if (!address) return FrontShowError("Not a server address: " + text, LogSource::Network);
  // The server starts its own level; the switch confirmation would only stand in the way.
  if (FrontLevelRunning()) FrontEndLevel();
  ConsolePrint("Connecting to " + JoinAddressText(*address) + "...");
  if (Network) Network->Connect(address->Host, address->Port, address->Port, JoinPlayerName());
}
