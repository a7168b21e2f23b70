// The Package Software menu of the built Setup as a user meets it under
// Xvfb: it appears centred with the project's caption, a package is chosen
// in the list and a click on one of its program titles opens that slot's
// link inside the medium; the medium is never written.

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include "tests/e2e/MenuFixture.h"
#include "tests/support/PackagePacket.h"

using namespace orb::test;

namespace {

class TPackageMenuEndToEnd : public TMenuEndToEnd {
 protected:
  void SetUp() override {
    TMenuEndToEnd::SetUp();
    if (IsSkipped()) return;
    WriteProject(
        "<Orbdeck><Project><CDFormClass><Title>Package Software</Title></CDFormClass><Setup><Title>Suite</Title>"
        "</Setup><MainForm><Caption>Orbit Suite</Caption><AlphaBlendValue>255</AlphaBlendValue>"
        "<AlphaBlend>False</AlphaBlend><Components><Label1><Caption>Serial:</Caption></Label1></Components>"
        "</MainForm></Project></Orbdeck>");
  }

  // A point on the title of program slot 1 to 5 (labels at the panel's
  // left, 24 pixels apart, in the form's layout at 96 dots per inch).
  static int SlotX() { return 161 + 8 + 6; }
  static int SlotY(int slot) { return 8 + 24 * (slot - 1) + 6; }
};

TEST_F(TPackageMenuEndToEnd, TheMenuAppearsCentredAndAProgramTitleOpensItsSlotsLink) {
  fs::create_directories(medium / "Tools" / "Docs");
  fs::create_directories(medium / "Extras");
  std::ofstream(medium / "Tools" / "Docs" / "Manual.txt") << "manual";
  WriteScript(medium / "Tools" / "setup.sh", "echo started > '" + (outside / "started").string() + "'");
  WriteData(PackagePacket("<ROW Name=\"A tools\" Serial=\"T-1\"><Softwares><ROWSoftwares Title1=\"Setup\" "
                   "Link1=\"Tools&#092;setup.sh\" Title2=\"Manual\" Link2=\"tools&#092;docs&#092;MANUAL.TXT\"/>"
                   "</Softwares></ROW><ROW Name=\"B extras\"><Softwares><ROWSoftwares Title3=\"Extras folder\" "
                   "Link3=\"Extras\"/></Softwares></ROW>"));
  TSnapshot before = Snapshot(medium);
  TXClient x(xvfb->Display());
  ASSERT_TRUE(x.Open());
  Start();
  auto window = x.WaitForWindow("Orbit Suite", kWindowTimeout);
  ASSERT_TRUE(window) << Output();
  EXPECT_EQ(window->Width, 563);
  EXPECT_EQ(window->Height, 358);
  EXPECT_EQ(window->X, (x.ScreenWidth() - 563) / 2) << "centred";
  EXPECT_EQ(window->Y, (x.ScreenHeight() - 358) / 2);

  x.Click(*window, SlotX(), SlotY(2));  // the first package's manual
  EXPECT_EQ(WaitForLine(outside / "opened"), (medium / "Tools" / "Docs" / "Manual.txt").string())
      << "stored case and backslashes resolve";
  x.Click(*window, SlotX(), SlotY(1));
  EXPECT_EQ(WaitForLine(outside / "started"), "started") << "an executable link is started directly";

  x.Click(*window, 20, 5);  // the first package in the list, then the second
  x.PressKey(XK_Down);
  x.Click(*window, SlotX(), SlotY(3));
  EXPECT_EQ(WaitForLines(outside / "opened", 2),
            (std::vector<std::string>{(medium / "Tools" / "Docs" / "Manual.txt").string(), (medium / "Extras").string()}));

  CloseAndExpectTheEnd(x, *window);
  EXPECT_EQ(Snapshot(medium), before);
}

}  // namespace
