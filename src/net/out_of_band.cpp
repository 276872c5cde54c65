// Framing and word splitting of out-of-band packets.
#include "net/out_of_band.h"

namespace {

// getservers with its filters is the longest request of the family, far below this.
constexpr size_t kMaxRequestLine = 256;
constexpr size_t kMaxRequestWords = 16;

}  // namespace

bool IsOutOfBand(const uint8_t* data, size_t size) {
  return size >= kOutOfBandPrefix.size() && data[0] == 0xFF && data[1] == 0xFF && data[2] == 0xFF && data[3] == 0xFF;
}

std::string_view OutOfBandText(const uint8_t* data, size_t size) {
  if (!IsOutOfBand(data, size)) return {};
  return std::string_view(reinterpret_cast<const char*>(data) + kOutOfBandPrefix.size(),
                          size - kOutOfBandPrefix.size());
}

bool SplitOutOfBandLine(std::string_view text, TOutOfBandLine& out) {
  const size_t end = text.find_first_of(std::string_view("\n\0", 2));
  if (end != std::string_view::npos) text = text.substr(0, end);
  if (text.size() > kMaxRequestLine) return false;
  out = {};
  size_t at = 0;
  while (at < text.size()) {
    const char ch = text[at];
    if (ch == ' ' || ch == '\t' || ch == '\r') {
      ++at;
      continue;
    }
    size_t stop = at;
    while (stop < text.size() && text[stop] != ' ' && text[stop] != '\t' && text[stop] != '\r') {
      if (text[stop] < '!' || text[stop] > '~') return false;
      ++stop;
    }
    const std::string_view word = text.substr(at, stop - at);
    if (out.Command.empty()) {
      out.Command = word;
    } else {
      if (out.Words.size() == kMaxRequestWords) return false;
      out.Words.push_back(word);
    }
    at = stop;
  }
  return !out.Command.empty();
}

std::string OutOfBandPacket(std::string_view text) {
  std::string packet(kOutOfBandPrefix);
  packet += text;
  return packet;
}
