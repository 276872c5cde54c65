// The getserversResponse reader on arbitrary bytes: what it takes writes
// back into packets that read back to the same servers.
#include <string>

#include "net/master_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::optional<TServerListPacket> list = DecodeServerList(data, size);
  if (!list) return 0;
  std::vector<TServerAddress> again;
  bool last = false;
  for (const std::string& packet : EncodeServerList(list->Servers)) {
    if (packet.size() > kMaxAnswerSize) __builtin_trap();
    const std::optional<TServerListPacket> p =
        DecodeServerList(reinterpret_cast<const uint8_t*>(packet.data()), packet.size());
    if (!p || last) __builtin_trap();
    last = p->Last;
    again.insert(again.end(), p->Servers.begin(), p->Servers.end());
  }
  if (!last || again != list->Servers) __builtin_trap();
  return 0;
}
