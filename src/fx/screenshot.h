// Screenshots: the picture of the game window saved as a BMP, TGA or JPEG file.
// The files are made by the image writers of render/ (image_writers.h,
// jpeg_codec.h); naming, writing and the conversion are plain C++
// (screenshot.cpp), reading the pixels back from OpenGL is in
// screenshot_draw.cpp.
#pragma once
#include <string>

// "Screenshots\Screen" + n + ".jpg" for the smallest n >= 0 whose file does not
// exist yet (relative to the working directory, or under the user's data
// directory when the game does not write beside itself, paths.h), so gaps are
// filled first.
std::string NextScreenshotName();

// Creates the file's directory when missing and writes the bytes; a failure is
// logged and gives false.
bool WriteScreenshotFile(const std::string& fileName, const std::string& bytes);

// FileName with its extension (after the last '.' of the last path component,
// '\' or '/') replaced by `extension`, or with `extension` appended.
std::string ChangeFileExt(const std::string& fileName, const std::string& extension);

// Loads the BMP FileName and writes it as a JPEG (baseline, colour) of the same
// name with the extension ".jpg" at the given quality (0..100). A failure is
// logged and gives false.
bool ConvertBMPToJPG(const std::string& fileName, int quality);

// By the last three characters of FileName: "bmp", "tga" or "jpg" writes that
// kind of file from the current viewport; any other ending writes nothing.
// Failures are logged, never raised. Needs a current OpenGL context.
void SaveScreenshot(const std::string& fileName);
bool WriteBMPScreenshot(const std::string& fileName);
bool WriteTGAScreenshot(const std::string& fileName);
// Writes a BMP beside FileName, converts it with ConvertBMPToJPG at quality
// 100 and deletes it.
bool WriteJPGScreenshot(const std::string& fileName);
