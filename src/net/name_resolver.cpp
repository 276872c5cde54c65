// Lookups of host names, and the worker thread that does them for a frame.
#include "net/name_resolver.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "net/infostring.h"

bool ResolveHostPort(const std::string& item, uint16_t defaultPort, TServerAddress& out) {
  std::string host = item;
  out.Port = defaultPort;
  const size_t colon = item.rfind(':');
  if (colon != std::string::npos) {
    host = item.substr(0, colon);
    const std::optional<int32_t> port = DecimalNumber(std::string_view(item).substr(colon + 1), 1, 65535);
    if (!port) return false;
    out.Port = static_cast<uint16_t>(*port);
  }
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  if (host.empty() || ::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return false;
  out.Host = ntohl(reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
  ::freeaddrinfo(found);
  return true;
}

// What the frame and the worker share, kept alive by both: the worker may
// outlive the resolver while a lookup hangs.
struct TNameResolver::TShared {
  std::mutex Lock;
  std::condition_variable Wake;
  std::deque<std::pair<std::string, uint16_t>> Requests;
  std::vector<TResult> Results;
  size_t Outstanding = 0;  // requested and not yet taken
  bool Stop = false;
  bool Started = false;
};

TNameResolver::TNameResolver() : shared(std::make_shared<TShared>()) {}

TNameResolver::~TNameResolver() {
  std::lock_guard<std::mutex> hold(shared->Lock);
  shared->Stop = true;
  shared->Wake.notify_all();
}

bool TNameResolver::Request(const std::string& name, uint16_t defaultPort) {
  std::lock_guard<std::mutex> hold(shared->Lock);
  if (shared->Outstanding >= kMaxQueued) return false;
  ++shared->Outstanding;
  shared->Requests.emplace_back(name, defaultPort);
  if (!shared->Started) {
    shared->Started = true;
    std::thread([state = shared] {
      std::unique_lock<std::mutex> lock(state->Lock);
      for (;;) {
        state->Wake.wait(lock, [&] { return state->Stop || !state->Requests.empty(); });
        if (state->Stop) return;
        const auto [item, port] = state->Requests.front();
        state->Requests.pop_front();
        lock.unlock();
        TResult result{item, false, {}};
        result.Found = ResolveHostPort(item, port, result.Address);
        lock.lock();
        state->Results.push_back(std::move(result));
      }
    }).detach();
  }
  shared->Wake.notify_one();
  return true;
}

std::vector<TNameResolver::TResult> TNameResolver::Take() {
  std::lock_guard<std::mutex> hold(shared->Lock);
  std::vector<TResult> results;
  results.swap(shared->Results);
  shared->Outstanding -= results.size();
  return results;
}
