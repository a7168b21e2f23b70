#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "pictures/PictureError.h"
#include "pictures/PictureFile.h"

using namespace orb;

namespace {

void Put16(std::vector<std::uint8_t>& out, std::size_t at, int v) {
  out[at] = std::uint8_t(v >> 8);
  out[at + 1] = std::uint8_t(v);
}

// RLE of one byte plane by the format's description: a count byte n >= 0
// repeats the next byte n + 1 times, n < 0 is followed by -n literal bytes.
std::vector<std::uint8_t> EncodeRuns(const std::vector<std::uint8_t>& plane) {
  std::vector<std::uint8_t> out;
  std::size_t i = 0;
  while (i < plane.size()) {
    std::size_t run = 1;
    while (i + run < plane.size() && run < 128 && plane[i + run] == plane[i]) ++run;
    if (run >= 2) {
      out.push_back(std::uint8_t(run - 1));
      out.push_back(plane[i]);
      i += run;
      continue;
    }
    std::size_t literal = 1;
    while (i + literal < plane.size() && literal < 128 &&
           !(i + literal + 1 < plane.size() && plane[i + literal] == plane[i + literal + 1]))
      ++literal;
    out.push_back(std::uint8_t(-int(literal)));
    out.insert(out.end(), plane.begin() + std::ptrdiff_t(i), plane.begin() + std::ptrdiff_t(i + literal));
    i += literal;
  }
  return out;
}

struct TRlaLayout {
  int Width = 4, Height = 3;
  int Colour = 3, Matte = 1;
  int Bits = 8;
  int Left = 10, Bottom = 20;  // active window origin
};

// Sample (channel c, column x, picture row y from the top) of the test picture.
unsigned Sample(int c, int x, int y, int bits) {
  unsigned max = (1u << bits) - 1;
  return (unsigned(c * 70 + x * 30 + y * 11) * 257u) & max;
}

// An RLA file: 740-byte big-endian header, scanline offset table, then the
// scanlines bottom-up, each channel as a 16-bit length and its runs. Samples
// deeper than 8 bits are stored as byte planes, most significant first.
std::vector<std::uint8_t> MakeRla(const TRlaLayout& layout) {
  std::vector<std::uint8_t> out(740, 0);
  Put16(out, 0, 0);
  Put16(out, 2, layout.Left + layout.Width + 5);
  Put16(out, 4, 0);
  Put16(out, 6, layout.Bottom + layout.Height + 5);
  Put16(out, 8, layout.Left);
  Put16(out, 10, layout.Left + layout.Width - 1);
  Put16(out, 12, layout.Bottom);
  Put16(out, 14, layout.Bottom + layout.Height - 1);
  Put16(out, 18, layout.Bits > 8 ? 1 : 0);
  Put16(out, 20, layout.Colour);
  Put16(out, 22, layout.Matte);
  Put16(out, 26, -2);  // revision
  std::memcpy(out.data() + 30, "2.2", 3);
  Put16(out, 658, layout.Bits);
  Put16(out, 660, layout.Bits > 8 ? 1 : 0);
  Put16(out, 662, layout.Bits);
  std::size_t table = out.size();
  out.resize(out.size() + std::size_t(layout.Height) * 4);
  const int bytes = layout.Bits > 8 ? 2 : 1;
  for (int row = 0; row < layout.Height; ++row) {
    std::uint32_t offset = std::uint32_t(out.size());
    for (int i = 0; i < 4; ++i)
      out[table + std::size_t(row) * 4 + std::size_t(i)] = std::uint8_t(offset >> (24 - 8 * i));
    int y = layout.Height - 1 - row;
    for (int c = 0; c < layout.Colour + layout.Matte; ++c) {
      std::vector<std::uint8_t> record;
      for (int b = bytes - 1; b >= 0; --b) {
        std::vector<std::uint8_t> plane;
        for (int x = 0; x < layout.Width; ++x) plane.push_back(std::uint8_t(Sample(c, x, y, layout.Bits) >> (8 * b)));
        std::vector<std::uint8_t> runs = EncodeRuns(plane);
        record.insert(record.end(), runs.begin(), runs.end());
      }
      out.push_back(std::uint8_t(record.size() >> 8));
      out.push_back(std::uint8_t(record.size()));
      out.insert(out.end(), record.begin(), record.end());
    }
  }
  return out;
}

const std::uint8_t* PixelAt(const TBitmap& bitmap, int x, int y) { return bitmap.Row(y).data() + x * 4; }

}  // namespace

