#include <gtest/gtest.h>

#include <string>

#include "pictures/FaxDecoder.h"
#include "pictures/PictureFile.h"
#include "tests/pictures/LibsTestSupport.h"

using namespace orb;
using namespace orb::test;

namespace {

// Raw Group 3 one-dimensional data (ITU-T T.4) written bit by bit: each
// line an end-of-line code, then run-length codes alternately white and
// black starting with white; the page ends with six end-of-line codes.
class TG3Writer {
 public:
  void Bits(const std::string& bits) {
    for (char bit : bits) {
      if (used_ % 8 == 0) bytes_.push_back(0);
      if (bit == '1') bytes_.back() |= std::uint8_t(0x80 >> (used_ % 8));
      ++used_;
    }
  }
  void EndOfLine() { Bits("000000000001"); }
  std::vector<std::uint8_t> Finish() {
    for (int i = 0; i < 6; ++i) EndOfLine();
    return bytes_;
  }

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t used_ = 0;
};

// Three 16-pixel lines, codes from the T.4 terminating-code tables:
// white 4 = 1011, black 4 = 011, white 8 = 10011; white 2 = 0111,
// black 3 = 10, white 11 = 01000; white 16 = 101010.
std::vector<std::uint8_t> ThreeLines() {
  TG3Writer g3;
  g3.EndOfLine();
  g3.Bits("1011" "011" "10011");
  g3.EndOfLine();
  g3.Bits("0111" "10" "01000");
  g3.EndOfLine();
  g3.Bits("101010");
  return g3.Finish();
}

// '#' for black, '.' for white.
std::vector<std::string> Drawing(const TBitmap& bitmap) {
  std::vector<std::string> lines;
  for (int y = 0; y < bitmap.Height; ++y) {
    std::string line;
    for (int x = 0; x < bitmap.Width; ++x) line += bitmap.Row(y)[std::size_t(x) * 4] == 0 ? '#' : '.';
    lines.push_back(line);
  }
  return lines;
}

const std::vector<std::string> kThreeLines = {
    "....####........",
    "..###...........",
    "................",
};

}  // namespace

TEST(Fax, RawGroup3LinesAndWidthAreFound) {
  EXPECT_EQ(Drawing(DecodePicture(ThreeLines(), "fax")), kThreeLines);
}

// Runs of 64 pixels and more take a make-up code before the terminating
// code: white 64 = 11011, 1600 = 010011010, 1728 = 010011011; terminating
// white 5 = 1100, 56 = 01011001, 0 = 00110101; black 3 = 10.
TEST(Fax, A4LinesWithMakeUpCodes) {
  TG3Writer g3;
  for (int pair = 0; pair < 3; ++pair) {
    g3.EndOfLine();
    g3.Bits("11011" "1100" "10" "010011010" "01011001");  // 69 white, 3 black, 1656 white
    g3.EndOfLine();
    g3.Bits("010011011" "00110101");  // 1728 white
  }
  TBitmap bitmap = TFaxDecoder::Decode(g3.Finish());
  ASSERT_EQ(bitmap.Width, 1728);
  ASSERT_EQ(bitmap.Height, 6);
  std::vector<std::string> drawing = Drawing(bitmap);
  for (int pair = 0; pair < 3; ++pair) {
    EXPECT_EQ(drawing[std::size_t(pair) * 2], std::string(69, '.') + "###" + std::string(1656, '.'));
    EXPECT_EQ(drawing[std::size_t(pair) * 2 + 1], std::string(1728, '.'));
  }
}

// Some writers start a page with more than one end-of-line code, or the
// first line arrives damaged; the picture starts with the first good line.
TEST(Fax, BadLinesAtTheStartAreSkipped) {
  TG3Writer g3;
  g3.EndOfLine();
  g3.EndOfLine();
  g3.EndOfLine();
  g3.Bits("1011" "011");  // 4 white, 4 black: a line cut short
  g3.EndOfLine();
  g3.Bits("1011" "011" "10011");
  g3.EndOfLine();
  g3.Bits("0111" "10" "01000");
  g3.EndOfLine();
  g3.Bits("101010");
  EXPECT_EQ(Drawing(TFaxDecoder::Decode(g3.Finish())), kThreeLines);
}

// Fax modems often send the low bit of each byte first.
TEST(Fax, ReversedBitOrderIsFound) {
  std::vector<std::uint8_t> data = ThreeLines();
  for (std::uint8_t& byte : data) {
    std::uint8_t reversed = 0;
    for (int bit = 0; bit < 8; ++bit)
      if (byte & (1 << bit)) reversed |= std::uint8_t(0x80 >> bit);
    byte = reversed;
  }
  EXPECT_EQ(Drawing(TFaxDecoder::Decode(data)), kThreeLines);
}

// bmpsuite's raw G3 file is the strip of tiff/pal1huff.tif, whose reference
// is shown upright from Orientation 4 (row 0 at the bottom): raw data has no
// such tag, so it comes out in stored order.
TEST(Fax, RealRawGroup3FileMatchesItsTiff) {
  ORB_REQUIRE_CORPUS();
  std::filesystem::path dir = PictureCorpusDir() / "tiff";
  TBitmap bitmap = DecodePicture(ReadBytes(dir / "pal1huff.g3"), "fax");
  EXPECT_EQ(MaxChannelDifference(bitmap, FlippedVertically(ReadReferencePng(dir / "pal1huff.tif.ref.png"))), 0);
}

TEST(Fax, TiffContentDecodesAsTiff) {
  ORB_REQUIRE_CORPUS();
  std::filesystem::path file = PictureCorpusDir() / "tiff" / "compression.tif";
  TBitmap bitmap = DecodePicture(ReadBytes(file), "FAX");
  EXPECT_EQ(MaxChannelDifference(bitmap, ReadReferencePng(file.string() + ".ref.png")), 0);
}

TEST(Fax, DataWithoutAnyLineFails) {
  std::vector<std::uint8_t> text(64, 'x');
  EXPECT_EQ(FailureOf([&] { TFaxDecoder::Decode(text); }), "FAX: no complete fax line");
  EXPECT_EQ(FailureOf([&] { TFaxDecoder::Decode({}); }), "FAX: bad file size");
}
