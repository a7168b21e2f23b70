#pragma once
// Device-independent bitmaps embedded in WMF and EMF records (StretchDIBits,
// BitBlt, pattern brushes): a BITMAPINFO header, an optional colour table
// and the pixel rows, decoded into a Qt image for the metafile player.

#include <cstdint>
#include <span>

#include <QImage>

namespace orb {

// Decodes a DIB from its info block (header and colour table) and its pixel
// bits; for WMF both lie in one span, so bits may be empty and then follow
// the colour table. Supports uncompressed 1/4/8/16/24/32 bits per pixel
// (BI_RGB, and BI_BITFIELDS for 16/32). The fourth byte of 32-bit pixels is
// ignored unless premultipliedAlpha says it is alpha (as for alpha
// blending). Fails with "<format>: ..." on a damaged or unsupported header,
// or when the bits are too short.
QImage DecodeMetafileDib(const char* format, std::span<const std::uint8_t> info,
                         std::span<const std::uint8_t> bits, bool premultipliedAlpha = false);

}  // namespace orb
