// What the server reads of the GameServer object the SDK sidecar returns
// (GET /gameserver, or one event of the watch stream, which wraps it in
// "result"): its state and its annotations. The rest is ignored.
#pragma once
#include <map>
#include <optional>
#include <string>
#include <string_view>

struct TGameServerView {
  std::string State;  // "Ready", "Allocated", "Shutdown", ...
  std::map<std::string, std::string> Annotations;
};

// nullopt when text is no JSON object with a string status.state.
// Annotations whose value is no string are left out.
std::optional<TGameServerView> ParseGameServer(std::string_view text);
