// The packet thread: one pass writes what each connection has pending with
// non-blocking sends, closes the sockets whose output is done, and fails the
// connections that overflowed or stalled. The lock is held only to copy and
// account, never during a send.
#include "net/packet_queue.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

using Clock = std::chrono::steady_clock;

TPacketCollector::TPacketCollector(uint32_t stallMs) : StallMs(stallMs) {
  thread = std::thread([this] { Run(); });
}

TPacketCollector::~TPacketCollector() {
  {
    std::lock_guard<std::mutex> guard(lock);
    stop = true;
  }
  wake.notify_all();
  thread.join();
  for (const auto& c : connections) ::close(c->Fd);
}

std::shared_ptr<TConnection> TPacketCollector::Add(int fd) {
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
  auto c = std::make_shared<TConnection>(fd);
  std::lock_guard<std::mutex> guard(lock);
  connections.push_back(c);
  return c;
}

bool TPacketCollector::Push(TConnection& c, const uint8_t* data, size_t size) {
  {
    std::lock_guard<std::mutex> guard(lock);
    if (c.failed || c.closing) return false;
    const size_t pending = c.out.size() - c.outStart;
    if (pending + size > kMaxPendingBytes) {
      c.failed = true;
      c.failure = "send queue overflow";
      return false;
    }
    if (pending == 0) c.lastProgress = Clock::now();
    c.out.insert(c.out.end(), data, data + size);
  }
  wake.notify_one();
  return true;
}

void TPacketCollector::Close(const std::shared_ptr<TConnection>& c) {
  {
    std::lock_guard<std::mutex> guard(lock);
    c->closing = true;
  }
  wake.notify_one();
}

void TPacketCollector::Fail(TConnection& c, const std::string& why) {
  std::lock_guard<std::mutex> guard(lock);
  if (c.failed) return;
  c.failed = true;
  c.failure = why;
}

bool TPacketCollector::Failed(const TConnection& c, std::string* why) {
  std::lock_guard<std::mutex> guard(lock);
  if (c.failed && why) *why = c.failure;
  return c.failed;
}

size_t TPacketCollector::Pending(const TConnection& c) {
  std::lock_guard<std::mutex> guard(lock);
  return c.out.size() - c.outStart;
}

size_t TPacketCollector::Count() {
  std::lock_guard<std::mutex> guard(lock);
  return connections.size();
}

bool TPacketCollector::WaitIdle(uint32_t timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    {
      std::lock_guard<std::mutex> guard(lock);
      bool idle = true;
      for (const auto& c : connections) idle = idle && !c->closing && (c->failed || c->out.size() == c->outStart);
      if (idle) return true;
    }
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

void TPacketCollector::Run() {
  std::unique_lock<std::mutex> guard(lock);
  while (!stop) {
    guard.unlock();
    const bool blocked = Pass();
    guard.lock();
    if (stop) break;
    // A push or a close wakes the thread at once; a peer that is not taking
    // its bytes is retried every few milliseconds.
    wake.wait_for(guard, std::chrono::milliseconds(blocked ? 5 : 20));
  }
}

bool TPacketCollector::Pass() {
  struct Job {
    std::shared_ptr<TConnection> c;
    std::vector<uint8_t> bytes;
  };
  std::vector<Job> jobs;
  std::vector<int> toClose;
  const auto now = Clock::now();
  {
    std::lock_guard<std::mutex> guard(lock);
    for (auto it = connections.begin(); it != connections.end();) {
      TConnection& c = **it;
      const size_t pending = c.out.size() - c.outStart;
      if (pending && !c.failed && now - c.lastProgress > std::chrono::milliseconds(StallMs)) {
        c.failed = true;
        c.failure = "no progress for " + std::to_string(StallMs) + " ms";
      }
      if (c.closing && (c.failed || pending == 0)) {
        toClose.push_back(c.Fd);
        it = connections.erase(it);
        continue;
      }
      if (pending && !c.failed) jobs.push_back({*it, std::vector<uint8_t>(c.out.begin() + c.outStart, c.out.end())});
      ++it;
    }
  }
  for (int fd : toClose) ::close(fd);
  bool blocked = false;
  for (Job& job : jobs) {
    const ssize_t n = ::send(job.c->Fd, job.bytes.data(), job.bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    const int error = errno;
    std::lock_guard<std::mutex> guard(lock);
    TConnection& c = *job.c;
    if (n > 0) {
      c.outStart += static_cast<size_t>(n);
      c.lastProgress = Clock::now();
      if (c.outStart == c.out.size()) {
        c.out.clear();
        c.outStart = 0;
      } else if (c.outStart > kMaxPendingBytes) {
        // A peer that keeps a little pending forever must not grow the buffer.
        c.out.erase(c.out.begin(), c.out.begin() + static_cast<std::ptrdiff_t>(c.outStart));
        c.outStart = 0;
      }
    } else if (n < 0 && error != EAGAIN && error != EWOULDBLOCK && error != EINTR && !c.failed) {
      c.failed = true;
      c.failure = std::strerror(error);
    }
    if (n < static_cast<ssize_t>(job.bytes.size())) blocked = true;
  }
  return blocked;
}
