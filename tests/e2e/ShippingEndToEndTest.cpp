// The programs as they are shipped: installed by a packager into a staging
// root, and bundled onto a medium by scripts/make-medium, which must then
// run with none of the system's Qt in reach.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
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

// Libraries that the bundle must carry: a copy of them from outside it means
// the medium would fail on a machine without Qt.
bool IsBundledKind(const std::string& name) {
  for (const char* prefix : {"libQt6", "libicu", "libjpeg", "libpng", "libtiff", "libpugixml"})
    if (name.starts_with(prefix)) return true;
  return false;
}

// The shared libraries mapped into a running process.
std::set<fs::path> MappedLibraries(pid_t pid) {
  std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
  std::set<fs::path> libraries;
  for (std::string line; std::getline(maps, line);) {
    std::size_t path = line.find('/');
    if (path != std::string::npos && line.find(".so", path) != std::string::npos) libraries.insert(line.substr(path));
  }
  return libraries;
}

TEST_F(TShipping, BundledMediumRunsOnItsOwnLibrariesAndPlugins) {
  fs::path out = folder / "medium";
  TRun make = Shell(Quoted(ORB_SOURCE_DIR "/scripts/make-medium") + " --setup " + Quoted(ORB_SETUP_BINARY) + " " +
                    Quoted(ORB_SOURCE_DIR "/examples/simple") + " " + Quoted(out));
  ASSERT_EQ(make.ExitCode, 0) << make.Output;
  fs::path lib = out / "lib";
  fs::path xcb = lib / "plugins/platforms/libqxcb.so";

  TRun ldd = Shell("ldd " + Quoted(out / "Setup") + " " + Quoted(xcb));
  ASSERT_EQ(ldd.ExitCode, 0) << ldd.Output;
  EXPECT_EQ(ldd.Output.find("not found"), std::string::npos) << ldd.Output;
  std::istringstream lines(ldd.Output);
  for (std::string line; std::getline(lines, line);) {
    std::string name, arrow, path;
    std::istringstream(line) >> name >> arrow >> path;
    if (arrow == "=>" && IsBundledKind(name)) {
      EXPECT_EQ(fs::canonical(path).parent_path(), lib) << line;
    }
  }

  // The system's plugin folders out of reach; Qt tells where it looks and what it loads.
  ExpectTheExampleMenu(out / "Setup",
                       {{"QT_PLUGIN_PATH", ""}, {"QT_QPA_PLATFORM_PLUGIN_PATH", std::nullopt},
                        {"LD_LIBRARY_PATH", std::nullopt}, {"QT_DEBUG_PLUGINS", "1"}},
                       [&](pid_t pid) {
                         std::set<fs::path> mapped = MappedLibraries(pid);
                         EXPECT_TRUE(mapped.count(xcb)) << "the bundle's xcb plugin";
                         for (const fs::path& library : mapped) {
                           bool inBundle = library.string().starts_with(lib.string() + "/");
                           EXPECT_TRUE(inBundle || !IsBundledKind(library.filename().string())) << library;
                           EXPECT_TRUE(inBundle || !fs::exists(lib / library.filename()))
                               << library << " is mapped although the bundle has its own";
                         }
                       });
  std::string output = Output();
  EXPECT_NE(output.find(Quoted(xcb, '"') + " loaded library"), std::string::npos) << output;
  std::istringstream qtLines(output);
  for (std::string line; std::getline(qtLines, line);) {
    if (line.find("checking directory path") == std::string::npos) continue;
    std::size_t open = line.find('"');
    std::string searched = line.substr(open + 1, line.find('"', open + 1) - open - 1);
    EXPECT_TRUE(searched.starts_with(out.string() + "/")) << "looked outside the bundle: " << line;
  }
}

}  // namespace
