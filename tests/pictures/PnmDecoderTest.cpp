#include <gtest/gtest.h>

#include <string>

#include "pictures/PnmDecoder.h"
#include "tests/pictures/FamilyTestSupport.h"

using namespace orb;
using namespace orb::test;

namespace {

// A header (or a whole plain file) as text, followed by raw bytes.
TBytes Text(const std::string& text, std::initializer_list<std::uint8_t> raster = {}) {
  TBytes bytes(text.begin(), text.end());
  bytes.insert(bytes.end(), raster);
  return bytes;
}

TBitmap DecodeAs(const TBytes& bytes, const char* extension = "ppm") { return DecodePicture(bytes, extension); }

std::vector<int> Grey(int v) { return {v, v, v, 255}; }

}  // namespace

TEST(Pnm, BinaryAndPlainPixmaps) {
  ORB_REQUIRE_CORPUS();
  ExpectMatchesReference("pnm/hopper_8bit.ppm");
  ExpectMatchesReference("pnm/hopper_8bit_plain.ppm");
}

TEST(Pnm, BinaryAndPlainGreymaps) {
  ORB_REQUIRE_CORPUS();
  ExpectMatchesReference("pnm/hopper_8bit.pgm");
  ExpectMatchesReference("pnm/hopper_8bit_plain.pgm");
}

TEST(Pnm, SixteenBitGreymaps) {
  // The references keep the high byte; a rounded scale differs by at most 1.
  ORB_REQUIRE_CORPUS();
  ExpectMatchesReference("pnm/hopper_16bit.pgm", 1);
  ExpectMatchesReference("pnm/hopper_16bit_plain.pgm", 1);
  ExpectMatchesReference("pnm/16_bit_binary.pgm", 1);
}

TEST(Pnm, BinaryAndPlainBitmaps) {
  ORB_REQUIRE_CORPUS();
  ExpectMatchesReference("pnm/hopper_1bit.pbm");
  ExpectMatchesReference("pnm/hopper_1bit_plain.pbm");
}

TEST(Pnm, DamagedFilesFail) {
  ORB_REQUIRE_CORPUS();
  ExpectDamagedFilesFail("pnm", "ppm");
}

TEST(Pnm, SmallMaxvalIsScaledRounded) {
  TBitmap bitmap = DecodeAs(Text("P5 4 1 15\n", {0, 15, 7, 8}));
  EXPECT_EQ(PixelAt(bitmap, 0, 0), Grey(0));
  EXPECT_EQ(PixelAt(bitmap, 1, 0), Grey(255));
  EXPECT_EQ(PixelAt(bitmap, 2, 0), Grey(119));  // 7 * 255 / 15
  EXPECT_EQ(PixelAt(bitmap, 3, 0), Grey(136));  // 8 * 255 / 15
}

TEST(Pnm, TwoByteSamplesAreBigEndianAndScaledByMaxval) {
  // maxval 1000: 500 is half intensity, 1000 full; 1200 is above maxval.
  TBytes file = Text("P6 1 1 1000\n");
  PutU16BE(file, 500);
  PutU16BE(file, 1000);
  PutU16BE(file, 1200);
  EXPECT_EQ(PixelAt(DecodeAs(file), 0, 0), (std::vector<int>{128, 255, 255, 255}));
  TBytes plain = Text("P3 1 1 65535 257 65535 0");
  EXPECT_EQ(PixelAt(DecodeAs(plain), 0, 0), (std::vector<int>{1, 255, 0, 255}));
}

TEST(Pnm, CommentsAndArbitraryWhitespaceInTheHeader) {
  TBytes file = Text("P2#kind\n3 # width\r\n\t1\n#height done\n#more\n4 0\t2\r\n4");
  TBitmap bitmap = DecodeAs(file, "pgm");
  ASSERT_EQ(bitmap.Width, 3);
  EXPECT_EQ(PixelAt(bitmap, 1, 0), Grey(128));
  EXPECT_EQ(PixelAt(bitmap, 2, 0), Grey(255));
}

TEST(Pnm, PlainBitmapDigitsNeedNoSeparators) {
  TBitmap bitmap = DecodeAs(Text("P1\n3 2\n101\n0 1\n0"), "pbm");
  EXPECT_EQ(PixelAt(bitmap, 0, 0), Grey(0));
  EXPECT_EQ(PixelAt(bitmap, 1, 0), Grey(255));
  EXPECT_EQ(PixelAt(bitmap, 1, 1), Grey(0));
  EXPECT_EQ(PixelAt(bitmap, 2, 1), Grey(255));
}

TEST(Pnm, BinaryBitmapRowsArePaddedToBytes) {
  TBitmap bitmap = DecodeAs(Text("P4 9 2\n", {0x80, 0x7f, 0x00, 0x80}), "pbm");
  EXPECT_EQ(PixelAt(bitmap, 0, 0), Grey(0));
  EXPECT_EQ(PixelAt(bitmap, 8, 0), Grey(255));  // the padding bits of row 0 are not pixels
  EXPECT_EQ(PixelAt(bitmap, 0, 1), Grey(255));
  EXPECT_EQ(PixelAt(bitmap, 8, 1), Grey(0));
}

TEST(Pnm, TheMagicNumberDecidesNotTheExtension) {
  TBitmap bitmap = DecodeAs(Text("P6 1 1 255\n", {1, 2, 3}), "pbm");
  EXPECT_EQ(PixelAt(bitmap, 0, 0), (std::vector<int>{1, 2, 3, 255}));
}

TEST(Pnm, BadFilesFail) {
  EXPECT_EQ(FailureOf([] { DecodeAs(Text("P7 1 1 255\n")); }), "PNM: not a portable any-map");
  EXPECT_EQ(FailureOf([] { DecodeAs(Text("GIF89a")); }), "PNM: not a portable any-map");
  EXPECT_EQ(FailureOf([] { DecodeAs(Text("P5 1 1 0\n ")); }), "PNM: bad maxval");
  EXPECT_EQ(FailureOf([] { DecodeAs(Text("P5 1 1 65536\n ")); }), "PNM: bad maxval");
  EXPECT_EQ(FailureOf([] { DecodeAs(Text("P5 -1 1 255\n ")); }), "PNM: bad header");
  EXPECT_EQ(FailureOf([] { DecodeAs(Text("P5 1 1 255")); }), "PNM: bad header");
  EXPECT_EQ(FailureOf([] { DecodeAs(Text("P5 0 1 255\n")); }), "PNM: bad dimensions");
  EXPECT_EQ(FailureOf([] { DecodeAs(Text("P5 2 2 255\n123")); }), "PNM: unexpected end of file");
  EXPECT_EQ(FailureOf([] { DecodeAs(Text("P2 2 1 255\n1 x")); }), "PNM: bad sample");
  EXPECT_EQ(FailureOf([] { DecodeAs(Text("P2 2 1 255\n1  ")); }), "PNM: unexpected end of file");
  EXPECT_EQ(FailureOf([] { DecodeAs(Text("P6 1")); }), "PNM: unexpected end of file");
  EXPECT_EQ(FailureOf([] { DecodeAs(Text("P1 2 1\n1 2")); }), "PNM: bad sample");
  // Sizes far beyond what the file holds fail before any pixel buffer is made,
  // and numbers too long for any integer do not wrap around.
  EXPECT_EQ(FailureOf([] { DecodeAs(Text("P6 9000 9000 255\n123")); }), "PNM: unexpected end of file");
  EXPECT_EQ(FailureOf([] { DecodeAs(Text("P3 99999999999999999999 1 255\n1 2 3")); }), "PNM: unexpected end of file");
}
