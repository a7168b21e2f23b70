#include "pictures/PictureLimits.h"

#include <string>

#include "pictures/PictureError.h"

namespace orb {

TBitmap AllocateBitmap(const char* format, std::int64_t width, std::int64_t height, TInitialPixels initial) {
  if (width <= 0 || height <= 0) throw EPictureError(std::string(format) + ": bad dimensions");
  if (width > kMaxPicturePixels || height > kMaxPicturePixels || width * height > kMaxPicturePixels)
    throw EPictureError(std::string(format) + ": picture too large");
  TBitmap bitmap;
  bitmap.Width = int(width);
  bitmap.Height = int(height);
  const std::size_t bytes = std::size_t(width * height) * 4;
  if (initial == TInitialPixels::Unset)
    bitmap.Pixels.resize(bytes);
  else
    bitmap.Pixels.assign(bytes, 0);
  return bitmap;
}

}  // namespace orb
