// The BMP, TGA and JPEG writers: what they write is chosen alike by its name
// and by its content, reads back through our decoders to the pixels written,
// and reads the same with ImageMagick or djpeg.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <stdexcept>

#include "image_fixtures.h"
#include "render/image_formats.h"
#include "render/image_writers.h"
#include "render/jpeg_codec.h"
#include "test_support.h"

namespace {

// The fixtures' 7 x 5 picture (odd width: BMP rows need no padding at 32 bits,
// but a row-order or stride slip shows), with an alpha ramp for four channels.
TPixelImage Source(int channels) {
  const std::vector<uint8_t> rgb = SourcePixels();
  TPixelImage image;
  image.Width = 7;
  image.Height = 5;
  image.Channels = channels;
  for (size_t i = 0; i < 35; ++i) {
    image.Pixels.insert(image.Pixels.end(), rgb.begin() + i * 3, rgb.begin() + i * 3 + 3);
    if (channels == 4) image.Pixels.push_back(static_cast<uint8_t>(255 - i * 7));
  }
  return image;
}

// The image's pixels with `channels` channels: alpha dropped, or 255 added.
std::vector<uint8_t> AsChannels(const TPixelImage& image, int channels) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i < image.Pixels.size(); i += image.Channels) {
    out.insert(out.end(), image.Pixels.begin() + i, image.Pixels.begin() + i + 3);
    if (channels == 4) out.push_back(image.Channels == 4 ? image.Pixels[i + 3] : 255);
  }
  return out;
}

// The output of a shell command, or "" when it fails.
std::string Output(const std::string& command) {
  std::string out;
  if (std::FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    if (pclose(pipe) != 0) out.clear();
  }
  return out;
}

TEST(ImageWriters, FilesReadBackThroughTheChosenDecoderAndImageMagick) {
  TempDir dir;
  const struct {
    const char* name;
    int channels;
    std::function<std::string(const TPixelImage&)> write;
    TTextureFormat format;
    int channelsRead;  // by our decoder
    int channelsWritten;
    const char* identify;
  } cases[] = {
      // A BMP is always written with 32 bits (opaque from three channels); our
      // decoder reads three of them.
      {"rgb.bmp", 3, EncodeBMP, TTextureFormat::BMP, 3, 4, "BMP3 7 x 5 srgba"},
      {"rgba.bmp", 4, EncodeBMP, TTextureFormat::BMP, 3, 4, "BMP3 7 x 5 srgba"},
      {"rgb.tga", 3, EncodeTGA, TTextureFormat::TGA, 3, 3, "TGA 7 x 5 srgb"},
      {"rgba.tga", 4, EncodeTGA, TTextureFormat::TGA, 4, 4, "TGA 7 x 5 srgba"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TPixelImage source = Source(c.channels);
    const std::string bytes = c.write(source);

    EXPECT_EQ(TextureFormatOf(c.name), c.format);
    ASSERT_EQ(TextureFormatOfContent(Data(bytes), bytes.size()), c.format);
    TPixelImage image;
    std::string why;
    ASSERT_TRUE(DecodeImage(c.format, Data(bytes), bytes.size(), image, why)) << why;
    EXPECT_EQ(image.Width, 7);
    EXPECT_EQ(image.Height, 5);
    EXPECT_EQ(image.Channels, c.channelsRead);
    EXPECT_EQ(image.Pixels, AsChannels(source, c.channelsRead));

    const std::string file = dir / c.name;
    WriteFile(file, bytes);
    EXPECT_EQ(Output("identify -format '%m %w x %h %[channels]' '" + file + "'"), c.identify);
    EXPECT_EQ(ReferencePixels(file, c.channelsWritten), AsChannels(source, c.channelsWritten));
  }
}

TEST(ImageWriters, JpegReadsTheSameWithDjpegAndKeepsTheColours) {
  TempDir dir;
  // Smooth, so that the loss stays small next to a channel mix-up.
  TPixelImage source;
  source.Width = source.Height = 16;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      source.Pixels.insert(source.Pixels.end(), {static_cast<uint8_t>(x * 16), static_cast<uint8_t>(y * 16), 128});
  std::string bytes, why;
  ASSERT_TRUE(EncodeJPEG(source, 100, bytes, why)) << why;
  ASSERT_EQ(TextureFormatOfContent(Data(bytes), bytes.size()), TTextureFormat::JPG);
  TPixelImage image, reference;
  ASSERT_TRUE(DecodeImage(TTextureFormat::JPG, Data(bytes), bytes.size(), image, why)) << why;

  const std::string file = dir / "a.jpg";
  WriteFile(file, bytes);
  EXPECT_EQ(Output("identify -format '%m %w x %h %Q %[interlace] %[colorspace]' '" + file + "'"),
            "JPEG 16 x 16 100 None sRGB");
  ASSERT_TRUE(RunTool("djpeg -outfile '" + file + ".ppm' '" + file + "'"));
  ASSERT_TRUE(ReadPPM(file + ".ppm", reference));
  EXPECT_EQ(image.Pixels, reference.Pixels);

  // Lossy, but every channel in its place: red and blue swapped would be off
  // by 64 on average.
  ASSERT_EQ(image.Pixels.size(), source.Pixels.size());
  int error = 0;
  for (size_t i = 0; i < image.Pixels.size(); ++i) error += std::abs(image.Pixels[i] - source.Pixels[i]);
  EXPECT_LT(error / static_cast<int>(image.Pixels.size()), 4);
}

TEST(ImageWriters, RefuseWhatTheFileCannotHoldAndWriteEmptyImages) {
  TPixelImage twoChannels = Source(3);
  twoChannels.Channels = 2;
  TPixelImage cut = Source(4);
  cut.Pixels.pop_back();
  const std::vector<uint8_t> pixels(16 * 4);
  const std::pair<const char*, std::function<std::string()>> refused[] = {
      {"negative width", [&] { return BMPFileBytes(-1, 4, pixels); }},
      {"negative height", [&] { return TGAFileBytes(4, -1, pixels); }},
      {"wider than a TGA side", [&] { return TGAFileBytes(65536, 0, pixels); }},
      {"fewer pixels than the sides", [&] { return BMPFileBytes(5, 4, pixels); }},
      {"16-bit TGA", [&] { return TGAFileBytes(4, 4, pixels, 16); }},
      {"two channels", [&] { return EncodeTGA(twoChannels); }},
      {"image one byte short", [&] { return EncodeBMP(cut); }},
  };
  for (const auto& [name, write] : refused) EXPECT_THROW(write(), std::invalid_argument) << name;

  // A window shrunk to nothing still gives its (empty) screenshot file.
  EXPECT_EQ(BMPFileBytes(0, 0, {}).size(), 54u);
  EXPECT_EQ(TGAFileBytes(0, 3, {}).size(), 18u);
}

}  // namespace
