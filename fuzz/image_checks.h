// What every image decoder promises about a result, checked by the image
// harnesses: sides within the limit and exactly the pixel bytes they imply;
// and, for the formats the game also writes, that the written file decodes
// to the same image.
#pragma once
#include <string>

#include "render/image.h"

inline bool WellFormed(const TPixelImage& image) {
  return image.Width > 0 && image.Height > 0 && image.Width <= kMaxImageSide && image.Height <= kMaxImageSide &&
         (image.Channels == 3 || image.Channels == 4) && image.Pixels.size() == image.RowBytes() * image.Height;
}

// Decode(Encode(image)) gives back the image: sides, channels and pixels.
template <class Encode, class Decode>
bool WritesBackTheSame(const TPixelImage& image, Encode encode, Decode decode) {
  const std::string bytes = encode(image);
  TPixelImage again;
  std::string why;
  return decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), again, why) &&
         again.Width == image.Width && again.Height == image.Height && again.Channels == image.Channels &&
         again.Pixels == image.Pixels;
}
