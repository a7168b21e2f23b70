#pragma once
// TEpsDecoder: EPS pictures (eps) by their preview; the PostScript itself is
// not interpreted.

#include <cstdint>
#include <span>

#include "pictures/Bitmap.h"

namespace orb {

class TEpsDecoder {
 public:
  // Decodes the TIFF preview of a DOS EPS binary file, or else its WMF
  // preview. A file without a preview fails with "EPS: no preview picture".
  // Throws EPictureError.
  static TBitmap Decode(std::span<const std::uint8_t> bytes);
};

}  // namespace orb
