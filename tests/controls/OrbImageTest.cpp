#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "controls/OrbImage.h"
#include "framework/LowAPI_.h"
#include "pictures/PictureError.h"

using namespace orb;
namespace fs = std::filesystem;

namespace {

void PutU16(std::vector<std::uint8_t>& out, unsigned v) {
  out.push_back(std::uint8_t(v));
  out.push_back(std::uint8_t(v >> 8));
}
void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

// A 2x1 24-bit BMP (file header, 40-byte info header, one padded row),
// written from the format's description: a red and a blue pixel.
std::vector<std::uint8_t> TwoPixelBmp() {
  std::vector<std::uint8_t> bmp = {'B', 'M'};
  PutU32(bmp, 14 + 40 + 8);
  PutU32(bmp, 0);
  PutU32(bmp, 14 + 40);
  PutU32(bmp, 40);
  PutU32(bmp, 2);
  PutU32(bmp, 1);
  PutU16(bmp, 1);
  PutU16(bmp, 24);
  for (int i = 0; i < 6; ++i) PutU32(bmp, 0);
  bmp.insert(bmp.end(), {0, 0, 255, 255, 0, 0, 0, 0});  // BGR red, BGR blue, padding
  return bmp;
}

struct TOrbImageFixture : ::testing::Test {
  void SetUp() override {
    folder = fs::temp_directory_path() / ("orb-image-" + std::to_string(::getpid()));
    fs::create_directories(folder / "pics");
    ProgramFolder = folder.string() + "/";
    Write("pics/logo.bmp", TwoPixelBmp());
  }
  void TearDown() override {
    fs::remove_all(folder);
    ProgramFolder.clear();
  }
  void Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(folder / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                         std::streamsize(bytes.size()));
  }
  std::string FailureOf(TOrbImage& image, const QString& path) {
    try {
      image.SetPath(path);
    } catch (const EPictureError& e) {
      return e.what();
    }
    return "(no failure)";
  }

  fs::path folder;
};

}  // namespace

TEST_F(TOrbImageFixture, LoadsAStoredPathWithBackslashesAndOtherCase) {
  TOrbImage image;
  image.SetPath("Pics\\Logo.BMP");
  ASSERT_EQ(image.Picture().size(), QSize(2, 1));
  EXPECT_EQ(image.Picture().pixelColor(0, 0), QColor(255, 0, 0));
  EXPECT_EQ(image.Picture().pixelColor(1, 0), QColor(0, 0, 255));
  EXPECT_EQ(image.Path(), QString("Pics\\Logo.BMP"));
}

TEST_F(TOrbImageFixture, EmptyMissingOrFolderPathStoresTheTextAndKeepsThePicture) {
  TOrbImage image;
  image.SetPath("pics\\logo.bmp");
  fs::create_directory(folder / "folder.bmp");
  for (const char* path : {"", "pics\\none.bmp", "folder.bmp", "pics"}) {
    image.SetPath(path);
    EXPECT_EQ(image.Path(), path);
    EXPECT_EQ(image.Picture().size(), QSize(2, 1)) << path;
  }
}

TEST_F(TOrbImageFixture, UnregisteredExtensionFailsAfterThePathIsStored) {
  Write("anim.gif", {'G', 'I', 'F', '8', '9', 'a'});
  TOrbImage image;
  image.SetPath("pics\\logo.bmp");
  EXPECT_EQ(FailureOf(image, "anim.gif"), "Unknown picture file extension (.gif)");
  EXPECT_EQ(image.Path(), QString("anim.gif"));
  EXPECT_EQ(image.Picture().size(), QSize(2, 1)) << "the previous picture stays";
}

TEST_F(TOrbImageFixture, DamagedPictureFailsWithTheDecodersMessage) {
  std::vector<std::uint8_t> damaged = TwoPixelBmp();
  damaged.resize(30);
  Write("damaged.bmp", damaged);
  TOrbImage image;
  std::string message = FailureOf(image, "damaged.bmp");
  EXPECT_EQ(message.rfind("BMP", 0), 0u) << message;
  EXPECT_EQ(image.Path(), QString("damaged.bmp"));
}

TEST_F(TOrbImageFixture, PathIsAPropertySetByName) {
  TOrbImage image;
  EXPECT_TRUE(image.setProperty("Path", QString("pics\\logo.bmp")));
  EXPECT_EQ(image.property("Path").toString(), "pics\\logo.bmp");
  EXPECT_EQ(image.Picture().size(), QSize(2, 1));
  EXPECT_EQ(image.metaObject()->indexOfProperty("Caption"), -1) << "a picture box has no caption";
}

TEST(PictureDestination, PlacesThePictureByTheOptions) {
  const QSize box(200, 100);
  EXPECT_EQ(PictureDestination({50, 40}, box, false, false, false), QRect(0, 0, 50, 40));
  EXPECT_EQ(PictureDestination({50, 40}, box, true, false, false), QRect(75, 30, 50, 40));
  EXPECT_EQ(PictureDestination({50, 40}, box, false, true, false), QRect(0, 0, 200, 100));
  // Proportional alone only shrinks a picture that does not fit.
  EXPECT_EQ(PictureDestination({50, 40}, box, false, false, true), QRect(0, 0, 50, 40));
  EXPECT_EQ(PictureDestination({400, 100}, box, false, false, true), QRect(0, 0, 200, 50));
  EXPECT_EQ(PictureDestination({100, 400}, box, true, false, true), QRect(87, 0, 25, 100));
  EXPECT_EQ(PictureDestination({50, 40}, box, true, true, true), QRect(37, 0, 125, 100));
}
