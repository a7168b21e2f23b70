#pragma once
// Windows Metafile (.wmf), with or without the placeable header, played at
// its natural size onto a white background. The placeable header's bounding
// box gives the size (its units per inch taken at 96 dpi); without it, the
// first window extent, or else the extent of what the records draw.

#include <cstdint>
#include <span>

#include "pictures/Bitmap.h"

namespace orb {

// Text records need a QGuiApplication for Qt's fonts (the host has one);
// without it they are skipped. Painting needs Qt, so the decoder lives in
// orb_metafiles; programs without it get WithoutMetafiles.cpp's, which fails.
class TWmfDecoder {
 public:
  // Throws EPictureError ("WMF: ...").
  static TBitmap Decode(std::span<const std::uint8_t> bytes);
};

}  // namespace orb
