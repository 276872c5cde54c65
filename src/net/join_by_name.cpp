// Joining a server by name: the lookup runs on the resolver's thread, since
// a name server may take seconds to answer and the frame must go on.
#include <arpa/inet.h>

#include "net/net_log.h"
#include "net/network.h"

void TNetwork::Connect(const std::string& host, int32_t tcpPort, int32_t udpPort, const std::string& playerName) {
  in_addr numeric{};
  if (::inet_pton(AF_INET, host.c_str(), &numeric) == 1) {
    StartClient(host, tcpPort, udpPort, playerName, ntohl(numeric.s_addr));
    return;
  }
  Close();
  if (!joinResolver) joinResolver = std::make_unique<TNameResolver>();
  // Ports are checked by the client once the name is known; the lookup only needs a valid one.
  if (!joinResolver->Request(host, 1)) {
    Report("Too many names waiting to be looked up: " + host);
    return;
  }
  pendingJoin = TPendingJoin{host, playerName, tcpPort, udpPort};
  NetLog("Looking up " + host);
}

void TNetwork::PollJoin() {
  if (!joinResolver) return;
  // Taken even when nothing waits any more, so that abandoned lookups do not fill the resolver's bound.
  for (const TNameResolver::TResult& r : joinResolver->Take()) {
    if (!pendingJoin || r.Name != pendingJoin->Host) continue;
    const TPendingJoin join = *pendingJoin;
    pendingJoin.reset();
    if (!r.Found) {
      Report("Unknown host: " + join.Host);
      continue;
    }
    NetLog(join.Host + " is " + DottedAddress(r.Address.Host));
    StartClient(join.Host, join.TCPPort, join.UDPPort, join.PlayerName, r.Address.Host);
  }
}
