#include <gtest/gtest.h>

#include "pictures/SgiDecoder.h"
#include "tests/pictures/FamilyTestSupport.h"

using namespace orb;
using namespace orb::test;

namespace {

// The 512-byte header: magic 474, storage (1 = RLE), bytes per channel,
// dimension, x, y and z sizes, minimum and maximum pixel values, a dummy
// word, an 80-byte name, the colour map kind (0 = normal) and padding.
TBytes SgiHeader(bool rle, int bytesPerChannel, int dimension, int width, int height, int channels,
                 std::uint32_t colourMap = 0) {
  TBytes out;
  PutU16BE(out, 474);
  out.push_back(rle ? 1 : 0);
  out.push_back(std::uint8_t(bytesPerChannel));
  PutU16BE(out, unsigned(dimension));
  PutU16BE(out, unsigned(width));
  PutU16BE(out, unsigned(height));
  PutU16BE(out, unsigned(channels));
  PutU32BE(out, 0);
  PutU32BE(out, bytesPerChannel == 1 ? 255 : 65535);
  PutU32BE(out, 0);
  out.resize(out.size() + 80, 0);
  PutU32BE(out, colourMap);
  out.resize(512, 0);
  return out;
}

// An RLE file whose rows (channel by channel, bottom row first) are given
// already encoded; the offset and length tables are built from them.
TBytes SgiRle(int bytesPerChannel, int dimension, int width, int height, int channels, const std::vector<TBytes>& rows) {
  TBytes out = SgiHeader(true, bytesPerChannel, dimension, width, height, channels);
  std::uint32_t offset = std::uint32_t(512 + rows.size() * 8);
  for (const TBytes& row : rows) {
    PutU32BE(out, offset);
    offset += std::uint32_t(row.size());
  }
  for (const TBytes& row : rows) PutU32BE(out, std::uint32_t(row.size()));
  for (const TBytes& row : rows) out.insert(out.end(), row.begin(), row.end());
  return out;
}

TBitmap DecodeSgi(const TBytes& bytes) { return DecodePicture(bytes, "sgi"); }

}  // namespace

TEST(Sgi, RleRgb) {
  ORB_REQUIRE_CORPUS();
  ExpectMatchesReference("sgi/hopper.sgi");
}

TEST(Sgi, VerbatimRgbGreyAndRgba) {
  ORB_REQUIRE_CORPUS();
  ExpectMatchesReference("sgi/hopper.rgb");
  ExpectMatchesReference("sgi/hopper.bw");
  ExpectMatchesReference("sgi/transparent.sgi");
}

TEST(Sgi, SixteenBitsKeepTheHighByte) {
  ORB_REQUIRE_CORPUS();
  ExpectMatchesReference("sgi/hopper16.rgb");
  ExpectMatchesReference("sgi/tv16.sgi");
}

TEST(Sgi, RgbaExtensionDecodesTheTransparentSample) {
  ORB_REQUIRE_CORPUS();
  std::ifstream in(PictureCorpusDir() / "sgi/transparent.sgi", std::ios::binary);
  TBytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  TBitmap bitmap = DecodePicture(bytes, "RGBA");
  TBitmap reference = ReadReferencePng(PictureCorpusDir() / "sgi/transparent.sgi.ref.png");
  EXPECT_EQ(MaxChannelDifference(bitmap, reference), 0);
  bool anyTransparent = false;
  for (std::size_t i = 3; i < bitmap.Pixels.size(); i += 4) anyTransparent |= bitmap.Pixels[i] < 255;
  EXPECT_TRUE(anyTransparent);
}

TEST(Sgi, DamagedFilesFail) {
  ORB_REQUIRE_CORPUS();
  ExpectDamagedFilesFail("sgi", "sgi");
}

TEST(Sgi, RowsAreStoredBottomUp) {
  // 1x2 grey, verbatim: the first stored row is the bottom one.
  TBytes file = SgiHeader(false, 1, 2, 1, 2, 1);
  PutBytes(file, {10, 200});
  TBitmap bitmap = DecodeSgi(file);
  EXPECT_EQ(PixelAt(bitmap, 0, 0), (std::vector<int>{200, 200, 200, 255}));
  EXPECT_EQ(PixelAt(bitmap, 0, 1), (std::vector<int>{10, 10, 10, 255}));
}

TEST(Sgi, GreyWithAlphaRle) {
  // 3x1, two channels: grey as a literal of three, alpha as a run of three.
  TBytes file = SgiRle(1, 3, 3, 1, 2, {{0x83, 5, 6, 7, 0x00}, {0x03, 128, 0x00}});
  TBitmap bitmap = DecodeSgi(file);
  EXPECT_EQ(PixelAt(bitmap, 0, 0), (std::vector<int>{5, 5, 5, 128}));
  EXPECT_EQ(PixelAt(bitmap, 2, 0), (std::vector<int>{7, 7, 7, 128}));
}

