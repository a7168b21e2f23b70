#include "pictures/MetafileDib.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include "pictures/ByteReader.h"
#include "pictures/PictureLimits.h"

namespace orb {
namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;

// How a 16- or 32-bit pixel's channels are packed: mask and shift per channel.
struct TChannelMasks {
  std::array<std::uint32_t, 3> Mask{};
  std::array<int, 3> Shift{};
  std::array<std::uint32_t, 3> Max{};
};

TChannelMasks MakeMasks(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  TChannelMasks masks;
  const std::uint32_t all[3] = {r, g, b};
  for (int i = 0; i < 3; ++i) {
    std::uint32_t m = all[i];
    int shift = 0;
    while (m && !(m & 1)) {
      m >>= 1;
      ++shift;
    }
    masks.Mask[i] = all[i];
    masks.Shift[i] = shift;
    masks.Max[i] = m;
  }
  return masks;
}

std::uint8_t Channel(std::uint32_t pixel, const TChannelMasks& masks, int i) {
  if (masks.Max[i] == 0) return 0;
  return std::uint8_t(std::uint64_t((pixel & masks.Mask[i]) >> masks.Shift[i]) * 255 / masks.Max[i]);
}

}  // namespace

QImage DecodeMetafileDib(const char* format, std::span<const std::uint8_t> info,
                         std::span<const std::uint8_t> bits, bool premultipliedAlpha) {
  TByteReader in(info, format);
  std::uint32_t headerSize = in.U32LE();
  std::int64_t width = 0, height = 0;
  int bitCount = 0;
  std::uint32_t compression = kBiRgb, colorsUsed = 0;
  if (headerSize == 12) {  // BITMAPCOREHEADER
    width = in.U16LE();
    height = in.I16LE();
    in.Skip(2);
    bitCount = in.U16LE();
  } else if (headerSize >= 40 && headerSize <= 124) {
    width = in.I32LE();
    height = in.I32LE();
    in.Skip(2);
    bitCount = in.U16LE();
    compression = in.U32LE();
    in.Skip(12);
    colorsUsed = in.U32LE();
    in.Skip(4);
  } else {
    in.Fail("bad bitmap header");
  }
  bool topDown = height < 0;
  height = std::llabs(height);
  if (width <= 0 || height <= 0) in.Fail("bad bitmap dimensions");
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
    in.Fail("bad bitmap bits per pixel");
  bool masked = compression == kBiBitfields && (bitCount == 16 || bitCount == 32);
  if (compression != kBiRgb && !masked) in.Fail("unsupported bitmap compression");

  TChannelMasks masks = bitCount == 16 ? MakeMasks(0x7C00, 0x03E0, 0x001F) : MakeMasks(0xFF0000, 0xFF00, 0xFF);
  if (masked) {
    // The masks follow a 40-byte header; larger headers hold them inside.
    in.Seek(40);
    std::uint32_t r = in.U32LE(), g = in.U32LE(), b = in.U32LE();
    masks = MakeMasks(r, g, b);
    in.Seek(headerSize == 40 ? 52 : headerSize);
  } else {
    in.Seek(headerSize);
  }

  std::vector<QRgb> palette;
  if (bitCount <= 8) {
    std::uint32_t count = colorsUsed == 0 || colorsUsed > (1u << bitCount) ? (1u << bitCount) : colorsUsed;
    int entrySize = headerSize == 12 ? 3 : 4;
    palette.reserve(1u << bitCount);
    for (std::uint32_t i = 0; i < count; ++i) {
      auto entry = in.Bytes(std::size_t(entrySize));
      palette.push_back(qRgb(entry[2], entry[1], entry[0]));
    }
    // Indices past a short colour table show black instead of reading beyond it.
    palette.resize(1u << bitCount, qRgb(0, 0, 0));
  }
  if (bits.empty()) bits = info.subspan(in.Position());

  // Rows are padded to four bytes; the whole pixel block must be present
  // before anything is allocated.
  std::int64_t stride = ((width * bitCount + 31) / 32) * 4;
  if (width * height > kMaxPicturePixels) in.Fail("picture too large");
  if (stride * height > std::int64_t(bits.size())) in.Fail("unexpected end of file");

  bool alpha = premultipliedAlpha && bitCount == 32 && !masked;
  QImage image(int(width), int(height), alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
  for (std::int64_t y = 0; y < height; ++y) {
    const std::uint8_t* src = bits.data() + std::size_t((topDown ? y : height - 1 - y) * stride);
    auto* dst = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
    switch (bitCount) {
      case 1:
      case 4:
      case 8: {
        int perByte = 8 / bitCount;
        std::uint32_t mask = (1u << bitCount) - 1;
        for (std::int64_t x = 0; x < width; ++x) {
          int shift = 8 - bitCount * int(x % perByte + 1);
          dst[x] = palette[(src[x / perByte] >> shift) & mask];
        }
        break;
      }
      case 16:
        for (std::int64_t x = 0; x < width; ++x) {
          std::uint32_t p = std::uint32_t(src[2 * x] | (src[2 * x + 1] << 8));
          dst[x] = qRgb(Channel(p, masks, 0), Channel(p, masks, 1), Channel(p, masks, 2));
        }
        break;
      case 24:
        for (std::int64_t x = 0; x < width; ++x) dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
        break;
      case 32:
        if (alpha) {
          // Premultiplied colours cannot exceed their alpha.
          for (std::int64_t x = 0; x < width; ++x) {
            int a = src[4 * x + 3];
            dst[x] = qRgba(std::min<int>(src[4 * x + 2], a), std::min<int>(src[4 * x + 1], a), std::min<int>(src[4 * x], a), a);
          }
        } else if (!masked) {
          for (std::int64_t x = 0; x < width; ++x) dst[x] = qRgb(src[4 * x + 2], src[4 * x + 1], src[4 * x]);
        } else {
          for (std::int64_t x = 0; x < width; ++x) {
            std::uint32_t p = std::uint32_t(src[4 * x]) | (std::uint32_t(src[4 * x + 1]) << 8) |
                              (std::uint32_t(src[4 * x + 2]) << 16) | (std::uint32_t(src[4 * x + 3]) << 24);
            dst[x] = qRgb(Channel(p, masks, 0), Channel(p, masks, 1), Channel(p, masks, 2));
          }
        }
        break;
    }
  }
  return image;
}

}  // namespace orb
