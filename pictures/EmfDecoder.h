#pragma once
// Enhanced Metafile (.emf), played at its natural size onto a white
// background: the header's frame (hundredths of a millimetre) taken at
// 96 dpi, or its device bounds when the frame is empty.

#include <cstdint>
#include <span>

#include "pictures/Bitmap.h"

namespace orb {

// Text records need a QGuiApplication for Qt's fonts (the host has one);
// without it they are skipped. Painting needs Qt, so the decoder lives in
// orb_metafiles; programs without it get WithoutMetafiles.cpp's, which fails.
class TEmfDecoder {
 public:
  // Throws EPictureError ("EMF: ...").
  static TBitmap Decode(std::span<const std::uint8_t> bytes);
};

}  // namespace orb
