// The send queue and the packet thread. The main thread never writes to a TCP
// socket: it appends whole messages to the connection's pending output, and
// the packet thread writes them with non-blocking sends. Each connection has
// its own bounded output, so a peer that stops reading stalls only itself:
// once its output would exceed kMaxPendingBytes, or nothing of it has been
// taken for StallMs, the connection is marked failed and the session drops it.
// Messages to one connection leave in the order they were pushed; a
// connection that is closed keeps its socket until its output is written (or
// it fails).
#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// About 630 messages: far more than a burst of the protocol ever queues.
inline constexpr size_t kMaxPendingBytes = 64 * 1024;

class TPacketCollector;

// One TCP connection. The socket is read by the main thread; its pending
// output belongs to the collector.
class TConnection {
 public:
  explicit TConnection(int fd) : Fd(fd) {}
  const int Fd;
  // Main thread only: the bytes of a message that has not arrived whole.
  std::vector<uint8_t> Incoming;

 private:
  friend class TPacketCollector;
  std::vector<uint8_t> out;  // under the collector's lock
  size_t outStart = 0;
  bool failed = false;
  bool closing = false;
  std::string failure;
  std::chrono::steady_clock::time_point lastProgress;
};

class TPacketCollector {
 public:
  // Starts the packet thread; stallMs is how long a connection may take none
  // of its pending output before it fails.
  explicit TPacketCollector(uint32_t stallMs = 10000);
  // Ends the thread; what is still pending is given up and every socket closed.
  ~TPacketCollector();
  TPacketCollector(const TPacketCollector&) = delete;
  TPacketCollector& operator=(const TPacketCollector&) = delete;

  // Takes over a connected socket (made non-blocking here).
  std::shared_ptr<TConnection> Add(int fd);
  // Appends a whole message to the connection's output. False (and the
  // connection failed) when that would exceed kMaxPendingBytes, or when the
  // connection has failed or is closing.
  bool Push(TConnection& c, const uint8_t* data, size_t size);
  // The socket is closed by the thread once the pending output is written,
  // at once if the connection failed. The caller must not use the socket
  // any more.
  void Close(const std::shared_ptr<TConnection>& c);
  // Marks the connection failed (a read error, garbage); its output is given up.
  void Fail(TConnection& c, const std::string& why);
  bool Failed(const TConnection& c, std::string* why = nullptr);
  size_t Pending(const TConnection& c);
  // Connections the thread still holds (open or closing).
  size_t Count();
  // Waits until nothing is pending anywhere and no closing socket is left,
  // at most timeoutMs; true when that happened. For orderly ends and tests.
  bool WaitIdle(uint32_t timeoutMs);

  uint32_t StallMs;

 private:
  void Run();
  // One pass over every connection; true when some output could not be written.
  bool Pass();

  std::mutex lock;
  std::condition_variable wake;
  std::vector<std::shared_ptr<TConnection>> connections;
  bool stop = false;
  std::thread thread;
};
