#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "pictures/JpegDecoder.h"
#include "pictures/PictureFile.h"
#include "tests/pictures/LibsTestSupport.h"

using namespace orb;
using namespace orb::test;

namespace {

// Writes a JPEG with libjpeg's compressor: a uniform picture of one colour
// given in the file's own colour space (grey, RGB or CMYK).
struct TJpegRecipe {
  int Width = 16;
  int Height = 16;
  J_COLOR_SPACE Space = JCS_RGB;
  std::vector<std::uint8_t> Colour{200, 100, 50};
  bool AdobeMarker = false;
  int ProgressiveScans = 0;  // 0: baseline; else one scan per AC coefficient and refinement
};

std::vector<std::uint8_t> WriteJpeg(const TJpegRecipe& recipe) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = JDIMENSION(recipe.Width);
  info.image_height = JDIMENSION(recipe.Height);
  info.input_components = int(recipe.Colour.size());
  info.in_color_space = recipe.Space;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  if (recipe.Space == JCS_CMYK) {
    jpeg_set_colorspace(&info, JCS_CMYK);
    info.write_Adobe_marker = recipe.AdobeMarker ? TRUE : FALSE;
  }
  std::vector<jpeg_scan_info> scans;
  if (recipe.ProgressiveScans > 0) {
    // A valid progressive script of one component: DC, then each AC
    // coefficient alone, first its high bits and then its last bit.
    scans.push_back({1, {0}, 0, 0, 0, 0});
    for (int k = 1; k < 64 && int(scans.size()) < recipe.ProgressiveScans; ++k) {
      scans.push_back({1, {0}, k, k, 0, 1});
      scans.push_back({1, {0}, k, k, 1, 0});
    }
    info.scan_info = scans.data();
    info.num_scans = int(scans.size());
  }
  jpeg_start_compress(&info, TRUE);
  std::vector<std::uint8_t> row(std::size_t(recipe.Width) * recipe.Colour.size());
  for (std::size_t i = 0; i < row.size(); ++i) row[i] = recipe.Colour[i % recipe.Colour.size()];
  while (info.next_scanline < info.image_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<std::uint8_t> file(buffer, buffer + size);
  std::free(buffer);
  return file;
}

// Sets the SOF marker's height and width fields.
void SetDimensions(std::vector<std::uint8_t>& file, std::uint16_t width, std::uint16_t height) {
  for (std::size_t i = 2; i + 9 < file.size(); ++i) {
    if (file[i] == 0xFF && (file[i + 1] == 0xC0 || file[i + 1] == 0xC2)) {
      file[i + 5] = std::uint8_t(height >> 8);
      file[i + 6] = std::uint8_t(height);
      file[i + 7] = std::uint8_t(width >> 8);
      file[i + 8] = std::uint8_t(width);
      return;
    }
  }
  FAIL() << "no SOF marker";
}

void ExpectNear(std::span<const std::uint8_t> pixel, int r, int g, int b, int tolerance) {
  EXPECT_NEAR(pixel[0], r, tolerance);
  EXPECT_NEAR(pixel[1], g, tolerance);
  EXPECT_NEAR(pixel[2], b, tolerance);
  EXPECT_EQ(pixel[3], 255);
}

class JpegCorpusValid : public testing::TestWithParam<TCorpusEntry> {};
class JpegCorpusDamaged : public testing::TestWithParam<TCorpusEntry> {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(JpegCorpusValid);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(JpegCorpusDamaged);

}  // namespace

TEST(JpegCorpus, HoldsTheExpectedFiles) {
  ORB_REQUIRE_CORPUS();
  EXPECT_EQ(CorpusEntries("jpeg").size(), 20u);
}

// Same libjpeg-turbo as the reference decoder, default IDCT and upsampling:
// the tolerance only absorbs another build's SIMD rounding.
TEST_P(JpegCorpusValid, MatchesTheReference) {
  const TCorpusEntry& entry = GetParam();
  TBitmap bitmap = LoadPictureFile(entry.File);
  TBitmap reference = ReadReferencePng(entry.File.string() + ".ref.png");
  EXPECT_LE(MaxChannelDifference(bitmap, reference), 2) << entry.Notes;
  EXPECT_EQ(bitmap.Width, reference.Width);
}
INSTANTIATE_TEST_SUITE_P(Files, JpegCorpusValid, testing::ValuesIn(CorpusEntriesWhere("jpeg", true)), CorpusTestName);

// Both damaged files end in the middle of the picture data; shown, their
// lower part would be grey.
TEST_P(JpegCorpusDamaged, FailsCleanly) {
  EXPECT_EQ(FailureOf([&] { LoadPictureFile(GetParam().File); }), "JPEG: unexpected end of file");
}
INSTANTIATE_TEST_SUITE_P(Files, JpegCorpusDamaged, testing::ValuesIn(CorpusEntriesWhere("jpeg", false)), CorpusTestName);

TEST(Jpeg, EveryJpegExtensionDecodes) {
  std::vector<std::uint8_t> file = WriteJpeg({});
  for (const char* extension : {"jpg", "JPEG", "jpe", "jfif"}) {
    TBitmap bitmap = DecodePicture(file, extension);
    EXPECT_EQ(bitmap.Width, 16) << extension;
    ExpectNear(bitmap.Row(8).subspan(32, 4), 200, 100, 50, 3);
  }
}

TEST(Jpeg, GreyBecomesEqualChannels) {
  TBitmap bitmap = TJpegDecoder::Decode(WriteJpeg({.Space = JCS_GRAYSCALE, .Colour = {90}}));
  ExpectNear(bitmap.Row(3).subspan(0, 4), 90, 90, 90, 1);
}

// Without an Adobe marker CMYK values are plain ink amounts.
TEST(Jpeg, PlainCmykUsesTheInkFormula) {
  TBitmap bitmap = TJpegDecoder::Decode(WriteJpeg({.Space = JCS_CMYK, .Colour = {0, 51, 255, 102}}));
  // R = (255 - C)(255 - K) / 255 and so on.
  ExpectNear(bitmap.Row(5).subspan(20, 4), 153, 122, 0, 2);
}

// Adobe writes CMYK inverted: the stored value is 255 minus the ink.
TEST(Jpeg, AdobeCmykIsInverted) {
  TBitmap bitmap = TJpegDecoder::Decode(WriteJpeg({.Space = JCS_CMYK, .Colour = {255, 204, 0, 153}, .AdobeMarker = true}));
  ExpectNear(bitmap.Row(5).subspan(20, 4), 153, 122, 0, 2);
}

TEST(Jpeg, ProgressiveDecodesAndEndlessScansFail) {
  TJpegRecipe grey{.Space = JCS_GRAYSCALE, .Colour = {77}, .ProgressiveScans = 21};
  ExpectNear(TJpegDecoder::Decode(WriteJpeg(grey)).Row(0).subspan(0, 4), 77, 77, 77, 1);
  grey.ProgressiveScans = 127;
  EXPECT_EQ(FailureOf([&] { TJpegDecoder::Decode(WriteJpeg(grey)); }), "JPEG: too many scans");
}

// Both refusals come from the header, before any picture-sized buffer.
TEST(Jpeg, HugeDeclaredSizesFailBeforeAllocation) {
  std::vector<std::uint8_t> file = WriteJpeg({});
  SetDimensions(file, 20000, 20000);
  EXPECT_EQ(FailureOf([&] { TJpegDecoder::Decode(file); }), "JPEG: picture too large");
  // 25 megapixels need at least 390,625 blocks of one bit each; the file has a few hundred bytes.
  SetDimensions(file, 5000, 5000);
  EXPECT_EQ(FailureOf([&] { TJpegDecoder::Decode(file); }), "JPEG: unexpected end of file");
}

// Some writers leave out the end marker; every row is there all the same,
// while a cut through the picture data fails (DamagedFiles below).
TEST(Jpeg, MissingEndMarkerAfterTheLastRowIsHarmless) {
  std::vector<std::uint8_t> file = WriteJpeg({});
  ASSERT_EQ(file[file.size() - 1], 0xD9);
  file.resize(file.size() - 2);
  ExpectNear(TJpegDecoder::Decode(file).Row(15).subspan(60, 4), 200, 100, 50, 3);
}

TEST(Jpeg, DamagedFilesFailWithTheFormatName) {
  std::vector<std::uint8_t> file = WriteJpeg({.Width = 64, .Height = 64});
  std::size_t scan = file.size();  // the start-of-scan marker
  while (scan > 1 && !(file[scan - 2] == 0xFF && file[scan - 1] == 0xDA)) --scan;
  std::vector<std::uint8_t> cut(file.begin(), file.begin() + std::ptrdiff_t((scan + file.size()) / 2));
  EXPECT_EQ(FailureOf([&] { TJpegDecoder::Decode(cut); }), "JPEG: unexpected end of file");
  std::vector<std::uint8_t> notJpeg{'G', 'I', 'F', '8', '9', 'a', 0, 0};
  EXPECT_EQ(FailureOf([&] { TJpegDecoder::Decode(notJpeg); }).rfind("JPEG: Not a JPEG file", 0), 0u);
  EXPECT_EQ(FailureOf([&] { TJpegDecoder::Decode({}); }).rfind("JPEG: ", 0), 0u);
}
