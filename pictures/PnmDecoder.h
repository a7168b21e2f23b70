#pragma once
// TPnmDecoder: the portable any-map formats (.pbm, .pgm, .ppm).

#include <cstdint>
#include <span>

#include "pictures/Bitmap.h"

namespace orb {

class TPnmDecoder {
 public:
  // Decodes P1 to P6, plain or binary, with any maxval up to 65535; the file's
  // magic number, not its extension, says which. Throws EPictureError.
  static TBitmap Decode(std::span<const std::uint8_t> bytes);
};

}  // namespace orb
