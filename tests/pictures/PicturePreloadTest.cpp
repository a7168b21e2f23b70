#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "pictures/PictureFile.h"
#include "pictures/PicturePreload.h"
#include "tests/pictures/CorpusSupport.h"

using namespace orb;
namespace fs = std::filesystem;

namespace {

// A picture of width x 1 pixels in one grey.
std::string GreyRow(int width, char grey) { return "P5\n" + std::to_string(width) + " 1\n255\n" + std::string(width, grey); }

const std::string kDamaged = "P5\n0 1\n255\n";

// The picture file is a pipe while it is preloaded: writing the bytes into
// it returns once the preload has read them. The pipe is then replaced by a
// plain file with other bytes, so a load shows where its picture came from.
class PicturePreloads : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("orb_preload_" + std::to_string(getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    DropPicturePreloads();
    fs::remove_all(dir_);
  }

  fs::path PreloadThroughPipe(const std::string& bytes) {
    fs::path file = dir_ / "picture.pgm";
    EXPECT_EQ(mkfifo(file.c_str(), 0600), 0);
    PreloadPictureFile(file);
    std::ofstream(file, std::ios::binary) << bytes;
    fs::remove(file);
    return file;
  }
  static void Write(const fs::path& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }

  fs::path dir_;
};

}  // namespace

TEST_F(PicturePreloads, ALoadTakesThePreloadedPictureOnceThenReadsTheFile) {
  fs::path file = PreloadThroughPipe(GreyRow(1, 'a'));
  Write(file, GreyRow(2, 'b'));

  TBitmap preloaded = LoadPictureFile(file);
  EXPECT_EQ(preloaded.Width, 1);
  EXPECT_EQ(preloaded.Pixels[0], 'a');
  TBitmap read = LoadPictureFile(file);
  EXPECT_EQ(read.Width, 2);
  EXPECT_EQ(read.Pixels[0], 'b');
}

TEST_F(PicturePreloads, TheFailureOfAPreloadIsTheFailureOfTheLoad) {
  Write(dir_ / "damaged.pgm", kDamaged);
  const std::string failure = test::FailureOf([&] { ReadPictureFile(dir_ / "damaged.pgm"); });
  ASSERT_FALSE(failure.empty());

  fs::path file = PreloadThroughPipe(kDamaged);
  Write(file, GreyRow(1, 'a'));
  EXPECT_EQ(test::FailureOf([&] { LoadPictureFile(file); }), failure);
  EXPECT_EQ(LoadPictureFile(file).Width, 1);
}

TEST_F(PicturePreloads, ADroppedPreloadIsNotTaken) {
  fs::path file = PreloadThroughPipe(GreyRow(1, 'a'));
  Write(file, GreyRow(2, 'b'));
  DropPicturePreloads();
  EXPECT_EQ(LoadPictureFile(file).Width, 2);
}

TEST_F(PicturePreloads, APreloadOfAnotherFileIsNotTaken) {
  fs::path file = PreloadThroughPipe(GreyRow(1, 'a'));
  Write(dir_ / "other.pgm", GreyRow(3, 'c'));
  EXPECT_EQ(LoadPictureFile(dir_ / "other.pgm").Width, 3);
  EXPECT_EQ(LoadPictureFile(file).Width, 1);
}
