// The console line sink.
#include "core/console_sink.h"

#include "core/logger.h"

static ConsoleSink& Sink() {
  static ConsoleSink sink;
  return sink;
}

void SetConsoleSink(ConsoleSink sink) { Sink() = std::move(sink); }

void ConsolePrint(const std::string& line) {
  if (Sink()) {
    Sink()(line);
  } else if (Logger) {
    Logger->LogInfo(line, "Console");
  }
}
