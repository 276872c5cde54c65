// The sidecar's client: one worker thread, one libcurl easy handle, a FIFO
// of requests. A request that fails in a way the next attempt may not (no
// connection, a timeout, a 5xx) stays at the head and is tried again after a
// back-off that doubles up to a cap; a 4xx is the sidecar's final word and
// drops it. Order is kept, so a player's removal never overtakes its addition.
#include "net/agones_sdk.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>

#include "core/json_reader.h"

namespace {

std::once_flag curlGlobal;

size_t KeepAnswer(char* data, size_t size, size_t count, void* user) {
  auto* answer = static_cast<std::string*>(user);
  const size_t n = size * count;
  if (answer->size() + n > TAgonesSdk::kMaxAnswerBytes) return 0;  // curl then fails the transfer
  answer->append(data, n);
  return n;
}

int CutShort(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<const std::atomic<bool>*>(user)->load() ? 1 : 0;
}

const char* CallName(TSdkCall call) {
  switch (call) {
    case TSdkCall::Ready: return "ready";
    case TSdkCall::Health: return "health";
    case TSdkCall::AddPlayer: return "player added";
    case TSdkCall::RemovePlayer: return "player removed";
    case TSdkCall::Label: return "label";
    case TSdkCall::Capacity: return "capacity";
    case TSdkCall::GameServer: return "game server";
    case TSdkCall::Shutdown: return "shutdown";
  }
  return "request";
}

}  // namespace

TAgonesSdk::TAgonesSdk(uint16_t port, const TSdkTiming& timing)
    : base("http://127.0.0.1:" + std::to_string(port)), timing(timing) {
  std::call_once(curlGlobal, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  worker = std::thread([this] { Work(); });
}

TAgonesSdk::~TAgonesSdk() {
  {
    std::lock_guard<std::mutex> lock(mutex);
    stopping = true;
  }
  cut = true;
  wake.notify_all();
  worker.join();
}

void TAgonesSdk::Queue(TSdkRequest request, bool once) {
  {
    std::lock_guard<std::mutex> lock(mutex);
    if (once && std::any_of(queue.begin(), queue.end(), [&](const TSdkRequest& r) { return r.Call == request.Call; }))
      return;
    if (queue.size() >= kMaxQueued) {
      if (!overrun) lines.emplace_back("Agones SDK: the sidecar is behind; requests are dropped", true);
      overrun = true;
      return;
    }
    queue.push_back(std::move(request));
  }
  wake.notify_one();
}

void TAgonesSdk::Ready() { Queue({TSdkCall::Ready, "POST", "/ready", "{}"}, false); }
void TAgonesSdk::Health() { Queue({TSdkCall::Health, "POST", "/health", "{}"}, true); }
void TAgonesSdk::AddPlayer(const std::string& value) {
  Queue({TSdkCall::AddPlayer, "POST", "/v1beta1/lists/players:addValue",
         "{\"name\":\"players\",\"value\":" + JsonQuote(value) + "}"},
        false);
}
void TAgonesSdk::RemovePlayer(const std::string& value) {
  Queue({TSdkCall::RemovePlayer, "POST", "/v1beta1/lists/players:removeValue",
         "{\"name\":\"players\",\"value\":" + JsonQuote(value) + "}"},
        false);
}
void TAgonesSdk::SetLabel(const std::string& key, const std::string& value) {
  Queue({TSdkCall::Label, "PUT", "/metadata/label", "{\"key\":" + JsonQuote(key) + ",\"value\":" + JsonQuote(value) + "}"},
        false);
}
void TAgonesSdk::SetPlayerCapacity(int32_t capacity) {
  // The gateway's list update takes the fields to change as a mask.
  Queue({TSdkCall::Capacity, "PATCH", "/v1beta1/lists/players?updateMask=capacity",
         "{\"name\":\"players\",\"capacity\":\"" + std::to_string(capacity) + "\"}"},
        false);
}
void TAgonesSdk::AskGameServer() { Queue({TSdkCall::GameServer, "GET", "/gameserver", ""}, true); }
void TAgonesSdk::Shutdown() { Queue({TSdkCall::Shutdown, "POST", "/shutdown", "{}"}, false); }

std::optional<std::string> TAgonesSdk::Poll(const std::function<void(const std::string&, bool)>& log) {
  std::deque<std::pair<std::string, bool>> taken;
  std::optional<std::string> answer;
  {
    std::lock_guard<std::mutex> lock(mutex);
    taken.swap(lines);
    answer.swap(gameServer);
  }
  for (const auto& [line, fault] : taken) log(line, fault);
  return answer;
}

bool TAgonesSdk::Idle() const {
  std::lock_guard<std::mutex> lock(mutex);
  return queue.empty() && !inFlight;
}

size_t TAgonesSdk::Delivered() const {
  std::lock_guard<std::mutex> lock(mutex);
  return delivered;
}

void TAgonesSdk::SetLink(TSdkLink now, const std::string& detail) {
  if (now == link) return;
  link = now;
  switch (now) {
    case TSdkLink::Answering:
      lines.emplace_back("Agones SDK: the sidecar answers at " + base, false);
      overrun = false;
      break;
    case TSdkLink::Unreachable: lines.emplace_back("Agones SDK: no sidecar at " + base + " (" + detail + "); retrying", true); break;
    case TSdkLink::Silent: lines.emplace_back("Agones SDK: the sidecar at " + base + " does not answer in time; retrying", true); break;
    case TSdkLink::Failing: lines.emplace_back("Agones SDK: the sidecar fails (" + detail + "); retrying", true); break;
    case TSdkLink::Refusing: lines.emplace_back("Agones SDK: the sidecar refused " + detail, true); break;
    default: break;
  }
}

long TAgonesSdk::Send(void* handle, const TSdkRequest& request, std::string& answer, int& curlError) {
  CURL* curl = static_cast<CURL*>(handle);
  curl_easy_reset(curl);
  const std::string url = base + request.Path;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, request.Method.c_str());
  if (request.Method != "GET") {
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.Body.c_str());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(request.Body.size()));
  }
  curl_slist* headers = curl_slist_append(nullptr, "Content-Type: application/json");
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  // The sidecar is this pod's own: a proxy from the environment must not stand between.
  curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timing.ConnectTimeoutMs));
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(timing.RequestTimeoutMs));
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, KeepAnswer);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &answer);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, CutShort);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &cut);
  const CURLcode result = curl_easy_perform(curl);
  curl_slist_free_all(headers);
  curlError = static_cast<int>(result);
  if (result != CURLE_OK) return -1;
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  return status;
}

