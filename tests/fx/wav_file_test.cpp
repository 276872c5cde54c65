// The WAV reader on files written by sox, and on chunks made to go wrong.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/byte_reader.h"
#include "fx/wav_file.h"
#include "test_support.h"

namespace {

bool Sox(const std::string& arguments) { return std::system(("sox " + arguments + " 2>&1").c_str()) == 0; }

// The RIFF file with `chunk` appended and the RIFF length updated.
std::string Append(const std::string& riff, const std::string& chunk) {
  std::string out = riff + chunk;
  std::string length;
  PutLE32(length, static_cast<uint32_t>(out.size() - 8));
  return out.replace(4, 4, length);
}

std::string Chunk(const std::string& id, const std::string& body, uint32_t declared) {
  std::string out = id;
  PutLE32(out, declared);
  return out + body + (body.size() % 2 ? std::string(1, '\0') : "");
}
std::string Chunk(const std::string& id, const std::string& body) {
  return Chunk(id, body, static_cast<uint32_t>(body.size()));
}

// A "smpl" chunk whose loop count (byte 28) is `loops`.
std::string SampleChunk(uint32_t loops) {
  std::string body(28, '\0');
  PutLE32(body, loops);
  return Chunk("smpl", body + std::string(28, '\0'));
}

TWavData Parse(const std::string& bytes) {
  TWavData wav;
  ParseWav(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), wav);
  return wav;
}

class WavFile : public testing::Test {
 protected:
  TempDir dir;
};

TEST_F(WavFile, ReadsThePcmFormatsSoxWrites) {
  const struct {
    const char* options;
    int32_t format;
    int32_t frequency;
  } cases[] = {
      {"-r 11025 -b 8 -c 1", kWavMono8, 11025},
      {"-r 22050 -b 16 -c 1", kWavMono16, 22050},
      {"-r 8000 -b 8 -c 2", kWavStereo8, 8000},
      {"-r 44100 -b 16 -c 2", kWavStereo16, 44100},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options);
    std::string file = dir / "s.wav", raw = dir / "s.raw";
    ASSERT_TRUE(Sox("-n " + std::string(c.options) + " '" + file + "' synth 0.01 sine 440"));
    ASSERT_TRUE(Sox("'" + file + "' -t raw '" + raw + "'"));
    std::string samples = ReadFile(raw);
    TWavData wav;
    LoadWavFile(file, wav);
    EXPECT_EQ(wav.Format, c.format);
    EXPECT_EQ(wav.Frequency, c.frequency);
    EXPECT_EQ(wav.Loop, 0);
    ASSERT_EQ(wav.Size, static_cast<int32_t>(samples.size()));
    ASSERT_EQ(wav.Data.size(), samples.size() + 31);
    EXPECT_EQ(std::string(wav.Data.begin(), wav.Data.begin() + wav.Size), samples);
    EXPECT_EQ(std::vector<uint8_t>(wav.Data.begin() + wav.Size, wav.Data.end()), std::vector<uint8_t>(31, 0));
    UnloadWav(wav);
    EXPECT_TRUE(wav.Data.empty());
  }
}

TEST_F(WavFile, OtherEncodingsGiveNoSamples) {
  for (const char* options : {"-r 8000 -e a-law -b 8 -c 1", "-r 8000 -e floating-point -b 32 -c 1",
                              "-r 8000 -b 24 -c 1", "-r 8000 -b 16 -c 4"}) {
    SCOPED_TRACE(options);
    std::string file = dir / "n.wav";
    ASSERT_TRUE(Sox("-n " + std::string(options) + " '" + file + "' synth 0.01 sine 440"));
    TWavData wav;
    LoadWavFile(file, wav);
    EXPECT_EQ(wav.Size, 0);
    EXPECT_TRUE(wav.Data.empty());
  }
}

TEST_F(WavFile, LoopsComeFromTheSampleChunkAfterOddChunksAndTheirPadByte) {
  // 8-bit mono with an odd number of samples: sox pads the data chunk.
  std::string file = dir / "odd.wav";
  ASSERT_TRUE(Sox("-r 11025 -n -b 8 -c 1 '" + file + "' synth 7s sine 440"));
  std::string odd = ReadFile(file);
  ASSERT_EQ(odd.size() % 2, 0u);
  const TWavData plain = Parse(odd);
  ASSERT_EQ(plain.Size % 2, 1);
  EXPECT_EQ(plain.Loop, 0);

  EXPECT_EQ(Parse(Append(odd, SampleChunk(1))).Loop, 1);
  EXPECT_EQ(Parse(Append(odd, SampleChunk(0))).Loop, 0);
  // An odd chunk of our own between "fmt " and "data": the data is still found.
  std::string header = odd.substr(0, 36), data = odd.substr(36);
  TWavData between = Parse(Append(header + Chunk("LIST", "abcde") + data, SampleChunk(3)));
  EXPECT_EQ(between.Size, plain.Size);
  EXPECT_EQ(between.Data, plain.Data);
  EXPECT_EQ(between.Loop, 1);
}

TEST_F(WavFile, DamagedFilesGiveWhatTheyHoldAndNothingMore) {
  std::string file = dir / "m.wav";
  ASSERT_TRUE(Sox("-r 8000 -n -b 16 -c 1 '" + file + "' synth 100s sine 440"));
  std::string good = ReadFile(file);
  ASSERT_EQ(good.substr(36, 4), "data");
  ASSERT_EQ(good.size(), 44u + 200);

  // A data chunk claiming 2 GB is cut to the 200 bytes the file holds.
  std::string huge = good;
  huge.replace(40, 4, std::string("\xF0\xFF\xFF\x7F", 4));
  TWavData cut = Parse(huge);
  EXPECT_EQ(cut.Size, 200);
  EXPECT_EQ(cut.Data.size(), 231u);
  // Cut in the middle of the samples.
  EXPECT_EQ(Parse(good.substr(0, 144)).Size, 100);

  const std::pair<const char*, std::string> silent[] = {
      {"empty", ""},
      {"header only", good.substr(0, 12)},
      {"RIFF length of 0", std::string(good).replace(4, 4, std::string(4, '\0'))},
      {"fmt chunk too short", good.substr(0, 12) + Chunk("fmt ", "\x01\x00\x01\x00") + good.substr(36)},
      {"data before fmt", good.substr(0, 12) + good.substr(36) + good.substr(12, 24)},
  };
  for (const auto& [name, bytes] : silent) {
    SCOPED_TRACE(name);
    TWavData wav = Parse(bytes);
    EXPECT_EQ(wav.Size, 0);
    EXPECT_TRUE(wav.Data.empty());
  }
  TWavData defaults = Parse("");
  EXPECT_EQ(defaults.Format, kWavMono16);
  EXPECT_EQ(defaults.Frequency, 22050);

  TWavData none;
  LoadWavFile("", none);
  EXPECT_EQ(none.Size, 0);
  EXPECT_THROW(LoadWavFile(dir / "missing.wav", none), EWavFileError);
}

}  // namespace
