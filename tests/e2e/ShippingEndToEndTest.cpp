// The programs as they are shipped: installed by a packager into a staging
// root.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "tests/e2e/Process.h"
#include "tests/e2e/XClient.h"

using namespace orb::test;
namespace fs = std::filesystem;

namespace {

// The example medium's menu caption.
const char* const kExampleCaption = "Orbit Notes 2.4 - Setup";

struct TRun {
  int ExitCode;
  std::string Output;  // standard output and error
};

TRun Shell(const std::string& command) {
  std::string output;
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

// The path between the quote characters given, for a shell command or as Qt
// prints it. Appended, not added: GCC 12 at -O3 warns falsely (-Wrestrict)
// on "'" + a temporary string.
std::string Quoted(const fs::path& path, char quote = '\'') {
  std::string quoted(1, quote);
  quoted += path.string();
  quoted += quote;
  return quoted;
}

class TShipping : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { xvfb = new TXvfb(); }
  static void TearDownTestSuite() {
    delete xvfb;
    xvfb = nullptr;
  }
  void SetUp() override {
    if (!xvfb->Started()) GTEST_SKIP() << "Xvfb is not available";
    folder = fs::temp_directory_path() / ("orb-shipping-" + std::to_string(::getpid()) + "-" +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override {
    if (!folder.empty()) fs::remove_all(folder);
  }

  // Starts the program under Xvfb with the environment changes and expects
  // the example menu to show, and the program to end normally once the menu
  // is closed. While the menu shows, whileShown gets the program's pid.
  void ExpectTheExampleMenu(const fs::path& setup, std::vector<TEnvironmentChange> environment,
                            const std::function<void(pid_t)>& whileShown) {
    environment.push_back({"DISPLAY", xvfb->Display()});
    environment.push_back({"QT_QPA_PLATFORM", std::nullopt});
    TXClient x(xvfb->Display());
    ASSERT_TRUE(x.Open());
    pid_t pid = StartProcess(setup.string(), {}, environment, -1, (folder / "output").string());
    auto window = x.WaitForWindow(kExampleCaption, std::chrono::seconds(20));
    EXPECT_TRUE(window) << Output();
    if (window) {
      whileShown(pid);
      x.Close(*window);
    }
    EXPECT_EQ(WaitForExit(pid, std::chrono::seconds(20)), 0) << Output();
  }
  std::string Output() const {
    std::ifstream in(folder / "output");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  static inline TXvfb* xvfb = nullptr;
  fs::path folder;
};

TEST_F(TShipping, InstalledProgramsRunFromTheStagingRoot) {
  fs::path root = folder / "root";
  TRun install = Shell("DESTDIR=" + Quoted(root) + " " + Quoted(ORB_CMAKE_COMMAND) + " --install " +
                       Quoted(ORB_BUILD_DIR) + " --prefix /usr");
  ASSERT_EQ(install.ExitCode, 0) << install.Output;

  TRun help = Shell(Quoted(root / "usr/bin/orbdeck") + " --help");
  EXPECT_EQ(help.ExitCode, 0);
  EXPECT_NE(help.Output.find("orbdeck picture IN OUT.png"), std::string::npos) << help.Output;

  // Setup shows the medium it lies in: a copy beside the installed example's project file.
  fs::path medium = folder / "simple";
  fs::copy(root / "usr/share/orbmenuhost/examples/simple", medium, fs::copy_options::recursive);
  fs::copy_file(root / "usr/bin/Setup", medium / "Setup");
  ExpectTheExampleMenu(medium / "Setup", {}, [](pid_t) {});
}

}  // namespace
