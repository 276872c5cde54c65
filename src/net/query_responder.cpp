// Answering the out-of-band queries within the limits.
#include "net/query_responder.h"

#include "net/net_log.h"
#include "net/network.h"

void TQueryResponder::Receive(const uint8_t* data, size_t size, TServerAddress from, bool fromMaster, uint64_t now,
                              const std::function<TServerStatus(bool players)>& describe,
                              const std::function<void(const std::string& bytes)>& send) {
  uint64_t count = 0;
  const std::optional<TServerQuery> query = ParseServerQuery(data, size);
  if (!query) {
    // Answers of masters and other servers reach this port too; none asks anything.
    if (malformed.Note(now, count))
      NetLog("Queries: ignored " + std::to_string(count) + " packets that ask nothing, the last from " +
             DottedAddress(from.Host));
    return;
  }
  if (!(fromMaster ? MasterLimits : Limits).Allow(from.Host, now)) {
    if (refused.Note(now, count))
      NetLog("Queries: " + std::to_string(count) + " over the rate limit went unanswered, the last from " +
             DottedAddress(from.Host));
    return;
  }
  const TServerStatus status = describe ? describe(query->Kind == TQueryKind::Status) : TServerStatus{};
  send(query->Kind == TQueryKind::Info ? EncodeInfoResponse(status, query->Challenge)
                                       : EncodeStatusResponse(status, query->Challenge));
}
