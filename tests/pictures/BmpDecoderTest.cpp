#include <gtest/gtest.h>

#include "pictures/BmpDecoder.h"
#include "tests/pictures/BmpGroupTestSupport.h"

using namespace orb;
using namespace orb::test;

TEST(Bmp, CorpusFilesMatchTheirReferences) {
  ORB_REQUIRE_CORPUS();
  CheckValidCorpusFiles(
      "bmp", "bmp",
      [](const std::string& name) {
        // ImageMagick made these references: it rounds 10- and 11-bit
        // channels differently, and it shifts channels of 1 to 3 bits up
        // without scaling them, so their largest values fall short of 255.
        // The embedded JPEG goes through another JPEG decoder than Pillow's.
        return name == "rgb32-111110.bmp" ? 1
               : name == "rgb16-3103.bmp" ? 31
               : name == "rgb16-231.bmp"  ? 127
               : name == "rgb24jpeg.bmp"  ? 8
                                          : 0;
      },
      [](const std::string& name) {
        return name == "rgb24png.bmp" ? "png" : name == "rgb24jpeg.bmp" ? "jpg" : "";
      });
}

TEST(Bmp, DamagedCorpusFilesFailCleanly) {
  ORB_REQUIRE_CORPUS();
  CheckDamagedCorpusFiles("bmp", "bmp");
}

namespace {

// The 14-byte file header: "BM", file size, reserved, offset of the pixels.
TBytes FileHeader(std::int64_t pixelOffset) {
  TBytes out;
  out.U8({'B', 'M'}).U32({0, 0, pixelOffset});
  return out;
}

// A 40-byte info header.
TBytes& InfoHeader(TBytes& out, int width, int height, int bpp, int compression, int coloursUsed) {
  out.U32({40, width, height}).U16({1, bpp}).U32({compression, 0, 0, 0, coloursUsed, 0});
  return out;
}

}  // namespace

TEST(Bmp, DibWithoutFileHeaderIsRecognisedWithBottomRowFirst) {
  TBytes dib;
  InfoHeader(dib, 3, 2, 24, 0, 0);
  dib.U8({1, 2, 3, 4, 5, 6, 7, 8, 9}).Zeros(3);         // bottom row, padded to 12 bytes
  dib.U8({10, 20, 30, 40, 50, 60, 70, 80, 90}).Zeros(3);  // top row
  TBitmap bitmap = DecodePicture(dib.Data(), "dib");
  ASSERT_EQ(bitmap.Width, 3);
  ASSERT_EQ(bitmap.Height, 2);
  EXPECT_EQ(PixelAt(bitmap, 0, 0), (std::vector<int>{30, 20, 10, 255}));
  EXPECT_EQ(PixelAt(bitmap, 2, 1), (std::vector<int>{9, 8, 7, 255}));
}

TEST(Bmp, Rle8RunsLiteralsDeltasAndEndCodes) {
  // 4x3, palette: 0 = (30, 20, 10), 1 = red, 2 = green; rows stored bottom first.
  TBytes file = FileHeader(14 + 40 + 12);
  InfoHeader(file, 4, 3, 8, 1, 3);
  file.U8({10, 20, 30, 0, 0, 0, 255, 0, 0, 255, 0, 0});
  file.U8({3, 1, 0, 0});              // bottom row: three of 1, then end of line
  file.U8({0, 3, 2, 1, 2, 0, 5, 2});  // literal 2 1 2 (padded), a run of 5 cut at the row's end
  file.U8({0, 0});                    // end of line
  file.U8({0, 2, 1, 0, 1, 2, 0, 1});  // delta one right, one 2, end of bitmap
  TBitmap bitmap = DecodePicture(file.Data(), "rle");
  std::vector<int> background{30, 20, 10, 255}, red{255, 0, 0, 255}, green{0, 255, 0, 255};
  EXPECT_EQ(PixelAt(bitmap, 0, 2), red);
  EXPECT_EQ(PixelAt(bitmap, 2, 2), red);
  EXPECT_EQ(PixelAt(bitmap, 3, 2), background);
  EXPECT_EQ(PixelAt(bitmap, 0, 1), green);
  EXPECT_EQ(PixelAt(bitmap, 1, 1), red);
  EXPECT_EQ(PixelAt(bitmap, 3, 1), green);
  EXPECT_EQ(PixelAt(bitmap, 0, 0), background);
  EXPECT_EQ(PixelAt(bitmap, 1, 0), green);
  EXPECT_EQ(PixelAt(bitmap, 2, 0), background);
}

TEST(Bmp, Rle4AlternatesNibblesAndPadsOddLiterals) {
  TBytes file = FileHeader(14 + 40 + 12);
  InfoHeader(file, 5, 2, 4, 2, 3);
  file.U8({0, 0, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0});  // B, G, R, 0: 0 black, 1 red, 2 blue
  file.U8({5, 0x12, 0, 0});                          // 1 2 1 2 1
  file.U8({0, 3, 0x21, 0x10, 2, 0x11, 0, 1});        // literal 2 1 1 (two bytes), run 1 1, end
  TBitmap bitmap = DecodePicture(file.Data(), "bmp");
  std::vector<int> red{255, 0, 0, 255}, blue{0, 0, 255, 255};
  EXPECT_EQ(PixelAt(bitmap, 0, 1), red);
  EXPECT_EQ(PixelAt(bitmap, 1, 1), blue);
  EXPECT_EQ(PixelAt(bitmap, 4, 1), red);
  EXPECT_EQ(PixelAt(bitmap, 0, 0), blue);
  EXPECT_EQ(PixelAt(bitmap, 1, 0), red);
  EXPECT_EQ(PixelAt(bitmap, 2, 0), red);
  EXPECT_EQ(PixelAt(bitmap, 4, 0), red);
}

