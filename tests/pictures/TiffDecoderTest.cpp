#include <gtest/gtest.h>

#include "pictures/PictureFile.h"
#include "pictures/TiffDecoder.h"
#include "tests/pictures/LibsTestSupport.h"

using namespace orb;
using namespace orb::test;

namespace {

constexpr std::uint16_t kShort = 3;

// The red channel of every pixel, row by row.
std::vector<std::vector<int>> Reds(const TBitmap& bitmap) {
  std::vector<std::vector<int>> rows(std::size_t(bitmap.Height));
  for (int y = 0; y < bitmap.Height; ++y)
    for (int x = 0; x < bitmap.Width; ++x) rows[std::size_t(y)].push_back(bitmap.Row(y)[std::size_t(x) * 4]);
  return rows;
}

std::vector<TCorpusEntry> ReferencedTiffs() {
  std::vector<TCorpusEntry> entries = CorpusEntriesWhere("tiff", true);
  std::erase_if(entries, [](const TCorpusEntry& entry) { return !entry.HasReference; });
  return entries;
}

class TiffCorpusValid : public testing::TestWithParam<TCorpusEntry> {};
class TiffCorpusDamaged : public testing::TestWithParam<TCorpusEntry> {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(TiffCorpusValid);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(TiffCorpusDamaged);

}  // namespace

TEST(TiffCorpus, HoldsTheExpectedFiles) {
  ORB_REQUIRE_CORPUS();
  EXPECT_EQ(CorpusEntries("tiff").size(), 57u);
}

// Exact, but for separate 16-bit planes (libtiff's RGBA interface rounds
// instead of keeping the high byte) and CIELab (the reference went through
// a colour-management engine).
TEST_P(TiffCorpusValid, MatchesTheReference) {
  const TCorpusEntry& entry = GetParam();
  bool approximate = entry.Notes.find("planar") != std::string::npos || entry.Notes.find("CIELab") != std::string::npos;
  TBitmap bitmap = LoadPictureFile(entry.File);
  EXPECT_LE(MaxChannelDifference(bitmap, ReadReferencePng(entry.File.string() + ".ref.png")), approximate ? 1 : 0)
      << entry.Notes;
}
INSTANTIATE_TEST_SUITE_P(Files, TiffCorpusValid, testing::ValuesIn(ReferencedTiffs()), CorpusTestName);

// Fuzzed files: broken directories, strips beyond the end, bad fax codes.
TEST_P(TiffCorpusDamaged, FailsCleanly) {
  std::string failure = FailureOf([&] { LoadPictureFile(GetParam().File); });
  EXPECT_EQ(failure.rfind("TIFF: ", 0), 0u) << failure;
}
INSTANTIATE_TEST_SUITE_P(Files, TiffCorpusDamaged, testing::ValuesIn(CorpusEntriesWhere("tiff", false)), CorpusTestName);

// Stored 2 x 3 pixels numbered 0..5 row by row; each Orientation value says
// which visual side row 0 and column 0 lie on.
TEST(Tiff, EveryOrientationIsTurnedUpright) {
  const std::vector<std::vector<std::vector<int>>> expected = {
      {{0, 1}, {2, 3}, {4, 5}},   // 1: row 0 top, column 0 left
      {{1, 0}, {3, 2}, {5, 4}},   // 2: top, right
      {{5, 4}, {3, 2}, {1, 0}},   // 3: bottom, right
      {{4, 5}, {2, 3}, {0, 1}},   // 4: bottom, left
      {{0, 2, 4}, {1, 3, 5}},     // 5: left, top
      {{4, 2, 0}, {5, 3, 1}},     // 6: right, top
      {{5, 3, 1}, {4, 2, 0}},     // 7: right, bottom
      {{1, 3, 5}, {0, 2, 4}},     // 8: left, bottom
  };
  std::vector<std::uint8_t> grey{0, 1, 2, 3, 4, 5};
  for (std::uint32_t orientation = 1; orientation <= 8; ++orientation) {
    auto file = WriteTiff(2, 3, {{258, kShort, {8}}, {262, kShort, {1}}, {274, kShort, {orientation}}}, grey);
    EXPECT_EQ(Reds(TTiffDecoder::Decode(file)), expected[orientation - 1]) << "orientation " << orientation;
  }
}

TEST(Tiff, CmykUsesTheInkFormula) {
  auto file = WriteTiff(1, 1, {{258, kShort, {8, 8, 8, 8}}, {262, kShort, {5}}, {277, kShort, {4}}}, {0, 51, 255, 102});
  EXPECT_EQ(TTiffDecoder::Decode(file).Pixels, (TPixelBuffer{153, 122, 0, 255}));
}

TEST(Tiff, AssociatedAlphaIsDividedOut) {
  auto file = WriteTiff(1, 1, {{258, kShort, {8, 8, 8, 8}}, {262, kShort, {2}}, {277, kShort, {4}}, {338, kShort, {1}}},
                        {100, 50, 0, 128});
  EXPECT_EQ(TTiffDecoder::Decode(file).Pixels, (TPixelBuffer{199, 99, 0, 128}));
}

// Colour maps hold 16-bit values; a 4-bit index selects one of 16 entries.
TEST(Tiff, PaletteTakesTheHighByteOfTheColourMap) {
  std::vector<std::uint32_t> map(48, 0);
  map[3] = 0x1234;       // red of entry 3
  map[16 + 3] = 0xABCD;  // green of entry 3
  map[32 + 15] = 0xFFFF; // blue of entry 15
  auto file = WriteTiff(2, 1, {{258, kShort, {4}}, {262, kShort, {3}}, {320, kShort, map}}, {0x3F});
  EXPECT_EQ(TTiffDecoder::Decode(file).Pixels, (TPixelBuffer{0x12, 0xAB, 0, 255, 0, 0, 0xFF, 255}));
}

TEST(Tiff, HugeHeaderFailsBeforeAllocation) {
  auto file = WriteTiff(20000, 20000, {{262, kShort, {1}}}, {0});
  EXPECT_EQ(FailureOf([&] { TTiffDecoder::Decode(file); }), "TIFF: picture too large");
}

TEST(Tiff, DamagedFilesFailWithTheFormatName) {
  auto file = WriteTiff(4, 4, {{258, kShort, {8, 8, 8}}, {262, kShort, {2}}, {277, kShort, {3}}},
                        std::vector<std::uint8_t>(48, 7));
  file.erase(file.end() - 20, file.end());
  EXPECT_EQ(FailureOf([&] { TTiffDecoder::Decode(file); }).rfind("TIFF: bad picture data", 0), 0u);
  std::vector<std::uint8_t> text{'h', 'e', 'l', 'l', 'o'};
  EXPECT_EQ(FailureOf([&] { DecodePicture(text, "tif"); }).rfind("TIFF: not a readable TIFF file", 0), 0u);
}
