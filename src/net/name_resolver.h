// Names of hosts turned into IPv4 addresses. The lookup itself may wait on a
// name server for seconds, so a server's frame hands it to TNameResolver,
// whose worker thread does it and leaves the results to be taken.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "net/master_codec.h"

// "host" or "host:port" (defaultPort when none) to an address, waiting for
// the lookup; false for an unknown host or a bad port.
bool ResolveHostPort(const std::string& item, uint16_t defaultPort, TServerAddress& out);

class TNameResolver {
 public:
  struct TResult {
    std::string Name;  // as requested
    bool Found = false;
    TServerAddress Address;
  };

  TNameResolver();
  // The worker is told to stop; a lookup it is in finishes on its own time,
  // and its result is dropped.
  ~TNameResolver();
  TNameResolver(const TNameResolver&) = delete;
  TNameResolver& operator=(const TNameResolver&) = delete;

  // Queues a lookup; false when kMaxQueued are waiting, under way, or done
  // but not taken yet (so neither list grows past it).
  bool Request(const std::string& name, uint16_t defaultPort);
  // The lookups finished since the last call, in the order they finished.
  std::vector<TResult> Take();

  static constexpr size_t kMaxQueued = 16;

 private:
  struct TShared;
  std::shared_ptr<TShared> shared;
};
