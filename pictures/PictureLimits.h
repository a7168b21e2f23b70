#pragma once
// Limits that every decoder checks before it allocates pixels.

#include <cstdint>

#include "pictures/Bitmap.h"

namespace orb {

// No picture larger than this is decoded: 100 megapixels.
inline constexpr std::int64_t kMaxPicturePixels = 100'000'000;

// Checks width and height (computed in 64 bits, so header fields cannot
// overflow) against the cap and returns a bitmap of that size, all pixels
// transparent black. Fails with "<format>: bad dimensions" for zero or
// negative sizes and "<format>: picture too large" above the cap.
TBitmap AllocateBitmap(const char* format, std::int64_t width, std::int64_t height);

}  // namespace orb