TEST(Bmp, Os2V2HeaderWithFourByteEntriesAndRle24) {
  // 64-byte OS/2 v2 header, 4 bits, two colours used.
  TBytes file = FileHeader(14 + 64 + 8);
  file.U32({64, 2, 1}).U16({1, 4}).U32({0, 0, 0, 0, 2, 0}).Zeros(24);
  file.U8({0, 0, 255, 0, 255, 0, 0, 0}).U8({0x10, 0, 0, 0});
  TBitmap bitmap = DecodePicture(file.Data(), "bmp");
  EXPECT_EQ(PixelAt(bitmap, 0, 0), (std::vector<int>{0, 0, 255, 255}));
  EXPECT_EQ(PixelAt(bitmap, 1, 0), (std::vector<int>{255, 0, 0, 255}));

  // Compression 4 under an OS/2 header is RLE24: B, G, R after the count.
  TBytes rle = FileHeader(14 + 64);
  rle.U32({64, 4, 1}).U16({1, 24}).U32({4, 0, 0, 0, 0, 0}).Zeros(24);
  rle.U8({1, 255, 0, 0, 0, 3, 0, 0, 255, 0, 255, 0, 1, 2, 3, 0, 0, 1});
  bitmap = DecodePicture(rle.Data(), "bmp");
  EXPECT_EQ(PixelAt(bitmap, 0, 0), (std::vector<int>{0, 0, 255, 255}));
  EXPECT_EQ(PixelAt(bitmap, 1, 0), (std::vector<int>{255, 0, 0, 255}));
  EXPECT_EQ(PixelAt(bitmap, 2, 0), (std::vector<int>{0, 255, 0, 255}));
  EXPECT_EQ(PixelAt(bitmap, 3, 0), (std::vector<int>{3, 2, 1, 255}));
}

TEST(Bmp, BitfieldsOfAnyWidthScaleToFullRange) {
  // 16 bits: 2 red, 3 green, 1 blue bits; the largest value of each is 255.
  TBytes file = FileHeader(14 + 40 + 12);
  InfoHeader(file, 3, 1, 16, 3, 0).U32({0x30, 0x0e, 0x01});
  file.U16({0x3f, 0x10, 0x04}).Zeros(2);
  TBitmap bitmap = DecodePicture(file.Data(), "bmp");
  EXPECT_EQ(PixelAt(bitmap, 0, 0), (std::vector<int>{255, 255, 255, 255}));
  EXPECT_EQ(PixelAt(bitmap, 1, 0), (std::vector<int>{85, 0, 0, 255}));
  EXPECT_EQ(PixelAt(bitmap, 2, 0), (std::vector<int>{0, 72, 0, 255}));

  // 32 bits in a 56-byte header: 10 bits per colour and a 2-bit alpha mask.
  TBytes v3 = FileHeader(14 + 56);
  v3.U32({56, 1, 1}).U16({1, 32}).U32({3, 0, 0, 0, 0, 0, 0x3ff00000, 0x000ffc00, 0x3ff, 0xc0000000});
  v3.U32({(std::int64_t(1) << 30) | (1023 << 20) | 511});
  bitmap = DecodePicture(v3.Data(), "bmp");
  EXPECT_EQ(PixelAt(bitmap, 0, 0), (std::vector<int>{255, 0, 127, 85}));
}

TEST(Bmp, IndicesPastAShortPaletteAreBlack) {
  TBytes file = FileHeader(14 + 40 + 8);
  InfoHeader(file, 3, 1, 8, 0, 2);
  file.U8({255, 255, 255, 0, 0, 0, 255, 0}).U8({1, 200, 0, 0});
  TBitmap bitmap = DecodePicture(file.Data(), "bmp");
  EXPECT_EQ(PixelAt(bitmap, 0, 0), (std::vector<int>{255, 0, 0, 255}));
  EXPECT_EQ(PixelAt(bitmap, 1, 0), (std::vector<int>{0, 0, 0, 255}));
  EXPECT_EQ(PixelAt(bitmap, 2, 0), (std::vector<int>{255, 255, 255, 255}));
}

TEST(Bmp, DamagedHeadersFailBeforeAllocating) {
  TBytes rle = FileHeader(14 + 40 + 4);
  InfoHeader(rle, 10000, 10000, 8, 1, 1).U8({0, 0, 0, 0}).U8({0, 1});
  EXPECT_EQ(FailureOf([&] { DecodePicture(rle.Data(), "bmp"); }), "BMP: picture too large for its data");
  TBytes raw = FileHeader(14 + 40);
  InfoHeader(raw, 100, 100, 24, 0, 0).Zeros(100);
  EXPECT_EQ(FailureOf([&] { DecodePicture(raw.Data(), "bmp"); }), "BMP: unexpected end of file");
  TBytes text;
  text.U8({'h', 'e', 'l', 'l', 'o', '!'});
  EXPECT_EQ(FailureOf([&] { DecodePicture(text.Data(), "bmp"); }), "BMP: not a bitmap file");
}

TEST(Bmp, EmbeddedPngGoesToThePngDecoder) {
  ORB_REQUIRE_CORPUS();
  std::vector<std::uint8_t> bytes = ReadFileBytes(PictureCorpusDir() / "bmp" / "rgb24png.bmp");
  if (!IsPictureExtension("png")) {
    EXPECT_EQ(FailureOf([&] { DecodePicture(bytes, "bmp"); }), "BMP: embedded PNG not supported");
    return;
  }
  TBitmap bitmap = DecodePicture(bytes, "bmp");
  EXPECT_EQ(bitmap.Width, 127);
  EXPECT_EQ(bitmap.Height, 64);
}