void TAgonesSdk::Work() {
  CURL* curl = curl_easy_init();
  int failures = 0;  // of the request at the head
  std::unique_lock<std::mutex> lock(mutex);
  auto notBefore = std::chrono::steady_clock::now();
  for (;;) {
    wake.wait_until(lock, notBefore, [&] { return stopping; });
    wake.wait(lock, [&] { return stopping || !queue.empty(); });
    if (stopping) break;
    const TSdkRequest request = queue.front();
    inFlight = true;
    lock.unlock();
    std::string answer;
    int curlError = CURLE_OK;
    const long status = curl ? Send(curl, request, answer, curlError) : -1;
    lock.lock();
    inFlight = false;
    const bool transient = status < 0 || status >= 500 || status == 429;
    const bool retried = request.Call != TSdkCall::Health && request.Call != TSdkCall::GameServer;
    if (status >= 200 && status < 300) {
      SetLink(TSdkLink::Answering, "");
      ++delivered;
      if (request.Call == TSdkCall::GameServer) gameServer = std::move(answer);
    } else if (status < 0 && curlError == CURLE_WRITE_ERROR) {
      SetLink(TSdkLink::Failing, "an answer over " + std::to_string(kMaxAnswerBytes) + " bytes");
    } else if (status < 0) {
      SetLink(curlError == CURLE_OPERATION_TIMEDOUT ? TSdkLink::Silent : TSdkLink::Unreachable,
              curl_easy_strerror(static_cast<CURLcode>(curlError)));
    } else if (transient) {
      SetLink(TSdkLink::Failing, "HTTP " + std::to_string(status) + " to " + CallName(request.Call));
    } else {
      SetLink(TSdkLink::Refusing, std::string(CallName(request.Call)) + " with HTTP " + std::to_string(status));
    }
    notBefore = std::chrono::steady_clock::now();
    if (transient && retried) {
      const int backoff = std::min(timing.MaxRetryMs, timing.FirstRetryMs << std::min(failures, 16));
      ++failures;
      notBefore += std::chrono::milliseconds(backoff);
      continue;  // the same request, after the back-off
    }
    failures = 0;
    queue.pop_front();
  }
  lock.unlock();
  if (curl) curl_easy_cleanup(curl);
}
