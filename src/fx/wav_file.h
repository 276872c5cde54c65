// The WAV reader behind the sound buffers: PCM samples, their OpenAL format
// and rate, and the loop flag of a "smpl" chunk. No OpenAL here; the format
// codes are OpenAL's values.
#pragma once
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

constexpr int32_t kWavMono8 = 0x1100;     // AL_FORMAT_MONO8
constexpr int32_t kWavMono16 = 0x1101;    // AL_FORMAT_MONO16
constexpr int32_t kWavStereo8 = 0x1102;   // AL_FORMAT_STEREO8
constexpr int32_t kWavStereo16 = 0x1103;  // AL_FORMAT_STEREO16

struct TWavData {
  int32_t Format = kWavMono16;
  // Size bytes of samples followed by 31 zero bytes; empty when Size is 0.
  std::vector<uint8_t> Data;
  int32_t Size = 0;
  int32_t Frequency = 22050;
  int32_t Loop = 0;  // 1 when a "smpl" chunk declares loops
};

// The file could not be opened.
class EWavFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Fills `wav` from the file (defaults first; an empty name leaves just the
// defaults). Samples that are not 8- or 16-bit PCM in one or two channels are
// left out (Size 0). Throws EWavFileError when the file cannot be opened.
void LoadWavFile(const std::string& fileName, TWavData& wav);
// The same for a file already in memory; `fileName` only names it in the log.
void ParseWav(const uint8_t* data, size_t size, TWavData& wav, const std::string& fileName = "");
// Releases the samples.
void UnloadWav(TWavData& wav);
