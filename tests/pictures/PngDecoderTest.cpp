#include <gtest/gtest.h>

#include <zlib.h>

#include "pictures/PictureFile.h"
#include "pictures/PngDecoder.h"
#include "tests/pictures/LibsTestSupport.h"

using namespace orb;
using namespace orb::test;

namespace {

// A PNG file written chunk by chunk: signature, IHDR, the given chunks, one
// IDAT of the zlib-compressed filtered rows, IEND; big-endian numbers and a
// CRC-32 over each chunk's type and data.
struct TPngWriter {
  std::vector<std::uint8_t> File{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

  static void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(std::uint8_t(v >> shift));
  }
  void Chunk(const char* type, const std::vector<std::uint8_t>& data) {
    Put32(File, std::uint32_t(data.size()));
    std::vector<std::uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    File.insert(File.end(), body.begin(), body.end());
    Put32(File, std::uint32_t(crc32(0, body.data(), uInt(body.size()))));
  }
  void Header(std::uint32_t width, std::uint32_t height, std::uint8_t depth, std::uint8_t colourType) {
    std::vector<std::uint8_t> data;
    Put32(data, width);
    Put32(data, height);
    data.insert(data.end(), {depth, colourType, 0, 0, 0});
    Chunk("IHDR", data);
  }
  // rows: each row's bytes already preceded by its filter-type byte.
  void Data(const std::vector<std::uint8_t>& rows) {
    uLongf size = compressBound(uLong(rows.size()));
    std::vector<std::uint8_t> packed(size);
    compress(packed.data(), &size, rows.data(), uLong(rows.size()));
    packed.resize(size);
    Chunk("IDAT", packed);
  }
  std::vector<std::uint8_t> Finish() {
    Chunk("IEND", {});
    return File;
  }
};

class PngCorpusValid : public testing::TestWithParam<TCorpusEntry> {};
class PngCorpusDamaged : public testing::TestWithParam<TCorpusEntry> {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(PngCorpusValid);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(PngCorpusDamaged);

}  // namespace

TEST(PngCorpus, HoldsTheExpectedFiles) {
  ORB_REQUIRE_CORPUS();
  EXPECT_EQ(CorpusEntries("png").size(), 69u);
}

// PngSuite: every colour type, bit depth, interlace and transparency case,
// exactly as the reference (no gamma, 16 bits by the high byte).
TEST_P(PngCorpusValid, MatchesTheReference) {
  const TCorpusEntry& entry = GetParam();
  TBitmap bitmap = LoadPictureFile(entry.File);
  EXPECT_EQ(MaxChannelDifference(bitmap, ReadReferencePng(entry.File.string() + ".ref.png")), 0) << entry.Notes;
}
INSTANTIATE_TEST_SUITE_P(Files, PngCorpusValid, testing::ValuesIn(CorpusEntriesWhere("png", true)), CorpusTestName);

TEST_P(PngCorpusDamaged, FailsCleanly) {
  const TCorpusEntry& entry = GetParam();
  std::string failure = FailureOf([&] { LoadPictureFile(entry.File); });
  if (entry.LenientOk && failure == "(no failure)") return;
  EXPECT_EQ(failure.rfind("PNG: ", 0), 0u) << failure;
}
INSTANTIATE_TEST_SUITE_P(Files, PngCorpusDamaged, testing::ValuesIn(CorpusEntriesWhere("png", false)), CorpusTestName);

// Rounding (v * 255 / 65535) would give 0x13 here; the high byte is 0x12.
TEST(Png, SixteenBitSamplesKeepTheirHighByte) {
  TPngWriter png;
  png.Header(1, 1, 16, 0);
  png.Data({0, 0x12, 0xFF});
  TBitmap bitmap = TPngDecoder::Decode(png.Finish());
  EXPECT_EQ(bitmap.Pixels, (TPixelBuffer{0x12, 0x12, 0x12, 255}));
}

TEST(Png, ColourKeyBecomesTransparent) {
  TPngWriter png;
  png.Header(2, 1, 8, 2);
  png.Chunk("tRNS", {0, 10, 0, 20, 0, 30});
  png.Data({0, 10, 20, 30, 10, 20, 31});
  TBitmap bitmap = TPngDecoder::Decode(png.Finish());
  EXPECT_EQ(bitmap.Pixels[3], 0);
  EXPECT_EQ(std::vector<std::uint8_t>(bitmap.Pixels.begin() + 4, bitmap.Pixels.end()),
            (std::vector<std::uint8_t>{10, 20, 31, 255}));
}

TEST(Png, PaletteWithAlphaTable) {
  TPngWriter png;
  png.Header(2, 1, 1, 3);
  png.Chunk("PLTE", {255, 0, 0, 0, 0, 255});
  png.Chunk("tRNS", {128});
  png.Data({0, 0b0100'0000});
  TBitmap bitmap = DecodePicture(png.Finish(), "PNG");
  EXPECT_EQ(bitmap.Pixels, (TPixelBuffer{255, 0, 0, 128, 0, 0, 255, 255}));
}

TEST(Png, HugeHeaderFailsBeforeAllocation) {
  TPngWriter png;
  png.Header(20000, 20000, 8, 6);
  png.Data({0});
  EXPECT_EQ(FailureOf([&] { TPngDecoder::Decode(png.Finish()); }), "PNG: picture too large");
}

TEST(Png, DamagedFilesFailWithTheFormatName) {
  TPngWriter png;
  png.Header(4, 4, 8, 0);
  png.Data(std::vector<std::uint8_t>(4 * 5, 0));
  std::vector<std::uint8_t> file = png.Finish();

  std::vector<std::uint8_t> cut(file.begin(), file.end() - 8);  // IEND's type and CRC missing
  EXPECT_EQ(FailureOf([&] { TPngDecoder::Decode(cut); }), "PNG: unexpected end of file");
  std::vector<std::uint8_t> badCrc = file;
  badCrc[badCrc.size() - 13] ^= 1;  // last byte of IDAT's CRC
  EXPECT_EQ(FailureOf([&] { TPngDecoder::Decode(badCrc); }), "PNG: IDAT: CRC error");
  TPngWriter shortData;
  shortData.Header(4, 4, 8, 0);
  shortData.Data(std::vector<std::uint8_t>(4 * 2, 0));
  EXPECT_EQ(FailureOf([&] { TPngDecoder::Decode(shortData.Finish()); }).rfind("PNG: ", 0), 0u);
}
