// The infoResponse reader on arbitrary bytes: what it takes holds every
// required key within its bounds, and the infostring reader agrees with its
// writer on what it took.
#include <string>

#include "net/server_query.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::optional<TInfoResponse> r = DecodeInfoResponse(data, size);
  if (!r) return 0;
  if (r->MaxClients < 1 || r->Clients < 0 || r->Clients > r->MaxClients || r->Bots < 0 || r->Bots > r->Clients ||
      r->GameName.empty() || r->Info.Pairs().size() > kMaxInfoPairs || !r->Info.Find("hostname") ||
      (!r->Challenge.empty() && !ValidChallenge(r->Challenge)))
    __builtin_trap();
  const std::optional<TInfoString> again = ParseInfoString(r->Info.Text());
  if (!again || again->Pairs() != r->Info.Pairs()) __builtin_trap();
  return 0;
}
