// Image fixtures made at test time with ImageMagick and libjpeg's tools, and
// the pixels those tools decode from them, to compare the game's decoders with.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "render/image.h"

// Runs a shell command; false when it fails (the output goes to the test log).
bool RunTool(const std::string& command);

// A 7 x 5 picture with a different colour in every pixel (odd width: rows of
// 21 bytes need padding in a BMP), written as a binary PPM; its R, G, B bytes,
// top row first.
std::vector<uint8_t> SourcePixels();
std::string WriteSourcePPM(const std::string& dir);

// `convert <source> <arguments> <out>`; returns out, or "" when convert fails.
std::string Convert(const std::string& source, const std::string& arguments, const std::string& out);

// ImageMagick's decoding of a file as R, G, B (or R, G, B, A) bytes, top row
// first. Oriented as the file declares: ImageMagick keeps a TGA's rows in
// stored order and only records the origin, and it writes TGA files with the
// top row first while declaring the bottom-left origin.
std::vector<uint8_t> ReferencePixels(const std::string& file, int channels);

// Reads back a binary PPM (as djpeg writes it).
bool ReadPPM(const std::string& file, TPixelImage& image);

std::string Bytes(const std::string& file);
const uint8_t* Data(const std::string& bytes);
