// Where the renderer's reports go: the game's hooks, or the log until the game
// has set them (tools and tests that run the renderer alone).
#include "render/shader.h"

#include "core/console_sink.h"
#include "core/logger.h"

TRenderReports RenderReports;

void ReportRenderError(const std::string& message, const std::string& source) {
  if (RenderReports.Error)
    RenderReports.Error(message, source);
  else if (Logger)
    Logger->LogError(message, source);
}

void PrintRenderLine(const std::string& line, const std::string& source) {
  ConsolePrint(source + ": " + line);
  if (Logger) Logger->LogDebug(line, source);
}