TEST(Sgi, SixteenBitRleUsesWordsForControlAndValues) {
  // 4x1 grey: a literal of two words, then a run of two, then the end word.
  TBytes file = SgiRle(2, 2, 4, 1, 1, {{0x00, 0x82, 0x12, 0x34, 0xab, 0xcd, 0x00, 0x02, 0x80, 0x01, 0x00, 0x00}});
  TBitmap bitmap = DecodeSgi(file);
  EXPECT_EQ(PixelAt(bitmap, 0, 0)[0], 0x12);
  EXPECT_EQ(PixelAt(bitmap, 1, 0)[0], 0xab);
  EXPECT_EQ(PixelAt(bitmap, 2, 0)[0], 0x80);
  EXPECT_EQ(PixelAt(bitmap, 3, 0)[0], 0x80);
}

TEST(Sgi, OneDimensionalImageIsOneRowWhateverTheOtherSizes) {
  TBytes file = SgiHeader(false, 1, 1, 3, 99, 7);
  PutBytes(file, {1, 2, 3});
  TBitmap bitmap = DecodeSgi(file);
  EXPECT_EQ(bitmap.Height, 1);
  EXPECT_EQ(PixelAt(bitmap, 2, 0), (std::vector<int>{3, 3, 3, 255}));
}

TEST(Sgi, RowsMaySharePackedData) {
  // Both rows of a 2x2 grey image point at one encoded row.
  TBytes file = SgiHeader(true, 1, 2, 2, 2, 1);
  for (int row = 0; row < 2; ++row) PutU32BE(file, 512 + 16);
  for (int row = 0; row < 2; ++row) PutU32BE(file, 3);
  PutBytes(file, {0x02, 42, 0x00});
  TBitmap bitmap = DecodeSgi(file);
  EXPECT_EQ(PixelAt(bitmap, 1, 0)[0], 42);
  EXPECT_EQ(PixelAt(bitmap, 0, 1)[0], 42);
}

TEST(Sgi, RleTablesAreCheckedAgainstTheFile) {
  TBytes good = SgiRle(1, 2, 2, 1, 1, {{0x02, 9, 0x00}});
  TBytes pastEnd = good;
  pastEnd[512 + 3] = 0xff;  // the row's offset now points past the file
  EXPECT_EQ(FailureOf([&] { DecodeSgi(pastEnd); }), "SGI: unexpected end of file");
  TBytes longLength = good;
  longLength[512 + 7] = 200;  // the row's length runs past the file
  EXPECT_EQ(FailureOf([&] { DecodeSgi(longLength); }), "SGI: unexpected end of file");
  TBytes truncatedTables = SgiHeader(true, 1, 2, 2, 1000, 1);
  EXPECT_EQ(FailureOf([&] { DecodeSgi(truncatedTables); }), "SGI: unexpected end of file");
}

TEST(Sgi, RunsMustStayInsideTheRow) {
  EXPECT_EQ(FailureOf([&] { DecodeSgi(SgiRle(1, 2, 2, 1, 1, {{0x03, 9, 0x00}})); }), "SGI: run past end of row");
  EXPECT_EQ(FailureOf([&] { DecodeSgi(SgiRle(1, 2, 2, 1, 1, {{0x83, 1, 2, 3, 0x00}})); }), "SGI: run past end of row");
  // A literal whose bytes lie past the row's stored length.
  EXPECT_EQ(FailureOf([&] { DecodeSgi(SgiRle(1, 2, 3, 1, 1, {{0x83, 1, 2}})); }), "SGI: row data past its length");
  EXPECT_EQ(FailureOf([&] { DecodeSgi(SgiRle(1, 2, 3, 1, 1, {{0x01, 1, 0x00}})); }), "SGI: short row");
}

TEST(Sgi, BadHeadersFail) {
  TBytes notSgi = SgiHeader(false, 1, 2, 1, 1, 1);
  notSgi[1] = 0;
  EXPECT_EQ(FailureOf([&] { DecodeSgi(notSgi); }), "SGI: not an SGI image");
  EXPECT_EQ(FailureOf([&] { DecodeSgi(SgiHeader(false, 3, 2, 1, 1, 1)); }), "SGI: bad bytes per channel");
  EXPECT_EQ(FailureOf([&] { DecodeSgi(SgiHeader(false, 1, 3, 1, 1, 5)); }), "SGI: bad channel count");
  EXPECT_EQ(FailureOf([&] { DecodeSgi(SgiHeader(false, 1, 4, 1, 1, 1)); }), "SGI: bad dimension");
  EXPECT_EQ(FailureOf([&] { DecodeSgi(SgiHeader(false, 1, 2, 1, 1, 1, 3)); }), "SGI: unsupported colour map");
  EXPECT_EQ(FailureOf([&] { DecodeSgi(SgiHeader(false, 1, 2, 0, 1, 1)); }), "SGI: bad dimensions");
  // A verbatim header that declares far more pixels than the file holds
  // fails before any pixel buffer is made.
  EXPECT_EQ(FailureOf([&] { DecodeSgi(SgiHeader(false, 2, 3, 65535, 65535, 4)); }), "SGI: unexpected end of file");
  EXPECT_EQ(FailureOf([&] { DecodeSgi(TBytes(100, 0)); }), "SGI: unexpected end of file");
}