TEST(Rla, RgbWithMatteBottomUp) {
  TRlaLayout layout;
  layout.Width = 300;  // long literal and repeat runs split at 128
  TBitmap bitmap = DecodePicture(MakeRla(layout), "rla");
  ASSERT_EQ(bitmap.Width, 300);
  ASSERT_EQ(bitmap.Height, 3);
  for (int y = 0; y < 3; ++y)
    for (int x : {0, 1, 127, 128, 299}) {
      const std::uint8_t* p = PixelAt(bitmap, x, y);
      for (int c = 0; c < 4; ++c) EXPECT_EQ(p[c], Sample(c, x, y, 8)) << x << "," << y << " channel " << c;
    }
}

TEST(Rla, RpfSixteenBitKeepsTheHighByte) {
  TRlaLayout layout;
  layout.Bits = 16;
  TBitmap bitmap = DecodePicture(MakeRla(layout), "RPF");
  for (int c = 0; c < 4; ++c) EXPECT_EQ(PixelAt(bitmap, 3, 2)[c], Sample(c, 3, 2, 16) >> 8);
}

TEST(Rla, GreyWithoutMatteIsOpaque) {
  TRlaLayout layout;
  layout.Colour = 1;
  layout.Matte = 0;
  TBitmap bitmap = DecodePicture(MakeRla(layout), "rla");
  const std::uint8_t* p = PixelAt(bitmap, 2, 1);
  EXPECT_EQ(p[0], Sample(0, 2, 1, 8));
  EXPECT_EQ(p[2], Sample(0, 2, 1, 8));
  EXPECT_EQ(p[3], 255);
}

TEST(Rla, TenBitSamplesAreRescaled) {
  TRlaLayout layout;
  layout.Bits = 10;
  TBitmap bitmap = DecodePicture(MakeRla(layout), "rla");
  unsigned v = Sample(1, 1, 1, 10);
  EXPECT_EQ(PixelAt(bitmap, 1, 1)[1], (v * 255 + 511) / 1023);
}

TEST(Rla, DamagedFilesFailCleanly) {
  std::vector<std::uint8_t> good = MakeRla(TRlaLayout{});
  for (std::size_t size : {std::size_t(0), std::size_t(700), std::size_t(745), good.size() - 1}) {
    SCOPED_TRACE(size);
    EXPECT_THROW(DecodePicture(std::span(good).first(size), "rla"), EPictureError);
  }
  std::vector<std::uint8_t> bad = good;
  bad[746] = 0xFF;  // first scanline offset far past the end
  EXPECT_THROW(DecodePicture(bad, "rla"), EPictureError);
  bad = good;
  Put16(bad, 10, 9);  // active window right of left: no columns
  EXPECT_THROW(DecodePicture(bad, "rla"), EPictureError);
  bad = good;
  Put16(bad, 10, 30000);  // a wide picture the file cannot hold
  EXPECT_THROW(DecodePicture(bad, "rla"), EPictureError);
  bad = good;
  Put16(bad, 658, 32);  // 32-bit samples are not read
  EXPECT_THROW(DecodePicture(bad, "rla"), EPictureError);
  bad = good;
  // The first record's runs stop short of the row: its length is cut to 1.
  std::size_t record = std::size_t(bad[740] << 24 | bad[741] << 16 | bad[742] << 8 | bad[743]);
  bad[record] = 0;
  bad[record + 1] = 1;
  EXPECT_THROW(DecodePicture(bad, "rla"), EPictureError);
}
