// A medium that orbdeck new makes, as a user meets it: orbdeck check finds
// nothing, the built Setup shows the template's menu under Xvfb with the
// medium's name as its caption, and the one entry opens the read-me; the
// Autorun medium opens its page and ends.

#include <gtest/gtest.h>

#include "tests/e2e/MenuFixture.h"

using namespace orb::test;

namespace {

class TNewMediumEndToEnd : public TMenuEndToEnd {
 protected:
  // The medium made anew with the template, then checked.
  void New(const std::string& templateName) {
    fs::remove_all(medium);
    const std::string orbdeck = "'" + std::string(ORBDECK_PATH) + "' ";
    const std::string made = orbdeck + "new '" + templateName + "' '" + medium.string() + "' --setup '" +
                             ORB_SETUP_BINARY + "'";
    ASSERT_EQ(std::system(made.c_str()), 0);
    const std::string check = orbdeck + "check '" + medium.string() + "' >'" + (outside / "check").string() + "'";
    EXPECT_EQ(std::system(check.c_str()), 0);
    std::ifstream in(outside / "check");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), medium.string() + ": 0 errors, 0 warnings\n");
  }
  // Starts Setup and waits for its menu, captioned with the medium's name.
  std::optional<TWindowPlace> ShowMenu(TXClient& x) {
    Start();
    return x.WaitForWindow(medium.filename().string(), kWindowTimeout);
  }
  std::string Readme() const { return (medium / "Readme.txt").string(); }
};

TEST_F(TNewMediumEndToEnd, TheSimpleMenuOpensTheReadMeWithInstall) {
  New("Simple");
  TXClient x(xvfb->Display());
  auto window = ShowMenu(x);
  ASSERT_TRUE(window) << Output();
  x.Click(*window, 368 + 39, 200 + 12);
  EXPECT_EQ(WaitForLine(outside / "opened"), Readme());
  CloseAndExpectTheEnd(x, *window);
}

TEST_F(TNewMediumEndToEnd, ThePackageSoftwareMenuOpensTheReadMeFromTheFirstProgram) {
  New("Package Software");
  TXClient x(xvfb->Display());
  auto window = ShowMenu(x);
  ASSERT_TRUE(window) << Output();
  x.Click(*window, 161 + 8 + 6, 8 + 6);
  EXPECT_EQ(WaitForLine(outside / "opened"), Readme());
  CloseAndExpectTheEnd(x, *window);
}

TEST_F(TNewMediumEndToEnd, TheSoftwareDistributionMenuAppears) {
  New("Software Distribution");
  TXClient x(xvfb->Display());
  auto window = ShowMenu(x);
  ASSERT_TRUE(window) << Output();
  CloseAndExpectTheEnd(x, *window);
}

TEST_F(TNewMediumEndToEnd, TheAutorunMediumOpensItsPageAndEnds) {
  New("Autorun file");
  Start();
  EXPECT_EQ(WaitForExit(pid, std::chrono::seconds(30)), 0);
  pid = -1;
  EXPECT_EQ(WaitForLine(outside / "opened"), (medium / "index.htm").string());
}

}  // namespace
