// The Autorun menu of the built Setup under Xvfb: the program opens what
// the trailer of its own file names, below its folder, through the desktop
// opener, shows no window and ends; the medium is never written.

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <memory>
#include <thread>

#include "exetrailer/ExeModifier_.h"
#include "tests/e2e/HostFixture.h"

using namespace orb::test;

namespace {

// Watches the display for top-level windows being mapped. Its connection
// stays open for the whole test, so the server never resets between runs
// (a server that lost its last client refuses connections while it resets).
class TMapWatcher {
 public:
  explicit TMapWatcher(const std::string& display) : display_(XOpenDisplay(display.c_str())) {
    if (!display_) return;
    XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
    XSync(display_, False);
  }
  ~TMapWatcher() {
    if (display_) XCloseDisplay(display_);
  }
  TMapWatcher(const TMapWatcher&) = delete;
  TMapWatcher& operator=(const TMapWatcher&) = delete;
  bool Open() const { return display_ != nullptr; }

  // Whether a window was mapped since the last call (or since the watch began).
  bool AnyWindowMapped() {
    bool mapped = false;
    XSync(display_, False);
    while (XPending(display_)) {
      XEvent event;
      XNextEvent(display_, &event);
      mapped = mapped || event.type == MapNotify;
    }
    return mapped;
  }

 private:
  Display* display_;
};

void AppendTrailer(const fs::path& program, std::string_view text) {
  orb::TExeBuf payload;
  orb::StrToExeBuf(text, payload);
  orb::AppendExeBuf(program.string(), payload);
}

// The example autorun medium, with a recording desktop opener first on PATH.
class TAutorunEndToEnd : public THostEndToEnd {
 protected:
  void SetUp() override {
    THostEndToEnd::SetUp();
    if (IsSkipped()) return;
    fs::remove_all(medium / "Data");
    fs::copy(fs::path(ORB_SOURCE_DIR) / "examples" / "autorun", medium, fs::copy_options::recursive);
    outside = medium.string() + "-outside";
    fs::remove_all(outside);
    fs::create_directories(outside / "bin");
    const fs::path opener = outside / "bin" / "xdg-open";
    std::ofstream(opener) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << (outside / "opened").string() << "'\n";
    fs::permissions(opener, fs::perms::owner_all);
    watcher = std::make_unique<TMapWatcher>(xvfb->Display());
    ASSERT_TRUE(watcher->Open());
  }
  void TearDown() override {
    watcher.reset();
    if (!outside.empty()) fs::remove_all(outside);
    THostEndToEnd::TearDown();
  }

  // Runs the program to its end, watching for windows; its exit code.
  std::optional<int> Run(const fs::path& program) {
    watcher->AnyWindowMapped();  // forgets what came before
    const char* path = std::getenv("PATH");
    pid_t pid = StartProcess(program.string(), {},
                             {{"DISPLAY", xvfb->Display()},
                              {"QT_QPA_PLATFORM", std::nullopt},
                              {"PATH", (outside / "bin").string() + ":" + (path ? path : "")}},
                             -1, (outside / "output").string());
    std::optional<int> exitCode = WaitForExit(pid, std::chrono::seconds(30));
    EXPECT_FALSE(watcher->AnyWindowMapped()) << "no window is shown";
    return exitCode;
  }
  // The targets the opener received, once count of them have arrived (or
  // after five seconds).
  std::vector<std::string> Opened(std::size_t count) const {
    std::vector<std::string> lines;
    for (int i = 0; i < 500 && lines.size() < count; ++i) {
      if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      lines.clear();
      std::ifstream in(outside / "opened");
      for (std::string line; std::getline(in, line);) lines.push_back(line);
    }
    return lines;
  }

  fs::path outside;
  std::unique_ptr<TMapWatcher> watcher;
};

TEST_F(TAutorunEndToEnd, TheMediumOpensTheDocumentItsSetupNamesAndNothingWithoutAReadableTrailer) {
  const fs::path program = medium / "Setup";
  EXPECT_EQ(Run(program), 0) << "no trailer";
  std::ofstream(program, std::ios::binary | std::ios::app) << std::string("\xFF\xFF\xFF\x7F" "EB1.0\0\0\0", 12);
  EXPECT_EQ(Run(program), 0) << "a damaged trailer";
  AppendTrailer(program, "Docs\\Welcome.html");
  TSnapshot before = Snapshot(medium);
  EXPECT_EQ(Run(program), 0);
  // Had the runs before opened anything, it would be listed before this.
  EXPECT_EQ(Opened(1), std::vector<std::string>{(medium / "Docs" / "Welcome.html").string()});
  EXPECT_EQ(Snapshot(medium), before);
}

TEST_F(TAutorunEndToEnd, ARenamedProgramOpensTheFolderItsOwnTrailerNames) {
  // Its base name is "My", but the file that runs is My.Menu.
  fs::rename(medium / "Setup", medium / "My.Menu");
  fs::rename(medium / "Setup.orbproj", medium / "My.orbproj");
  AppendTrailer(medium / "My.Menu", std::string("docs\0Maps", 9));
  TSnapshot before = Snapshot(medium);
  EXPECT_EQ(Run(medium / "My.Menu"), 0);
  EXPECT_EQ(Opened(1), std::vector<std::string>{(medium / "Docs").string()}) << "case resolved, up to the zero byte";
  EXPECT_EQ(Snapshot(medium), before);
}

}  // namespace
