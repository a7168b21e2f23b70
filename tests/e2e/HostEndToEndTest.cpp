// Runs the built Setup in a temporary medium folder under its own Xvfb.

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <chrono>
#include <sstream>
#include <string>
#include <thread>

#include "tests/e2e/HostFixture.h"

using namespace orb::test;

namespace {

// A window of the test that waits for the studio message, as the studio does.
class TStudioListener {
 public:
  explicit TStudioListener(const std::string& display) : display_(XOpenDisplay(display.c_str())) {
    if (!display_) return;
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 10, 10, 0, 0, 0);
    restore_ = XInternAtom(display_, "OrbStudio_IDE_RESTORE", False);
    XSync(display_, False);
  }
  ~TStudioListener() {
    if (!display_) return;
    XDestroyWindow(display_, window_);
    XCloseDisplay(display_);
  }
  bool Open() const { return display_ != nullptr; }
  unsigned long Window() const { return window_; }

  // Whether the studio message arrived, with format 32 and every data word 0.
  bool ReceivedRestore(std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
      while (XPending(display_)) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type != ClientMessage || event.xclient.message_type != restore_) continue;
        bool zero = true;
        for (long word : event.xclient.data.l) zero = zero && word == 0;
        return event.xclient.format == 32 && event.xclient.window == window_ && zero;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

 private:
  Display* display_;
  ::Window window_ = 0;
  Atom restore_ = 0;
};

}  // namespace

TEST_F(THostEndToEnd, NoProjectFileEndsAtOnceWithExitCodeZero) {
  TSnapshot before = Snapshot(medium);
  EXPECT_EQ(RunSetup(), 0);
  EXPECT_EQ(Snapshot(medium), before);
}

TEST_F(THostEndToEnd, BrokenProjectsEndTheSameWayAndChangeNothing) {
  const std::vector<std::string> projects = {
      "",
      "\xEF\xBB\xBF",
      "not XML at all",
      "<Orbdeck><Project><CDFormClass><Title>Simple",
      "<Menu><Project><CDFormClass><Title>Simple</Title></CDFormClass></Project></Menu>",
      "<Orbdeck/>",
      "<Orbdeck><Project><CDFormClass><Title></Title></CDFormClass></Project></Orbdeck>",
      "<Orbdeck><Project><CDFormClass><Title>No Such Menu</Title></CDFormClass></Project></Orbdeck>",
      "<Orbdeck><Project><CDFormClass><Title><x>Simple</x></Title></CDFormClass></Project></Orbdeck>",
      std::string("<Orbdeck>\0<Project/></Orbdeck>", 30),
  };
  for (const std::string& xml : projects) {
    WriteProject(xml);
    TSnapshot before = Snapshot(medium);
    EXPECT_EQ(RunSetup(), 0) << xml;
    EXPECT_EQ(Snapshot(medium), before) << xml;
  }
}

TEST_F(THostEndToEnd, ProjectFileThatIsAFolderIsNoProject) {
  fs::create_directory(medium / "Setup.orbproj");
  EXPECT_EQ(RunSetup(), 0);
}

TEST_F(THostEndToEnd, StudioWindowGetsTheRestoreMessageByDecimalHandle) {
  TStudioListener studio(xvfb->Display());
  ASSERT_TRUE(studio.Open());
  TSnapshot before = Snapshot(medium);
  EXPECT_EQ(RunSetup({std::to_string(studio.Window())}), 0);
  EXPECT_TRUE(studio.ReceivedRestore(std::chrono::seconds(5)));
  EXPECT_EQ(Snapshot(medium), before);
}

TEST_F(THostEndToEnd, StudioWindowGetsTheRestoreMessageByDollarHexHandle) {
  TStudioListener studio(xvfb->Display());
  ASSERT_TRUE(studio.Open());
  std::ostringstream hex;
  hex << '$' << std::uppercase << std::hex << studio.Window();
  WriteProject("<Orbdeck><Project><CDFormClass><Title>Unknown</Title></CDFormClass></Project></Orbdeck>");
  EXPECT_EQ(RunSetup({hex.str(), "ignored second argument"}), 0);
  EXPECT_TRUE(studio.ReceivedRestore(std::chrono::seconds(5)));
}

TEST_F(THostEndToEnd, WindowThatDoesNotExistIsIgnored) {
  EXPECT_EQ(RunSetup({"12345"}), 0);
}

TEST_F(THostEndToEnd, WithoutAnyDisplayTheHostStillEndsNormally) {
  EXPECT_EQ(RunSetup({"1234"}, ""), 0);
}
