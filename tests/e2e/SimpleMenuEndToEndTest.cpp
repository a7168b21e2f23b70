// The Simple menu of the built Setup as a user meets it under Xvfb: it
// appears centred with the project's caption, an entry is chosen in the list
// and "Install" opens its link; the medium is never written.

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <thread>

#include "tests/e2e/HostFixture.h"
#include "tests/e2e/XClient.h"
#include "tests/support/SimplePacket.h"

using namespace orb::test;

namespace {

constexpr auto kWindowTimeout = std::chrono::seconds(20);


class TSimpleMenuEndToEnd : public THostEndToEnd {
 protected:
  void SetUp() override {
    THostEndToEnd::SetUp();
    if (IsSkipped()) return;
    // A recording desktop opener first on PATH, and a place outside the
    // medium for what the programs it starts write.
    outside = medium.string() + "-outside";
    fs::remove_all(outside);
    fs::create_directories(outside / "bin");
    WriteScript(outside / "bin" / "xdg-open", "printf '%s\\n' \"$1\" >> '" + (outside / "opened").string() + "'");
    WriteProject(
        "<Orbdeck><Project><CDFormClass><Title>Simple</Title></CDFormClass><Setup><Title>My CD</Title></Setup>"
        "<MainForm><Caption>My Menu</Caption><AlphaBlendValue>255</AlphaBlendValue><AlphaBlend>False</AlphaBlend>"
        "<Components><Install><Caption>Open</Caption></Install></Components></MainForm></Project></Orbdeck>");
  }
  void TearDown() override {
    if (pid > 0) WaitForExit(pid, std::chrono::seconds(0));
    if (!outside.empty()) fs::remove_all(outside);
    THostEndToEnd::TearDown();
  }

  static void WriteScript(const fs::path& file, const std::string& body) {
    std::ofstream(file) << "#!/bin/sh\n" << body << "\n";
    fs::permissions(file, fs::perms::owner_all);
  }
  void WriteData(const std::string& bytes) { std::ofstream(medium / "Data" / "db.xml", std::ios::binary) << bytes; }

  void Start() {
    const char* path = std::getenv("PATH");
    pid = StartSetup({{"PATH", (outside / "bin").string() + ":" + (path ? path : "")}}, (outside / "output").string());
  }
  // Closes the menu; Setup must then end normally.
  void CloseAndExpectTheEnd(TXClient& x, const TWindowPlace& window) {
    x.Close(window);
    EXPECT_EQ(WaitForExit(pid, std::chrono::seconds(20)), 0);
    pid = -1;
  }
  // A line a started program wrote, once it is there.
  static std::string WaitForLine(const fs::path& file) {
    for (int i = 0; i < 500; ++i) {
      std::ifstream in(file);
      std::string line;
      if (std::getline(in, line)) return line;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return "(nothing)";
  }
  std::string Output() const {
    std::ifstream in(outside / "output");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // Where "Install" lies in the menu (the form's layout at 96 dots per inch).
  static constexpr int kInstallX = 368 + 39, kInstallY = 200 + 12;

  fs::path outside;
  pid_t pid = -1;
};

TEST_F(TSimpleMenuEndToEnd, TheMenuAppearsCentredAndInstallOpensTheChosenEntry) {
  fs::create_directories(medium / "Docs");
  std::ofstream(medium / "Docs" / "Readme.html") << "<html/>";
  WriteScript(medium / "run.sh", "echo started > '" + (outside / "started").string() + "'");
  WriteData(SimplePacket("<ROW Title=\"A setup\" Link=\"run.sh\"/><ROW Title=\"B readme\" Link=\"Docs&#092;readme.html\"/>"));
  TSnapshot before = Snapshot(medium);
  TXClient x(xvfb->Display());
  ASSERT_TRUE(x.Open());
  Start();
  auto window = x.WaitForWindow("My Menu", kWindowTimeout);
  ASSERT_TRUE(window) << Output();
  EXPECT_EQ(window->Width, 457);
  EXPECT_EQ(window->Height, 230);
  EXPECT_EQ(window->X, (x.ScreenWidth() - 457) / 2) << "centred";
  EXPECT_EQ(window->Y, (x.ScreenHeight() - 230) / 2);

  x.Click(*window, 20, 5);  // the first row
  x.PressKey(XK_Down);      // the second: the readme
  x.Click(*window, kInstallX, kInstallY);
  EXPECT_EQ(WaitForLine(outside / "opened"), (medium / "Docs" / "Readme.html").string());

  x.PressKey(XK_Up);  // back to the first row, whose link is a program
  x.Click(*window, 20, 5);
  x.Click(*window, kInstallX, kInstallY);
  EXPECT_EQ(WaitForLine(outside / "started"), "started") << "an executable link is started directly";

  CloseAndExpectTheEnd(x, *window);
  EXPECT_EQ(Snapshot(medium), before);
}

TEST_F(TSimpleMenuEndToEnd, WithoutADataFolderInstallOpensTheProgramFolder) {
  fs::remove_all(medium / "Data");
  TSnapshot before = Snapshot(medium);
  TXClient x(xvfb->Display());
  Start();
  auto window = x.WaitForWindow("My Menu", kWindowTimeout);
  ASSERT_TRUE(window) << Output();
  x.Click(*window, kInstallX, kInstallY);
  EXPECT_EQ(WaitForLine(outside / "opened"), medium.string() + "/");
  CloseAndExpectTheEnd(x, *window);
  EXPECT_EQ(Snapshot(medium), before);
}

TEST_F(TSimpleMenuEndToEnd, ABrokenDataFileShowsTheStoresMessageThenTheEmptyMenu) {
  WriteData("<DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"Name\" fieldtype=\"string\" WIDTH=\"9\"/>"
            "</FIELDS></METADATA><ROWDATA/></DATAPACKET>");
  TSnapshot before = Snapshot(medium);
  TXClient x(xvfb->Display());
  Start();
  // The report comes while the menu is being made, under the program's title.
  auto report = x.WaitForWindow("Setup", kWindowTimeout);
  ASSERT_TRUE(report) << Output();
  EXPECT_NE(Output().find("Field 'Title' not found."), std::string::npos) << Output();
  EXPECT_FALSE(x.WaitForWindow("My Menu", std::chrono::milliseconds(300))) << "the menu waits for the report";
  x.Close(*report);
  auto window = x.WaitForWindow("My Menu", kWindowTimeout);
  ASSERT_TRUE(window);
  x.Click(*window, kInstallX, kInstallY);
  EXPECT_EQ(WaitForLine(outside / "opened"), medium.string() + "/") << "without a record the link is empty";
  CloseAndExpectTheEnd(x, *window);
  EXPECT_EQ(Snapshot(medium), before);
}

}  // namespace
