#include "net/net_log.h"

#include "core/log_sources.h"
#include "core/logger.h"

void NetLog(const std::string& line) {
  if (Logger) Logger->LogInfo(line, LogSource::Network);
}
