// The Simple menu of the built Setup as a user meets it under Xvfb: it
// appears centred with the project's caption, an entry is chosen in the list
// and "Install" opens its link; the medium is never written.

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include "tests/e2e/MenuFixture.h"
#include "tests/support/SimplePacket.h"

using namespace orb::test;

namespace {

class TSimpleMenuEndToEnd : public TMenuEndToEnd {
 protected:
  void SetUp() override {
    TMenuEndToEnd::SetUp();
    if (IsSkipped()) return;
    WriteProject(
        "<Orbdeck><Project><CDFormClass><Title>Simple</Title></CDFormClass><Setup><Title>My CD</Title></Setup>"
        "<MainForm><Caption>My Menu</Caption><AlphaBlendValue>255</AlphaBlendValue><AlphaBlend>False</AlphaBlend>"
        "<Components><Install><Caption>Open</Caption></Install></Components></MainForm></Project></Orbdeck>");
  }

  // Where "Install" lies in the menu (the form's layout at 96 dots per inch).
  static constexpr int kInstallX = 368 + 39, kInstallY = 200 + 12;
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
