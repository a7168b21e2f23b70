#pragma once
// Dr. Halo (.cut): run-length encoded 8-bit colour indices, coloured by the
// Dr. Halo palette file of the same base name (.pal) beside it, or shown as
// a grey ramp when there is none.

#include <cstdint>
#include <filesystem>
#include <span>

#include "pictures/Bitmap.h"

namespace orb {

class TCutDecoder {
 public:
  // Decodes bytes; path is the file they came from (may be empty), used
  // only to find the palette file. Throws EPictureError.
  static TBitmap Decode(std::span<const std::uint8_t> bytes, const std::filesystem::path& path);
};

}  // namespace orb
