// What every image decoder promises about a result, checked by the image
// harnesses: sides within the limit and exactly the pixel bytes they imply.
#pragma once
#include "render/image.h"

inline bool WellFormed(const TPixelImage& image) {
  return image.Width > 0 && image.Height > 0 && image.Width <= kMaxImageSide && image.Height <= kMaxImageSide &&
         (image.Channels == 3 || image.Channels == 4) && image.Pixels.size() == image.RowBytes() * image.Height;
}
