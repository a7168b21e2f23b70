#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "pictures/PictureError.h"
#include "pictures/PictureFile.h"
#include "tests/pictures/CorpusSupport.h"

using namespace orb;

namespace {

// Decoders round the PhotoYCC conversion (tables, fixed point) differently.
constexpr int kPcdTolerance = 4;

constexpr std::size_t kBaseOffset = 96 * 2048;
constexpr int kWidth = 768;
constexpr int kHeight = 512;

// An image pack with the given orientation whose Base image has luma luma
// everywhere except at the top-left pixel, and chroma c1, c2 everywhere.
std::vector<std::uint8_t> MakePack(int orientation, std::uint8_t luma, std::uint8_t corner, std::uint8_t c1,
                                   std::uint8_t c2) {
  std::vector<std::uint8_t> bytes(kBaseOffset + kWidth * kHeight * 3 / 2, 0);
  std::memcpy(bytes.data() + 2048, "PCD_IPI", 7);
  bytes[2048 + 0x602] = std::uint8_t(orientation);
  for (int pair = 0; pair < kHeight / 2; ++pair) {
    std::uint8_t* rows = bytes.data() + kBaseOffset + std::size_t(pair) * kWidth * 3;
    std::memset(rows, luma, 2 * kWidth);
    std::memset(rows + 2 * kWidth, c1, kWidth / 2);
    std::memset(rows + 2 * kWidth + kWidth / 2, c2, kWidth / 2);
  }
  bytes[kBaseOffset] = corner;
  return bytes;
}

// The published PhotoYCC to RGB conversion, computed independently.
std::uint8_t Channel(double v) { return std::uint8_t(std::lround(std::fmin(255.0, std::fmax(0.0, v)))); }

const std::uint8_t* PixelAt(const TBitmap& bitmap, int x, int y) { return bitmap.Row(y).data() + x * 4; }

}  // namespace

TEST(Pcd, BaseImageMatchesReference) {
  ORB_REQUIRE_CORPUS();
  for (const auto& entry : test::CorpusEntries("pcd")) {
    if (!entry.Valid || !entry.HasReference) continue;
    SCOPED_TRACE(entry.File.string());
    TBitmap bitmap = LoadPictureFile(entry.File);
    TBitmap reference = test::ReadReferencePng(entry.File.string() + ".ref.png");
    EXPECT_LE(test::MaxChannelDifference(bitmap, reference), kPcdTolerance);
  }
}

TEST(Pcd, DamagedFilesFailCleanly) {
  ORB_REQUIRE_CORPUS();
  for (const auto& entry : test::CorpusEntries("pcd")) {
    SCOPED_TRACE(entry.File.string());
    std::ifstream in(entry.File, std::ios::binary);
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!entry.Valid && !entry.LenientOk) {
      EXPECT_THROW(DecodePicture(bytes, "pcd"), EPictureError);
    }
    // Cut inside the Base image: the pixels are not all there.
    bytes.resize(kBaseOffset + 1000);
    EXPECT_THROW(DecodePicture(bytes, "pcd"), EPictureError);
  }
  std::vector<std::uint8_t> pack = MakePack(0, 0, 0, 156, 137);
  std::memcpy(pack.data() + 2048, "PCD_OPA", 7);
  EXPECT_THROW(DecodePicture(pack, "pcd"), EPictureError);
  EXPECT_THROW(DecodePicture(std::vector<std::uint8_t>(100, 0), "pcd"), EPictureError);
}

TEST(Pcd, YccConvertsWithThePhotoYccFormula) {
  TBitmap bitmap = DecodePicture(MakePack(0, 120, 120, 190, 110), "pcd");
  ASSERT_EQ(bitmap.Width, kWidth);
  ASSERT_EQ(bitmap.Height, kHeight);
  double l = 1.3584 * 120, c1 = 2.2179 * (190 - 156), c2 = 1.8215 * (110 - 137);
  const std::uint8_t* p = PixelAt(bitmap, 300, 301);
  EXPECT_NEAR(p[0], Channel(l + c2), 1);
  EXPECT_NEAR(p[1], Channel(l - 0.194 * c1 - 0.509 * c2), 1);
  EXPECT_NEAR(p[2], Channel(l + c1), 1);
  EXPECT_EQ(p[3], 255);
  // Neutral chroma is grey; bright luma clips at white.
  TBitmap white = DecodePicture(MakePack(0, 250, 250, 156, 137), "pcd");
  EXPECT_EQ(PixelAt(white, 5, 5)[0], 255);
  EXPECT_EQ(PixelAt(white, 5, 5)[2], 255);
}

TEST(Pcd, OrientationTurnsThePictureUpright) {
  // The marked top-left pixel of the stored picture ends up at a different
  // corner for each orientation.
  struct TCase {
    int Orientation, Width, Height, X, Y;
  };
  for (TCase c : {TCase{0, 768, 512, 0, 0}, TCase{1, 512, 768, 0, 767}, TCase{2, 768, 512, 767, 511},
                  TCase{3, 512, 768, 511, 0}}) {
    SCOPED_TRACE(c.Orientation);
    TBitmap bitmap = DecodePicture(MakePack(c.Orientation, 0, 180, 156, 137), "pcd");
    ASSERT_EQ(bitmap.Width, c.Width);
    ASSERT_EQ(bitmap.Height, c.Height);
    EXPECT_EQ(PixelAt(bitmap, c.X, c.Y)[0], Channel(1.3584 * 180));
    EXPECT_EQ(PixelAt(bitmap, c.Width - 1 - c.X, c.Height - 1 - c.Y)[0], 0);
  }
}
