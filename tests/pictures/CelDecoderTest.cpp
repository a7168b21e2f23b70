#include <gtest/gtest.h>

#include "pictures/CelDecoder.h"
#include "tests/pictures/FamilyTestSupport.h"

using namespace orb;
using namespace orb::test;

namespace {

// The 32-byte header, little-endian: magic 0x9119, width, height, x, y,
// bits per pixel (8), compression (0), image size in bytes, 16 reserved
// bytes; then 256 palette entries of three 6-bit values and the pixels.
TBytes CelFile(int width, int height, const TBytes& palette, const TBytes& pixels, unsigned magic = 0x9119,
               int depth = 8, int compression = 0, std::int64_t imageSize = -1) {
  TBytes out;
  PutU16LE(out, magic);
  PutU16LE(out, unsigned(width));
  PutU16LE(out, unsigned(height));
  PutU16LE(out, 12);
  PutU16LE(out, 34);
  out.push_back(std::uint8_t(depth));
  out.push_back(std::uint8_t(compression));
  PutU32LE(out, imageSize < 0 ? std::uint32_t(width) * std::uint32_t(height) : std::uint32_t(imageSize));
  out.resize(32, 0);
  TBytes fullPalette = palette;
  fullPalette.resize(768, 0);
  out.insert(out.end(), fullPalette.begin(), fullPalette.end());
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

}  // namespace

TEST(Cel, SixBitPaletteIsScaledToEightBitsRounded) {
  // Entry 0: 0, 63, 32; entry 1: 1, 62, 31. 63 is full intensity.
  TBytes file = CelFile(2, 1, {0, 63, 32, 1, 62, 31}, {0, 1});
  TBitmap bitmap = DecodePicture(file, "cel");
  EXPECT_EQ(PixelAt(bitmap, 0, 0), (std::vector<int>{0, 255, 130, 255}));  // 32 * 255 / 63 = 129.5
  EXPECT_EQ(PixelAt(bitmap, 1, 0), (std::vector<int>{4, 251, 125, 255}));  // 4.05, 250.95, 125.48
}

TEST(Cel, PixelsAreRowsTopDownAndPicSharesTheFormat) {
  TBytes palette(768, 0);
  for (int i = 0; i < 6; ++i) palette[std::size_t(i) * 3] = std::uint8_t(i * 10);
  TBytes file = CelFile(3, 2, palette, {0, 1, 2, 3, 4, 5});
  TBitmap bitmap = DecodePicture(file, "PIC");
  ASSERT_EQ(bitmap.Width, 3);
  ASSERT_EQ(bitmap.Height, 2);
  EXPECT_EQ(PixelAt(bitmap, 2, 0)[0], (20 * 255 + 31) / 63);
  EXPECT_EQ(PixelAt(bitmap, 0, 1)[0], (30 * 255 + 31) / 63);
  EXPECT_EQ(PixelAt(bitmap, 2, 1)[0], (50 * 255 + 31) / 63);
}

TEST(Cel, OtherMagicsAndHeadersFail) {
  auto decode = [](const TBytes& bytes) { DecodePicture(bytes, "cel"); };
  // An Animator Pro cel is a flic; its header does not start with 0x9119.
  EXPECT_EQ(FailureOf([&] { decode(CelFile(1, 1, {}, {0}, 0xaf12)); }), "CEL: not an Animator cel or picture");
  EXPECT_EQ(FailureOf([&] { decode(TBytes{0x19}); }), "CEL: not an Animator cel or picture");
  EXPECT_EQ(FailureOf([&] { decode(CelFile(1, 1, {}, {0}, 0x9119, 4)); }), "CEL: bad bits per pixel");
  EXPECT_EQ(FailureOf([&] { decode(CelFile(1, 1, {}, {0}, 0x9119, 8, 1)); }), "CEL: unsupported compression");
  EXPECT_EQ(FailureOf([&] { decode(CelFile(2, 2, {}, {0, 0, 0, 0}, 0x9119, 8, 0, 3)); }), "CEL: bad image size");
  EXPECT_EQ(FailureOf([&] { decode(CelFile(0, 2, {}, {})); }), "CEL: bad dimensions");
  EXPECT_EQ(FailureOf([&] { decode(CelFile(2, 2, {}, {0, 0, 0})); }), "CEL: unexpected end of file");
  // The largest header with a one-pixel file fails before any pixel buffer.
  EXPECT_EQ(FailureOf([&] { decode(CelFile(65535, 65535, {}, {0})); }), "CEL: unexpected end of file");
  TBytes headerOnly = CelFile(1, 1, {}, {});
  headerOnly.resize(20);
  EXPECT_EQ(FailureOf([&] { decode(headerOnly); }), "CEL: unexpected end of file");
}
