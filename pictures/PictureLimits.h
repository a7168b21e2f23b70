#pragma once
// Limits that every decoder checks before it allocates pixels.

#include <cstdint>

#include "pictures/Bitmap.h"

namespace orb {

// No picture larger than this is decoded: 100 megapixels.
inline constexpr std::int64_t kMaxPicturePixels = 100'000'000;

// What the pixels of a new bitmap hold.
enum class TInitialPixels {
  TransparentBlack,  // for decoders that may leave pixels unwritten
  Unset,             // for decoders that write every pixel
};

// Checks width and height (computed in 64 bits, so header fields cannot
// overflow) against the cap and returns a bitmap of that size. Fails with
// "<format>: bad dimensions" for zero or negative sizes and
// "<format>: picture too large" above the cap.
TBitmap AllocateBitmap(const char* format, std::int64_t width, std::int64_t height,
                       TInitialPixels initial = TInitialPixels::TransparentBlack);

}  // namespace orb
