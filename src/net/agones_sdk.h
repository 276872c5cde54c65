// The client of the fleet orchestrator's SDK sidecar (Agones' REST gateway on
// localhost): requests are queued by the frame and sent by a worker thread
// with libcurl, so a sidecar that is late, absent, slow or failing never
// holds a frame up. What comes back (the GameServer object, the log lines of
// the link's state) waits for the main thread's Poll.
#pragma once
#include <cstddef>
#include <cstdint>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

inline constexpr uint16_t kAgonesDefaultPort = 9358;

enum class TSdkCall { Ready, Health, AddPlayer, RemovePlayer, Label, Capacity, GameServer, Shutdown };

struct TSdkRequest {
  TSdkCall Call = TSdkCall::Health;
  std::string Method, Path, Body;
};

// How the sidecar answered the last request; a change is logged once.
enum class TSdkLink { Unknown, Answering, Unreachable, Silent, Failing, Refusing, Overrun };

struct TSdkTiming {
  int ConnectTimeoutMs = 1000;
  int RequestTimeoutMs = 2000;
  int FirstRetryMs = 250;  // doubled after each failure of the same request
  int MaxRetryMs = 4000;
};

class TAgonesSdk {
 public:
  // Requests beyond this many waiting are dropped (and logged): a sidecar
  // that never answers must not grow the queue without bound.
  static constexpr size_t kMaxQueued = 256;
  static constexpr size_t kMaxAnswerBytes = 1 << 20;

  explicit TAgonesSdk(uint16_t port, const TSdkTiming& timing = {});
  ~TAgonesSdk();  // abandons what is queued; a request in flight is cut short
  TAgonesSdk(const TAgonesSdk&) = delete;
  TAgonesSdk& operator=(const TAgonesSdk&) = delete;

  // Main thread. Each queues one request; Health and GameServer are not
  // queued twice, and neither is retried: the next one comes from the frame,
  // and a retried ping would vouch for a frame that may hang by then.
  void Ready();
  void Health();
  void AddPlayer(const std::string& value);
  void RemovePlayer(const std::string& value);
  void SetLabel(const std::string& key, const std::string& value);
  void SetPlayerCapacity(int32_t capacity);
  void AskGameServer();
  void Shutdown();

  // Main thread: hands each log line since the last call to `log` (with
  // true for faults) and returns the body of the latest GameServer answer.
  std::optional<std::string> Poll(const std::function<void(const std::string&, bool)>& log);
  // Nothing queued or in flight.
  bool Idle() const;
  // Requests the sidecar has taken (2xx); for tests and benchmarks.
  size_t Delivered() const;

 private:
  void Queue(TSdkRequest request, bool once);
  void Work();
  // Sends one request; the HTTP status, or -1 with curlError set.
  long Send(void* curl, const TSdkRequest& request, std::string& answer, int& curlError);
  void SetLink(TSdkLink link, const std::string& detail);  // holds mutex

  const std::string base;
  const TSdkTiming timing;
  mutable std::mutex mutex;
  std::condition_variable wake;
  std::deque<TSdkRequest> queue;
  bool inFlight = false;
  bool stopping = false;
  std::atomic<bool> cut{false};  // the transfer in flight ends at once (read by curl's callback)
  bool overrun = false;  // some requests were dropped since the last logged state
  TSdkLink link = TSdkLink::Unknown;
  std::deque<std::pair<std::string, bool>> lines;
  std::optional<std::string> gameServer;
  size_t delivered = 0;
  std::thread worker;  // last: starts once everything above exists
};
