// The Software Distribution menu of the built Setup as a user meets it
// under Xvfb: its sky-blue window appears centred with the project's
// caption, picture and captions, its button opens nothing, and a broken
// catalogue is reported before the menu shows; the medium is never written.

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <thread>

#include "tests/e2e/MenuFixture.h"
#include "tests/support/CataloguePacket.h"

using namespace orb::test;

namespace {

constexpr std::uint32_t kSkyBlue = 0xA6CAF0;
constexpr std::uint32_t kBannerRed = 0xC82828;

// A 24-bit BMP of one colour.
void WriteBmp(const fs::path& file, int width, int height, std::uint32_t rgb) {
  const int rowBytes = (width * 3 + 3) / 4 * 4;
  const std::uint32_t dataBytes = std::uint32_t(rowBytes * height);
  std::string bytes = "BM";
  auto put = [&bytes](std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(char(value >> (8 * i) & 0xFF));
  };
  put(54 + dataBytes, 4), put(0, 4), put(54, 4);
  put(40, 4), put(std::uint32_t(width), 4), put(std::uint32_t(height), 4), put(1, 2), put(24, 2);
  put(0, 4), put(dataBytes, 4), put(2835, 4), put(2835, 4), put(0, 4), put(0, 4);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) put(rgb & 0xFF, 1), put(rgb >> 8 & 0xFF, 1), put(rgb >> 16, 1);
    bytes.append(std::size_t(rowBytes - width * 3), '\0');
  }
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}

// Whether every pixel of the rectangle is the colour of its row's first pixel.
bool Plain(const TWindowImage& image, int left, int top, int right, int bottom) {
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      if (image.At(x, y) != image.At(left, y)) return false;
  return true;
}

// What the window shows once it has painted its background.
TWindowImage CaptureWhenPainted(TXClient& x, const TWindowPlace& window) {
  TWindowImage image;
  for (int i = 0; i < 100; ++i) {
    image = x.Capture(window);
    if (image.Width == window.Width && image.At(300, 340) == kSkyBlue) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return image;
}

class TSoftwareDistributionEndToEnd : public TMenuEndToEnd {
 protected:
  void SetUp() override {
    TMenuEndToEnd::SetUp();
    if (IsSkipped()) return;
    WriteProject(
        "<Orbdeck><Project><CDFormClass><Title>Software Distribution</Title></CDFormClass><Setup><Title>Catalogue"
        "</Title></Setup><MainForm><Caption>Orbit Software Catalogue</Caption><AlphaBlendValue>255</AlphaBlendValue>"
        "<AlphaBlend>False</AlphaBlend><Components><OrbImage1><Path>pics\\BANNER.bmp</Path></OrbImage1>"
        "<CheckBox1><Caption>Info</Caption></CheckBox1><OrbExecButton1><Caption>Go</Caption></OrbExecButton1>"
        "</Components></MainForm></Project></Orbdeck>");
    WriteBmp(medium / "Pics" / "Banner.bmp", 120, 60, kBannerRed);
  }
};

TEST_F(TSoftwareDistributionEndToEnd, TheMenuShowsTheRestoredPictureAndCaptionsAndItsButtonOpensNothing) {
  WriteScript(medium / "install.sh", "echo started > '" + (outside / "started").string() + "'");
  WriteData(CataloguePacket("<ROW Title=\"Archiver\" Link=\"install.sh\" Action=\"File\"/>"
                            "<ROW Title=\"Notes\" Link=\"www.notes.example\" Action=\"Internet\"/>"));
  TSnapshot before = Snapshot(medium);
  TXClient x(xvfb->Display());
  ASSERT_TRUE(x.Open());
  Start();
  auto window = x.WaitForWindow("Orbit Software Catalogue", kWindowTimeout);
  ASSERT_TRUE(window) << Output();
  EXPECT_EQ(window->Width, 544);
  EXPECT_EQ(window->Height, 375);
  EXPECT_EQ(window->X, (x.ScreenWidth() - 544) / 2) << "centred";
  EXPECT_EQ(window->Y, (x.ScreenHeight() - 375) / 2);

  const TWindowImage image = CaptureWhenPainted(x, *window);
  ASSERT_EQ(image.Width, 544);
  EXPECT_EQ(image.At(300, 340), kSkyBlue) << "the window's background";
  EXPECT_EQ(image.At(8 + 60, 8 + 30), kBannerRed) << "the picture at the picture box's corner";
  EXPECT_EQ(image.At(8 + 200, 8 + 30), kSkyBlue) << "the picture is not stretched";
  // The short captions leave most of each control plain, where the form's
  // own captions would fill it.
  EXPECT_FALSE(Plain(image, 56, 240, 80, 257)) << "the check box shows a caption";
  EXPECT_TRUE(Plain(image, 84, 240, 137, 257)) << "a short one";
  EXPECT_FALSE(Plain(image, 200, 268, 227, 286)) << "the button shows a caption";
  EXPECT_TRUE(Plain(image, 180, 268, 200, 286));
  EXPECT_TRUE(Plain(image, 227, 268, 247, 286));
  for (int y = 50; y <= 150; y += 50) EXPECT_TRUE(Plain(image, 50, y, 115, y + 17)) << "no launch text at top " << y;

  x.Click(*window, 176 + 37, 264 + 12);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_FALSE(fs::exists(outside / "opened"));
  EXPECT_FALSE(fs::exists(outside / "started"));
  CloseAndExpectTheEnd(x, *window);
  EXPECT_EQ(Snapshot(medium), before);
}

TEST_F(TSoftwareDistributionEndToEnd, ABrokenCatalogueShowsTheStoresMessageThenTheMenu) {
  const std::string packet = CataloguePacket("<ROW Title=\"Archiver\" Link=\"install.sh\" Action=\"File\"/>");
  WriteData(packet.substr(0, packet.size() / 2));
  TSnapshot before = Snapshot(medium);
  TXClient x(xvfb->Display());
  ASSERT_TRUE(x.Open());
  Start();
  // The report comes while the menu is being made, under the program's title.
  auto report = x.WaitForWindow("Setup", kWindowTimeout);
  ASSERT_TRUE(report) << Output();
  EXPECT_NE(Output().find("Mismatch in datapacket."), std::string::npos) << Output();
  EXPECT_FALSE(x.WaitForWindow("Orbit Software Catalogue", std::chrono::milliseconds(300)))
      << "the menu waits for the report";
  x.Close(*report);
  auto window = x.WaitForWindow("Orbit Software Catalogue", kWindowTimeout);
  ASSERT_TRUE(window);
  EXPECT_EQ(CaptureWhenPainted(x, *window).At(8 + 60, 8 + 30), kBannerRed) << "the rest of the start goes on";
  CloseAndExpectTheEnd(x, *window);
  EXPECT_EQ(Snapshot(medium), before);
}

}  // namespace
