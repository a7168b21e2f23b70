#pragma once
// TTiffDecoder: TIFF pictures (tif, tiff) through libtiff.

#include <cstdint>
#include <span>

#include "pictures/Bitmap.h"

namespace orb {

class TTiffDecoder {
 public:
  // Decodes the first page, of any compression libtiff reads, turned upright
  // by its Orientation tag. Throws EPictureError ("TIFF: ...").
  static TBitmap Decode(std::span<const std::uint8_t> bytes);
  // Whether the bytes start with a TIFF or BigTIFF header, of either byte order.
  static bool IsTiff(std::span<const std::uint8_t> bytes);
};

}  // namespace orb
