#include <gtest/gtest.h>

#include "pictures/TgaDecoder.h"
#include "tests/pictures/BmpGroupTestSupport.h"

using namespace orb;
using namespace orb::test;

TEST(Tga, CorpusFilesMatchTheirReferences) {
  ORB_REQUIRE_CORPUS();
  CheckValidCorpusFiles(
      "tga", "tga", [](const std::string&) { return 0; }, [](const std::string&) { return ""; });
}

TEST(Tga, DamagedCorpusFilesFailCleanly) {
  ORB_REQUIRE_CORPUS();
  CheckDamagedCorpusFiles("tga", "tga");
}

namespace {

// The 18-byte header: ID length, colour map type, image type, map first
// entry, map length, map entry bits, x and y origin, width, height, bits per
// pixel, descriptor (alpha bits, bit 4 right-to-left, bit 5 top-down).
TBytes TgaHeader(int idLength, int mapType, int imageType, int mapFirst, int mapLength, int mapBits, int width,
                 int height, int depth, int descriptor) {
  TBytes out;
  out.U8({idLength, mapType, imageType}).U16({mapFirst, mapLength}).U8({mapBits});
  out.U16({0, 0, width, height}).U8({depth, descriptor});
  return out;
}

const std::vector<int> kBlack{0, 0, 0, 255};

}  // namespace

TEST(Tga, ColourMapWithFirstEntryOffsetAndIdField) {
  // Map entries 2..4 as 16-bit 5-5-5 values; an ID field of three bytes first.
  TBytes file = TgaHeader(3, 1, 1, 2, 3, 16, 4, 1, 8, 0x20);
  file.U8({'a', 'b', 'c'}).U16({0x7c00, 0x03e0, 0x001f});
  file.U8({2, 4, 1, 7});
  TBitmap bitmap = DecodePicture(file.Data(), "win");
  EXPECT_EQ(PixelAt(bitmap, 0, 0), (std::vector<int>{255, 0, 0, 255}));
  EXPECT_EQ(PixelAt(bitmap, 1, 0), (std::vector<int>{0, 0, 255, 255}));
  EXPECT_EQ(PixelAt(bitmap, 2, 0), kBlack);  // below the first entry
  EXPECT_EQ(PixelAt(bitmap, 3, 0), kBlack);  // past the last entry
}

TEST(Tga, RleAcrossRowsRightToLeftFromTheBottom) {
  // 3x2, 24 bits, rows stored bottom first and right to left. A run of four
  // pixels covers the bottom row and the first of the top row.
  TBytes file = TgaHeader(0, 0, 10, 0, 0, 0, 3, 2, 24, 0x10);
  file.U8({0x83, 1, 2, 3}).U8({0x01, 10, 20, 30, 40, 50, 60});
  TBitmap bitmap = DecodePicture(file.Data(), "vst");
  std::vector<int> a{3, 2, 1, 255};
  EXPECT_EQ(PixelAt(bitmap, 0, 1), a);
  EXPECT_EQ(PixelAt(bitmap, 2, 1), a);
  EXPECT_EQ(PixelAt(bitmap, 2, 0), a);
  EXPECT_EQ(PixelAt(bitmap, 1, 0), (std::vector<int>{30, 20, 10, 255}));
  EXPECT_EQ(PixelAt(bitmap, 0, 0), (std::vector<int>{60, 50, 40, 255}));
}

TEST(Tga, FifteenBitAndGreyPictures) {
  TBytes fifteen = TgaHeader(0, 0, 2, 0, 0, 0, 2, 1, 15, 0x20);
  fifteen.U16({0x7c00, 0x801f});  // the top bit of 15-bit pixels is no alpha
  TBitmap bitmap = DecodePicture(fifteen.Data(), "vda");
  EXPECT_EQ(PixelAt(bitmap, 0, 0), (std::vector<int>{255, 0, 0, 255}));
  EXPECT_EQ(PixelAt(bitmap, 1, 0), (std::vector<int>{0, 0, 255, 255}));

  TBytes grey = TgaHeader(0, 0, 11, 0, 0, 0, 3, 1, 8, 0x20);
  grey.U8({0x81, 7, 0x00, 200});
  bitmap = DecodePicture(grey.Data(), "icb");
  EXPECT_EQ(PixelAt(bitmap, 1, 0), (std::vector<int>{7, 7, 7, 255}));
  EXPECT_EQ(PixelAt(bitmap, 2, 0), (std::vector<int>{200, 200, 200, 255}));
}

TEST(Tga, SixteenBitAlphaBitFromRealFile) {
  ORB_REQUIRE_CORPUS();
  // The values the file's makers expect: five-bit channels scaled by 255 / 31.
  TBitmap bitmap = DecodePicture(ReadFileBytes(PictureCorpusDir() / "tga" / "rgba16.tga"), "tga");
  EXPECT_EQ(PixelAt(bitmap, 0, 0), (std::vector<int>{172, 0, 255, 255}));
  EXPECT_EQ(PixelAt(bitmap, 1, 0), (std::vector<int>{0, 255, 82, 0}));
}

TEST(Tga, ClearAlphaWithoutAlphaBitsIsOpaque) {
  TBytes undeclared = TgaHeader(0, 0, 2, 0, 0, 0, 1, 1, 32, 0x20);
  undeclared.U8({1, 2, 3, 0});
  EXPECT_EQ(PixelAt(DecodePicture(undeclared.Data(), "tga"), 0, 0), (std::vector<int>{3, 2, 1, 255}));
  TBytes declared = TgaHeader(0, 0, 2, 0, 0, 0, 1, 1, 32, 0x28);
  declared.U8({1, 2, 3, 0});
  EXPECT_EQ(PixelAt(DecodePicture(declared.Data(), "tga"), 0, 0), (std::vector<int>{3, 2, 1, 0}));
}

TEST(Tga, DamagedHeadersFailBeforeAllocating) {
  TBytes huge = TgaHeader(0, 0, 10, 0, 0, 0, 65535, 65535, 24, 0);
  huge.U8({0xff, 1, 2, 3});
  EXPECT_EQ(FailureOf([&] { DecodePicture(huge.Data(), "tga"); }), "TGA: unexpected end of file");
  TBytes badMap = TgaHeader(0, 1, 1, 0, 1, 8, 1, 1, 8, 0);
  badMap.U8({0, 0});
  EXPECT_EQ(FailureOf([&] { DecodePicture(badMap.Data(), "tga"); }), "TGA: bad colour map entry size");
  TBytes noImage = TgaHeader(0, 0, 0, 0, 0, 0, 1, 1, 8, 0);
  EXPECT_EQ(FailureOf([&] { DecodePicture(noImage.Data(), "tga"); }), "TGA: no image data");
  TBytes shortRle = TgaHeader(0, 0, 10, 0, 0, 0, 4, 1, 24, 0);
  shortRle.U8({0x81, 1, 2, 3});
  EXPECT_EQ(FailureOf([&] { DecodePicture(shortRle.Data(), "tga"); }), "TGA: unexpected end of file");
}
