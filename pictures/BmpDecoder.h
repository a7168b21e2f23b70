#pragma once
// TBmpDecoder: Windows and OS/2 bitmaps (.bmp, .dib, .rle), with or without
// the 14-byte file header, and the bitmap images inside icons.

#include <cstdint>
#include <span>

#include "pictures/Bitmap.h"

namespace orb {

class TBmpDecoder {
 public:
  // Decodes a bitmap file. A file that starts at the info header (a DIB) is
  // recognised by its content, whatever its extension. Throws EPictureError.
  static TBitmap Decode(std::span<const std::uint8_t> bytes);

  // Decodes the bitmap of an icon entry: a DIB whose height counts the colour
  // rows and the rows of the AND mask that follows them. The mask gives the
  // transparency unless 32-bit pixels carry their own alpha.
  static TBitmap DecodeIconImage(std::span<const std::uint8_t> bytes);
};

}  // namespace orb
