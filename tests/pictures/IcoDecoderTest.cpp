#include <gtest/gtest.h>

#include "pictures/IcoDecoder.h"
#include "tests/pictures/BmpGroupTestSupport.h"

using namespace orb;
using namespace orb::test;

TEST(Ico, CorpusFilesMatchTheirReferences) {
  ORB_REQUIRE_CORPUS();
  CheckValidCorpusFiles(
      "ico", "ico", [](const std::string&) { return 0; },
      [](const std::string& name) { return name == "pillow.ico" || name == "hopper_draw.ico" ? "png" : ""; });
}

TEST(Ico, DamagedCorpusFilesFailCleanly) {
  ORB_REQUIRE_CORPUS();
  CheckDamagedCorpusFiles("ico", "ico");
}

namespace {

// The bitmap of an icon entry: a 40-byte info header whose height counts the
// AND mask too, the palette, the colour rows and the mask rows, bottom first.
TBytes IconBitmap(int size, int bpp, const std::vector<int>& palette, const std::vector<int>& rows,
                  const std::vector<int>& maskRows) {
  TBytes out;
  out.U32({40, size, size * 2}).U16({1, bpp}).U32({0, 0, 0, 0, std::int64_t(palette.size() / 4), 0});
  for (int v : palette) out.U8({v});
  for (int v : rows) out.U8({v});
  for (int v : maskRows) out.U8({v});
  return out;
}

// The icon directory and its entries' images, one after another.
TBytes Icon(const std::vector<TBytes>& images) {
  TBytes out;
  out.U16({0, 1, int(images.size())});
  std::int64_t offset = 6 + 16 * std::int64_t(images.size());
  for (const TBytes& image : images) {
    out.U8({0, 0, 0, 0}).U16({1, 0}).U32({std::int64_t(image.Size()), offset});
    offset += std::int64_t(image.Size());
  }
  for (TBytes image : images)
    for (std::uint8_t b : image.Data()) out.U8({b});
  return out;
}

}  // namespace

TEST(Ico, LargestThenDeepestImageWithAndMask) {
  // 1x1 1-bit; 2x2 4-bit (index 1 = red); 2x2 24-bit (blue, green): the last is chosen.
  TBytes small = IconBitmap(1, 1, {0, 0, 0, 0, 255, 255, 255, 0}, {0x80, 0, 0, 0}, {0, 0, 0, 0});
  TBytes shallow =
      IconBitmap(2, 4, {0, 0, 0, 0, 0, 0, 255, 0}, {0x11, 0, 0, 0, 0x11, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0});
  // Rows of 6 bytes padded to 8; the mask's top row (stored last) hides its left pixel.
  TBytes deep = IconBitmap(2, 24, {}, {255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0},
                           {0, 0, 0, 0, 0x80, 0, 0, 0});
  TBitmap bitmap = DecodePicture(Icon({small, shallow, deep}).Data(), "ico");
  ASSERT_EQ(bitmap.Width, 2);
  EXPECT_EQ(PixelAt(bitmap, 0, 1), (std::vector<int>{0, 0, 255, 255}));
  EXPECT_EQ(PixelAt(bitmap, 1, 0), (std::vector<int>{0, 255, 0, 255}));
  EXPECT_EQ(PixelAt(bitmap, 0, 0)[3], 0);
}

TEST(Ico, AlphaOfThirtyTwoBitImagesOverridesTheMask) {
  TBytes withAlpha = IconBitmap(1, 32, {}, {10, 20, 30, 128}, {0x80, 0, 0, 0});
  EXPECT_EQ(PixelAt(DecodePicture(Icon({withAlpha}).Data(), "ico"), 0, 0), (std::vector<int>{30, 20, 10, 128}));
  // Alpha zero throughout: an old icon whose transparency is in the mask only.
  TBytes maskOnly = IconBitmap(1, 32, {}, {10, 20, 30, 0}, {0, 0, 0, 0});
  EXPECT_EQ(PixelAt(DecodePicture(Icon({maskOnly}).Data(), "ico"), 0, 0), (std::vector<int>{30, 20, 10, 255}));
}

TEST(Ico, DamagedDirectoriesFailWithTheIconFormatNamed) {
  TBytes image = IconBitmap(4, 24, {}, {1, 2, 3}, {});
  EXPECT_EQ(FailureOf([&] { DecodePicture(Icon({image}).Data(), "ico"); }), "ICO: unexpected end of file");
  TBytes pastEnd;
  pastEnd.U16({0, 1, 1}).U8({1, 1, 0, 0}).U16({1, 24}).U32({40, 1000});
  EXPECT_EQ(FailureOf([&] { DecodePicture(pastEnd.Data(), "ico"); }), "ICO: no readable image");
  // A PNG entry claiming about 3.4 billion pixels a side: its size must
  // compare without overflow, and the picture must fail to decode.
  TBytes png;
  png.U8({0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 13, 'I', 'H', 'D', 'R'});
  png.U8({0xc9, 0xc9, 0xc9, 0xc9, 0xc9, 0xc9, 0xc9, 0xc9, 8, 6, 0, 0, 0});
  EXPECT_THROW(DecodePicture(Icon({IconBitmap(1, 32, {}, {1, 2, 3, 4}, {0, 0, 0, 0}), png}).Data(), "ico"),
               EPictureError);
  TBytes notIcon;
  notIcon.U16({0, 7, 1});
  EXPECT_EQ(FailureOf([&] { DecodePicture(notIcon.Data(), "ico"); }), "ICO: not an icon file");
}

TEST(Ico, PngEntryGoesToThePngDecoder) {
  ORB_REQUIRE_CORPUS();
  std::vector<std::uint8_t> bytes = ReadFileBytes(PictureCorpusDir() / "ico" / "hopper_draw.ico");
  if (!IsPictureExtension("png")) {
    EXPECT_EQ(FailureOf([&] { DecodePicture(bytes, "ico"); }), "ICO: PNG images not supported");
    return;
  }
  EXPECT_EQ(DecodePicture(bytes, "ico").Width, 16);
}
