#include <gtest/gtest.h>

#include "pictures/EpsDecoder.h"
#include "pictures/PictureFile.h"
#include "tests/pictures/LibsTestSupport.h"

using namespace orb;
using namespace orb::test;

namespace {

// A DOS EPS binary file: magic C5D0D3C6, then offset and length of the
// PostScript, the WMF preview and the TIFF preview (uint32 little-endian),
// then the sections in that order.
std::vector<std::uint8_t> WriteDosEps(const std::string& postScript, const std::vector<std::uint8_t>& wmf,
                                      const std::vector<std::uint8_t>& tiff) {
  std::vector<std::uint8_t> file{0xC5, 0xD0, 0xD3, 0xC6};
  auto put32 = [&](std::size_t v) {
    for (int shift = 0; shift < 32; shift += 8) file.push_back(std::uint8_t(v >> shift));
  };
  std::size_t offset = 30;
  for (std::size_t length : {postScript.size(), wmf.size(), tiff.size()}) {
    put32(length ? offset : 0);
    put32(length);
    offset += length;
  }
  file.insert(file.end(), {0xFF, 0xFF});  // no header checksum
  file.insert(file.end(), postScript.begin(), postScript.end());
  file.insert(file.end(), wmf.begin(), wmf.end());
  file.insert(file.end(), tiff.begin(), tiff.end());
  return file;
}

const std::string kPostScript = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 2 1\n";

class EpsCorpus : public testing::TestWithParam<TCorpusEntry> {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(EpsCorpus);

}  // namespace

TEST(EpsCorpusFiles, HoldsTheExpectedFiles) {
  ORB_REQUIRE_CORPUS();
  EXPECT_EQ(CorpusEntries("eps").size(), 7u);
}

// DOS binary files show their TIFF preview as the reference does; pure
// PostScript files (referenced by a PostScript render) have nothing to show;
// the damaged file's PostScript section runs past its end.
TEST_P(EpsCorpus, PreviewOrCleanFailure) {
  const TCorpusEntry& entry = GetParam();
  bool dosBinary = entry.Notes.find("DOS EPS binary header") != std::string::npos;
  if (!entry.Valid) {
    EXPECT_EQ(FailureOf([&] { LoadPictureFile(entry.File); }), "EPS: section outside the file");
  } else if (dosBinary) {
    TBitmap bitmap = LoadPictureFile(entry.File);
    EXPECT_EQ(MaxChannelDifference(bitmap, ReadReferencePng(entry.File.string() + ".ref.png")), 0);
  } else {
    EXPECT_EQ(FailureOf([&] { LoadPictureFile(entry.File); }), "EPS: no preview picture");
  }
}
INSTANTIATE_TEST_SUITE_P(Files, EpsCorpus, testing::ValuesIn(CorpusEntries("eps")), CorpusTestName);

TEST(Eps, TiffPreviewIsShown) {
  std::vector<std::uint8_t> tiff = WriteTiff(2, 1, {{258, 3, {8}}, {262, 3, {1}}}, {10, 240});
  TBitmap bitmap = TEpsDecoder::Decode(WriteDosEps(kPostScript, {}, tiff));
  EXPECT_EQ(bitmap.Pixels, (TPixelBuffer{10, 10, 10, 255, 240, 240, 240, 255}));
}

// The WMF player is another family; without it the test has nothing to check.
// This program links no metafile decoders: the one of the table says so.
TEST(Eps, WmfPreviewGoesToTheMetafileDecoder) {
  // Placeable header (key, handle, bounds 0,0-1440,720 at 1440 units per
  // inch: one inch by half an inch, checksum), then a metafile header and
  // the end-of-file record.
  std::vector<std::uint8_t> wmf{0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0, 0xA0, 0x05, 0xD0, 0x02, 0xA0, 0x05, 0, 0, 0, 0};
  std::uint16_t checksum = 0;
  for (std::size_t i = 0; i < 20; i += 2) checksum ^= std::uint16_t(wmf[i] | (wmf[i + 1] << 8));
  wmf.insert(wmf.end(), {std::uint8_t(checksum), std::uint8_t(checksum >> 8)});
  wmf.insert(wmf.end(), {1, 0, 9, 0, 0, 3, 12, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0});
  wmf.insert(wmf.end(), {3, 0, 0, 0, 0, 0});
  EXPECT_EQ(FailureOf([&] { TEpsDecoder::Decode(WriteDosEps(kPostScript, wmf, {})); }),
            "EPS: bad preview picture (WMF: not readable by this program)");
}

TEST(Eps, FilesWithoutPreviewOrWithBadSectionsFail) {
  std::vector<std::uint8_t> pure(kPostScript.begin(), kPostScript.end());
  EXPECT_EQ(FailureOf([&] { DecodePicture(pure, "eps"); }), "EPS: no preview picture");
  EXPECT_EQ(FailureOf([&] { TEpsDecoder::Decode(WriteDosEps(kPostScript, {}, {})); }), "EPS: no preview picture");

  std::vector<std::uint8_t> tiff = WriteTiff(1, 1, {{258, 3, {8}}, {262, 3, {1}}}, {0});
  std::vector<std::uint8_t> cut = WriteDosEps(kPostScript, {}, tiff);
  cut.pop_back();
  EXPECT_EQ(FailureOf([&] { TEpsDecoder::Decode(cut); }), "EPS: section outside the file");
  std::vector<std::uint8_t> notTiff{'I', 'I', 42, 0, 0xFF, 0xFF, 0, 0};
  EXPECT_EQ(FailureOf([&] { TEpsDecoder::Decode(WriteDosEps(kPostScript, {}, notTiff)); })
                .rfind("EPS: bad preview picture (TIFF: not a readable TIFF file", 0),
            0u);
  std::vector<std::uint8_t> headerOnly{0xC5, 0xD0, 0xD3, 0xC6, 30, 0};
  EXPECT_EQ(FailureOf([&] { TEpsDecoder::Decode(headerOnly); }), "EPS: unexpected end of file");
}
