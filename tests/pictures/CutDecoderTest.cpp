#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "pictures/PictureError.h"
#include "pictures/PictureFile.h"

using namespace orb;
namespace fs = std::filesystem;

namespace {

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
  out.push_back(std::uint8_t(v));
  out.push_back(std::uint8_t(v >> 8));
}

// A CUT file written by its description: width, height, a reserved word,
// then per row a byte count and the row's runs, closed by a 0 code byte.
// Each row is given as its encoded runs.
std::vector<std::uint8_t> MakeCut(unsigned width, const std::vector<std::vector<std::uint8_t>>& rows) {
  std::vector<std::uint8_t> out;
  Put16(out, width);
  Put16(out, unsigned(rows.size()));
  Put16(out, 0);
  for (const auto& runs : rows) {
    Put16(out, unsigned(runs.size() + 1));
    out.insert(out.end(), runs.begin(), runs.end());
    out.push_back(0);
  }
  return out;
}

// A Dr. Halo palette: the 40-byte header, then 16-bit triples in 512-byte
// blocks, a triple never crossing into the next block.
std::vector<std::uint8_t> MakePalette(const std::vector<std::array<unsigned, 3>>& colours, unsigned max) {
  std::vector<std::uint8_t> out{'A', 'H'};
  Put16(out, 0xE3);   // version
  Put16(out, 0);      // size
  out.push_back(10);  // file type: palette
  out.push_back(0);   // subtype
  Put16(out, 0);      // board id
  Put16(out, 0);      // graphics mode
  Put16(out, unsigned(colours.size() - 1));
  for (int i = 0; i < 3; ++i) Put16(out, max);
  for (char c : std::string("Dr. Halo")) out.push_back(std::uint8_t(c));
  out.resize(40, 0);
  for (const auto& rgb : colours) {
    if (512 - out.size() % 512 < 6) out.resize(out.size() + 512 - out.size() % 512, 0);
    for (unsigned v : rgb) Put16(out, v);
  }
  return out;
}

void WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

class CutFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("orb_cut_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

// Row: a run of 3 x index 7, then the literal indices 1, 2.
const std::vector<std::uint8_t> kRow = {0x83, 7, 0x02, 1, 2};

// 100 colours: past the 78 that fit in the first block beside the header.
std::vector<std::array<unsigned, 3>> SixBitColours() {
  std::vector<std::array<unsigned, 3>> colours(100);
  for (unsigned i = 0; i < colours.size(); ++i) colours[i] = {i % 64, 63 - i % 64, 21};
  return colours;
}

const std::uint8_t* PixelAt(const TBitmap& bitmap, int x, int y) { return bitmap.Row(y).data() + x * 4; }

}  // namespace

TEST(Cut, RunsAndLiteralsWithoutPaletteAreGrey) {
  TBitmap bitmap = DecodePicture(MakeCut(5, {kRow, {0x85, 200}}), "cut");
  ASSERT_EQ(bitmap.Width, 5);
  ASSERT_EQ(bitmap.Height, 2);
  const std::uint8_t expected[] = {7, 7, 7, 1, 2};
  for (int x = 0; x < 5; ++x) {
    EXPECT_EQ(PixelAt(bitmap, x, 0)[0], expected[x]);
    EXPECT_EQ(PixelAt(bitmap, x, 0)[2], expected[x]);
    EXPECT_EQ(PixelAt(bitmap, x, 1)[1], 200);
    EXPECT_EQ(PixelAt(bitmap, x, 1)[3], 255);
  }
}

TEST_F(CutFiles, PaletteBesideIsFoundIgnoringCaseAndScaled) {
  WriteFile(dir_ / "LOGO.CUT", MakeCut(3, {{0x01, 90, 0x82, 1}}));
  WriteFile(dir_ / "logo.Pal", MakePalette(SixBitColours(), 63));
  TBitmap bitmap = LoadPictureFile(dir_ / "LOGO.CUT");
  // Index 90 sits in the second 512-byte block of the palette file.
  const std::uint8_t* p = PixelAt(bitmap, 0, 0);
  auto scaled = [](unsigned v) { return (v * 255 + 31) / 63; };
  EXPECT_EQ(p[0], scaled(90 % 64));
  EXPECT_EQ(p[1], scaled(63 - 90 % 64));
  EXPECT_EQ(p[2], 85);
  EXPECT_EQ(PixelAt(bitmap, 2, 0)[0], 4);  // 1 of 63, rounded
  EXPECT_EQ(PixelAt(bitmap, 2, 0)[1], 251);
}

TEST_F(CutFiles, PaletteOfAnotherProgramIsIgnored) {
  WriteFile(dir_ / "a.cut", MakeCut(2, {{0x82, 9}}));
  WriteFile(dir_ / "a.pal", {'R', 'I', 'F', 'F', 16, 0, 0, 0, 'P', 'A', 'L', ' '});
  TBitmap bitmap = LoadPictureFile(dir_ / "a.cut");
  EXPECT_EQ(PixelAt(bitmap, 1, 0)[0], 9);
  EXPECT_EQ(PixelAt(bitmap, 1, 0)[1], 9);
}

TEST_F(CutFiles, TruncatedPaletteFails) {
  WriteFile(dir_ / "b.cut", MakeCut(2, {{0x82, 9}}));
  std::vector<std::uint8_t> palette = MakePalette(SixBitColours(), 63);
  palette.resize(300);
  WriteFile(dir_ / "b.pal", palette);
  try {
    LoadPictureFile(dir_ / "b.cut");
    ADD_FAILURE() << "a truncated palette was read";
  } catch (const EPictureError& e) {
    EXPECT_STREQ(e.what(), "CUT palette: unexpected end of file");
  }
}

TEST(Cut, RunsPastTheWidthAreDropped) {
  // A run of 127 in a row of 4: the extra pixels go, the next row is intact.
  TBitmap bitmap = DecodePicture(MakeCut(4, {{0xFF, 3}, {0x04, 1, 2, 3, 4}}), "cut");
  EXPECT_EQ(PixelAt(bitmap, 3, 0)[0], 3);
  EXPECT_EQ(PixelAt(bitmap, 3, 1)[0], 4);
}

TEST(Cut, DamagedFilesFailCleanly) {
  std::vector<std::uint8_t> good = MakeCut(5, {kRow, kRow});
  for (std::size_t size : {std::size_t(0), std::size_t(5), std::size_t(10), good.size() - 1}) {
    SCOPED_TRACE(size);
    EXPECT_THROW(DecodePicture(std::span(good).first(size), "cut"), EPictureError);
  }
  EXPECT_THROW(DecodePicture(MakeCut(0, {kRow}), "cut"), EPictureError);
  // A literal run longer than the data left.
  EXPECT_THROW(DecodePicture(MakeCut(5, {{0x7F, 1, 2}}), "cut"), EPictureError);
  // A width that the few runs of the file cannot fill is refused.
  EXPECT_THROW(DecodePicture(MakeCut(60000, {{0x85, 1}, {0x85, 1}}), "cut"), EPictureError);
  // A huge height that the file cannot hold is refused before allocating.
  std::vector<std::uint8_t> tall = good;
  tall[2] = tall[3] = 0xFF;
  tall[0] = tall[1] = 0xFF;
  EXPECT_THROW(DecodePicture(tall, "cut"), EPictureError);
}
