// Text rasterised with FreeType from the free fonts Debian ships, for the
// font images and for lettering in pictures. Font files are found below
// /usr/share/fonts (fonts-dejavu-core).
#pragma once
#include "canvas.h"

#include <cstdint>
#include <memory>
#include <string>

struct TGlyphBitmap {
  int Width = 0, Height = 0;  // coverage bitmap size
  int Left = 0, Top = 0;      // offset of the bitmap from the pen, top above the baseline
  int Advance = 0;            // pixels
  std::vector<uint8_t> Coverage;
};

class TFontFace {
 public:
  // fileName below /usr/share/fonts/truetype/, e.g. "dejavu/DejaVuSans.ttf".
  TFontFace(const std::string& fileName, int pixelHeight);
  ~TFontFace();
  TFontFace(const TFontFace&) = delete;
  TFontFace& operator=(const TFontFace&) = delete;

  bool HasGlyph(uint32_t codePoint) const;
  TGlyphBitmap Render(uint32_t codePoint) const;
  int Ascender() const;   // pixels above the baseline
  int Descender() const;  // pixels below (positive)
  // Draws a line of text (Windows-1252 bytes) with its baseline at y.
  void DrawText(TCanvas& canvas, int x, int baseline, const std::string& text, const TRGBA& colour) const;
  int TextWidth(const std::string& text) const;

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl;
};

// The Unicode code point of a Windows-1252 byte (0 for the five unused codes).
uint32_t Cp1252ToUnicode(uint8_t c);
