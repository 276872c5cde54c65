// WAV reader. The file, all little-endian:
//   0 "RIFF"; 4 u32 length L of what follows; 8 "WAVE" (tags not checked)
//   then chunks within L (rounded up to even) - 4 bytes: 4-byte id, u32 size
//   S, S bytes, and one pad byte when S is odd. Chunks used:
//   "fmt " 0 u16 format tag (1 = PCM); 2 u16 channels; 4 u32 sample rate;
//          8 u32 byte rate; 12 u16 block align; 14 u16 bits per sample
//   "data" the samples (used only after a PCM "fmt ")
//   "smpl" 28 u32 number of sample loops (non-zero: the sound loops)
//   anything else is skipped.
// A chunk whose size runs past the end of the file is cut to what the file
// holds, so nothing is allocated beyond the file's own size.
#include "fx/wav_file.h"

#include <algorithm>
#include <cstring>

#include "core/byte_reader.h"
#include "core/logger.h"
#include "core/paths.h"

namespace {

constexpr uint16_t kPCM = 1;
constexpr size_t kSamplePadding = 31;

void LogWav(const std::string& fileName, const std::string& what) {
  if (Logger) Logger->LogInfo("WAV file " + fileName + ": " + what, "Sound");
}

}  // namespace

void ParseWav(const uint8_t* data, size_t size, TWavData& wav, const std::string& fileName) {
  wav = TWavData();
  TByteReader in(data, size);
  uint32_t riffLength = 0;
  if (!in.Skip(4) || !in.U32(riffLength) || !in.Skip(4)) return;
  int64_t remaining = static_cast<int64_t>(riffLength) + (riffLength & 1) - 4;
  bool usablePCM = false;
  while (remaining > 0) {
    const uint8_t* id = in.Take(4);
    uint32_t declared = 0;
    if (!id || !in.U32(declared)) break;
    size_t chunkSize = declared;
    if (chunkSize > in.Remaining()) {
      LogWav(fileName, "chunk \"" + std::string(reinterpret_cast<const char*>(id), 4) +
                           "\" runs past the end of the file; cut to " + std::to_string(in.Remaining()) +
                           " bytes");
      chunkSize = in.Remaining();
    }
    const uint8_t* chunk = in.Take(chunkSize);
    TByteReader fields(chunk, chunkSize);
    uint16_t tag = 0, channels = 0, blockAlign = 0, bits = 0;
    uint32_t rate = 0, byteRate = 0, loops = 0;
    if (std::memcmp(id, "fmt ", 4) == 0 && fields.U16(tag) && fields.U16(channels) && fields.U32(rate) &&
        fields.U32(byteRate) && fields.U16(blockAlign) && fields.U16(bits)) {
      // Other sample sizes or more channels would be played as noise under
      // the 16-bit or stereo format; such files are left silent instead.
      usablePCM = tag == kPCM && (bits == 8 || bits == 16) && (channels == 1 || channels == 2);
      if (usablePCM) {
        wav.Format = channels == 1 ? (bits == 8 ? kWavMono8 : kWavMono16) : (bits == 8 ? kWavStereo8 : kWavStereo16);
        wav.Frequency = static_cast<int32_t>(rate);
      } else {
        LogWav(fileName, "format " + std::to_string(tag) + ", " + std::to_string(channels) + " channels, " +
                             std::to_string(bits) + " bits is not supported; no samples");
      }
    } else if (std::memcmp(id, "data", 4) == 0 && usablePCM) {
      wav.Size = static_cast<int32_t>(std::min<size_t>(chunkSize, INT32_MAX));
      wav.Data.assign(static_cast<size_t>(wav.Size) + kSamplePadding, 0);
      std::copy_n(chunk, wav.Size, wav.Data.begin());
    } else if (std::memcmp(id, "smpl", 4) == 0 && fields.Skip(28) && fields.U32(loops)) {
      wav.Loop = loops != 0 ? 1 : 0;
    }
    if (declared & 1) in.Skip(1);
    remaining -= static_cast<int64_t>(declared) + (declared & 1) + 8;
  }
}

void LoadWavFile(const std::string& fileName, TWavData& wav) {
  wav = TWavData();
  if (fileName.empty()) return;
  std::string bytes;
  if (!ReadWholeFile(HostPath(fileName), bytes)) throw EWavFileError("Cannot open WAV file " + fileName);
  ParseWav(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), wav, fileName);
}

void UnloadWav(TWavData& wav) {
  std::vector<uint8_t>().swap(wav.Data);
  wav.Size = 0;
}
