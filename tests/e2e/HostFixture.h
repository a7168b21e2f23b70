// The built Setup, copied into a temporary medium folder and run under its
// own Xvfb, for the end-to-end tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "tests/e2e/Process.h"

namespace orb::test {

namespace fs = std::filesystem;

using TSnapshot = std::map<std::string, std::string>;

// Every file of the folder with its content, and every folder.
inline TSnapshot Snapshot(const fs::path& root) {
  TSnapshot files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    std::string relative = fs::relative(entry.path(), root).string();
    if (entry.is_directory()) {
      files[relative + "/"] = "";
      continue;
    }
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    files[relative] = content.str();
  }
  return files;
}

class THostEndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { xvfb = new TXvfb(); }
  static void TearDownTestSuite() {
    delete xvfb;
    xvfb = nullptr;
  }

  void SetUp() override {
    if (!xvfb->Started()) GTEST_SKIP() << "Xvfb is not available";
    medium = fs::temp_directory_path() / ("orb-e2e-" + std::to_string(::getpid()) + "-" +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(medium);
    fs::create_directories(medium / "Data");
    fs::copy_file(ORB_SETUP_BINARY, medium / "Setup");
  }
  void TearDown() override {
    if (!medium.empty()) fs::remove_all(medium);
  }

  void WriteProject(const std::string& xml) { std::ofstream(medium / "Setup.orbproj", std::ios::binary) << xml; }

  // Runs Setup to its end; the exit code, or nullopt when it hung or crashed.
  std::optional<int> RunSetup(const std::vector<std::string>& arguments = {},
                              std::optional<std::string> display = std::nullopt) {
    pid_t pid = StartProcess((medium / "Setup").string(), arguments,
                             {{"DISPLAY", display ? *display : xvfb->Display()}, {"QT_QPA_PLATFORM", std::nullopt}});
    return WaitForExit(pid, std::chrono::seconds(30));
  }

  // Starts Setup on the test's display, with the environment changes and its
  // output going to a file; returns the pid.
  pid_t StartSetup(std::vector<TEnvironmentChange> environment = {}, const std::string& outputFile = {}) {
    environment.push_back({"DISPLAY", xvfb->Display()});
    environment.push_back({"QT_QPA_PLATFORM", std::nullopt});
    return StartProcess((medium / "Setup").string(), {}, environment, -1, outputFile);
  }

  static inline TXvfb* xvfb = nullptr;
  fs::path medium;
};
}  // namespace orb::test
