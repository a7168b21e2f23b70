#pragma once
// TTgaDecoder: Truevision Targa pictures (.tga, .win, .vst, .vda, .icb).

#include <cstdint>
#include <span>

#include "pictures/Bitmap.h"

namespace orb {

class TTgaDecoder {
 public:
  // Decodes colour-mapped, true-colour and grey pictures, raw or RLE, in any
  // of the four origins. Throws EPictureError.
  static TBitmap Decode(std::span<const std::uint8_t> bytes);
};

}  // namespace orb
