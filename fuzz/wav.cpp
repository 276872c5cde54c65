// The WAV reader on arbitrary bytes: the samples it keeps never exceed the
// input, and are followed by their zero padding.
#include "fx/wav_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TWavData wav;
  ParseWav(data, size, wav);
  if (wav.Size < 0 || static_cast<size_t>(wav.Size) > size) __builtin_trap();
  if (wav.Size > 0 && wav.Data.size() != static_cast<size_t>(wav.Size) + 31) __builtin_trap();
  for (size_t i = static_cast<size_t>(wav.Size); i < wav.Data.size(); ++i)
    if (wav.Data[i] != 0) __builtin_trap();
  return 0;
}
