// A stand-in of the fleet orchestrator's SDK sidecar: a small HTTP/1.1
// server on a loopback port of the system's choosing, run by a thread of its
// own, that records every request and answers as told: as the real gateway
// would, with 500 to everything, or never (it reads the request and keeps the
// connection open without a word). Every answer closes its connection.
#pragma once
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct TSidecarCall {
  std::string Method, Path, Body;
  std::chrono::steady_clock::time_point At;
};

class TSdkSidecar {
 public:
  enum class TMode { Gateway, Fails, Silent };

  // port 0: any free one.
  explicit TSdkSidecar(TMode mode = TMode::Gateway, uint16_t port = 0) : mode(mode) {
    listener = ::socket(AF_INET, SOCK_STREAM, 0);
    int yes = 1;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    ::bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(listener, 64);
    socklen_t n = sizeof a;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&a), &n);
    Port = ntohs(a.sin_port);
    thread = std::thread([this] { Serve(); });
  }
  ~TSdkSidecar() {
    stop = true;
    thread.join();
    for (int fd : held) ::close(fd);
    ::close(listener);
  }

  // What GET /gameserver reports from now on.
  void Allocate(const std::map<std::string, std::string>& annotations) {
    std::lock_guard<std::mutex> lock(mutex);
    state = "Allocated";
    this->annotations = annotations;
  }
  std::vector<TSidecarCall> Calls() const {
    std::lock_guard<std::mutex> lock(mutex);
    return calls;
  }
  std::vector<TSidecarCall> CallsTo(const std::string& path) const {
    std::vector<TSidecarCall> out;
    for (const TSidecarCall& c : Calls())
      if (c.Path == path) out.push_back(c);
    return out;
  }
  // The players list as the gateway would hold it after the calls so far.
  std::vector<std::string> Players() const {
    std::lock_guard<std::mutex> lock(mutex);
    return players;
  }

  uint16_t Port = 0;

 private:
  void Serve() {
    while (!stop) {
      pollfd p{listener, POLLIN, 0};
      if (::poll(&p, 1, 20) <= 0) continue;
      const int fd = ::accept(listener, nullptr, nullptr);
      if (fd < 0) continue;
      std::string request;
      size_t headerEnd = std::string::npos, length = 0;
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
      while (!stop && std::chrono::steady_clock::now() < deadline) {
        pollfd r{fd, POLLIN, 0};
        if (::poll(&r, 1, 20) <= 0) continue;
        char buffer[4096];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        request.append(buffer, static_cast<size_t>(n));
        if (headerEnd == std::string::npos && (headerEnd = request.find("\r\n\r\n")) != std::string::npos) {
          const size_t at = Lower(request).find("content-length:");
          if (at != std::string::npos && at < headerEnd) length = std::stoul(request.substr(at + 15));
        }
        if (headerEnd != std::string::npos && request.size() >= headerEnd + 4 + length) break;
      }
      if (headerEnd == std::string::npos) {
        ::close(fd);
        continue;
      }
      TSidecarCall call;
      const size_t space = request.find(' '), second = request.find(' ', space + 1);
      call.Method = request.substr(0, space);
      call.Path = request.substr(space + 1, second - space - 1);
      call.Body = request.substr(headerEnd + 4, length);
      call.At = std::chrono::steady_clock::now();
      std::string answer = Answer(call);
      {
        std::lock_guard<std::mutex> lock(mutex);
        calls.push_back(call);
      }
      if (mode == TMode::Silent) {
        held.push_back(fd);
        continue;
      }
      const std::string status = mode == TMode::Fails ? "500 Internal Server Error" : "200 OK";
      if (mode == TMode::Fails) answer = "{\"error\":\"stand-in fails\"}";
      const std::string bytes = "HTTP/1.1 " + status + "\r\nContent-Type: application/json\r\nContent-Length: " +
                                std::to_string(answer.size()) + "\r\nConnection: close\r\n\r\n" + answer;
      (void)!::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      ::close(fd);
    }
  }

  // The gateway's answer; the players list follows the calls when they succeed.
  std::string Answer(const TSidecarCall& call) {
    std::lock_guard<std::mutex> lock(mutex);
    if (call.Path == "/gameserver") {
      std::string notes;
      for (const auto& [k, v] : annotations) notes += (notes.empty() ? "" : ",") + Quote(k) + ":" + Quote(v);
      return "{\"object_meta\":{\"name\":\"grimvale-x\",\"annotations\":{" + notes + "}},\"status\":{\"state\":\"" +
             state + "\",\"address\":\"127.0.0.1\"}}";
    }
    if (mode != TMode::Gateway) return "{}";
    const size_t at = call.Body.find("\"value\":\"");
    const std::string value =
        at == std::string::npos ? "" : call.Body.substr(at + 9, call.Body.find('"', at + 9) - at - 9);
    if (call.Path == "/v1beta1/lists/players:addValue") players.push_back(value);
    if (call.Path == "/v1beta1/lists/players:removeValue")
      players.erase(std::remove(players.begin(), players.end(), value), players.end());
    return "{}";
  }

  static std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
      if (c == '"' || c == '\\') out += '\\';
      if (static_cast<unsigned char>(c) < 0x20) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
        out += escaped;
      } else {
        out += c;
      }
    }
    return out + "\"";
  }
  static std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  }

  const TMode mode;
  int listener = -1;
  std::vector<int> held;  // connections a silent stand-in never answers
  std::atomic<bool> stop{false};
  mutable std::mutex mutex;
  std::vector<TSidecarCall> calls;
  std::vector<std::string> players;
  std::string state = "Ready";
  std::map<std::string, std::string> annotations;
  std::thread thread;
};
