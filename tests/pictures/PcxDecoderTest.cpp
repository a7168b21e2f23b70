#include <gtest/gtest.h>

#include "pictures/PcxDecoder.h"
#include "tests/pictures/BmpGroupTestSupport.h"

using namespace orb;
using namespace orb::test;

TEST(Pcx, CorpusFilesMatchTheirReferences) {
  ORB_REQUIRE_CORPUS();
  CheckValidCorpusFiles(
      "pcx", "pcx", [](const std::string&) { return 0; }, [](const std::string&) { return ""; });
}

TEST(Pcx, DamagedCorpusFilesFailCleanly) {
  ORB_REQUIRE_CORPUS();
  CheckDamagedCorpusFiles("pcx", "pcx");
}

namespace {

// The 128-byte header: manufacturer 10, version, encoding 1 (RLE), bits per
// pixel, window, resolution, 16-colour palette, reserved, planes, bytes per
// line, palette info, and zeros up to 128 bytes.
TBytes PcxHeader(int version, int bits, int width, int height, int planes, int bytesPerLine,
                 const std::vector<int>& egaPalette = {}) {
  TBytes out;
  out.U8({10, version, 1, bits}).U16({0, 0, width - 1, height - 1, 72, 72});
  for (int v : egaPalette) out.U8({v});
  out.Zeros(48 - egaPalette.size()).U8({0, planes}).U16({bytesPerLine, 1});
  out.Zeros(128 - out.Size());
  return out;
}

}  // namespace

TEST(Pcx, TwoBitCgaWithHeaderPalette) {
  // Five pixels 0 1 2 3 1, packed four to a byte, two bytes per line.
  TBytes file = PcxHeader(5, 2, 5, 1, 1, 2, {0, 0, 0, 0, 170, 170, 170, 0, 170, 170, 170, 170});
  file.U8({0x1b, 0x40});
  TBitmap bitmap = DecodePicture(file.Data(), "pcc");
  EXPECT_EQ(PixelAt(bitmap, 0, 0), (std::vector<int>{0, 0, 0, 255}));
  EXPECT_EQ(PixelAt(bitmap, 1, 0), (std::vector<int>{0, 170, 170, 255}));
  EXPECT_EQ(PixelAt(bitmap, 2, 0), (std::vector<int>{170, 0, 170, 255}));
  EXPECT_EQ(PixelAt(bitmap, 3, 0), (std::vector<int>{170, 170, 170, 255}));
  EXPECT_EQ(PixelAt(bitmap, 4, 0), (std::vector<int>{0, 170, 170, 255}));
}

TEST(Pcx, RgbPlanesWithOddLinePaddingAndRunsAcrossScanlines) {
  // 2x2, three planes of three bytes (one byte of padding each). The last
  // run starts in the first scanline's padding and covers all of the second.
  TBytes file = PcxHeader(5, 8, 2, 2, 3, 3);
  file.U8({10, 20, 0, 30, 40, 0, 50, 60}).U8({0xca, 7});
  TBitmap bitmap = DecodePicture(file.Data(), "scr");
  EXPECT_EQ(PixelAt(bitmap, 0, 0), (std::vector<int>{10, 30, 50, 255}));
  EXPECT_EQ(PixelAt(bitmap, 1, 0), (std::vector<int>{20, 40, 60, 255}));
  EXPECT_EQ(PixelAt(bitmap, 1, 1), (std::vector<int>{7, 7, 7, 255}));
}

TEST(Pcx, EightBitWithAndWithoutTheEndPalette) {
  // Values of 0xC0 and above are written as runs of one.
  TBytes file = PcxHeader(5, 8, 2, 1, 1, 2);
  file.U8({0xc1, 0xc5, 0x02});
  TBitmap grey = DecodePicture(file.Data(), "pcx");
  EXPECT_EQ(PixelAt(grey, 0, 0), (std::vector<int>{0xc5, 0xc5, 0xc5, 255}));
  file.U8({0x0c}).Zeros(768);
  file.Data()[file.Size() - 768 + 0xc5 * 3] = 99;
  TBitmap paletted = DecodePicture(file.Data(), "pcx");
  EXPECT_EQ(PixelAt(paletted, 0, 0), (std::vector<int>{99, 0, 0, 255}));
  EXPECT_EQ(PixelAt(paletted, 1, 0), (std::vector<int>{0, 0, 0, 255}));
}

TEST(Pcx, FourPlanesOfVersionThreeUseTheEgaColours) {
  // Index 9 = planes 0 and 3 set: light blue in the standard EGA colours.
  TBytes file = PcxHeader(3, 1, 8, 1, 4, 1);
  file.U8({0xc1, 0xff, 0x00, 0x00, 0xc1, 0xff});
  TBitmap bitmap = DecodePicture(file.Data(), "pcx");
  EXPECT_EQ(PixelAt(bitmap, 7, 0), (std::vector<int>{85, 85, 255, 255}));
}

TEST(Pcx, DamagedHeadersFailBeforeAllocating) {
  TBytes narrow = PcxHeader(5, 8, 10, 1, 1, 4);
  EXPECT_EQ(FailureOf([&] { DecodePicture(narrow.Data(), "pcx"); }), "PCX: bad bytes per line");
  TBytes huge = PcxHeader(5, 8, 60000, 60000, 1, 60000);
  huge.U8({0xff, 1});
  EXPECT_EQ(FailureOf([&] { DecodePicture(huge.Data(), "pcx"); }), "PCX: unexpected end of file");
  TBytes cut = PcxHeader(5, 8, 4, 1, 1, 4);
  cut.U8({0xc2, 1});
  EXPECT_EQ(FailureOf([&] { DecodePicture(cut.Data(), "pcx"); }), "PCX: unexpected end of file");
  TBytes planes = PcxHeader(5, 4, 4, 1, 2, 2);
  EXPECT_EQ(FailureOf([&] { DecodePicture(planes.Data(), "pcx"); }), "PCX: bad bits per pixel");
}
