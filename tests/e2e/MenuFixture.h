// A menu of the built Setup as a user meets it under Xvfb, with a recording
// desktop opener first on PATH, so that what the menu opens can be checked.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/HostFixture.h"
#include "tests/e2e/XClient.h"

namespace orb::test {

inline constexpr auto kWindowTimeout = std::chrono::seconds(20);

class TMenuEndToEnd : public THostEndToEnd {
 protected:
  void SetUp() override {
    THostEndToEnd::SetUp();
    if (IsSkipped()) return;
    // The opener writes each target as a line; what the programs it starts
    // write goes to a place outside the medium.
    outside = medium.string() + "-outside";
    fs::remove_all(outside);
    fs::create_directories(outside / "bin");
    WriteScript(outside / "bin" / "xdg-open", "printf '%s\\n' \"$1\" >> '" + (outside / "opened").string() + "'");
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
  // The first `count` lines that started programs wrote, once they are there.
  static std::vector<std::string> WaitForLines(const fs::path& file, std::size_t count) {
    std::vector<std::string> lines;
    for (int i = 0; i < 500; ++i) {
      lines.clear();
      std::ifstream in(file);
      for (std::string line; lines.size() < count && std::getline(in, line);) lines.push_back(line);
      if (lines.size() == count) return lines;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return lines;
  }
  static std::string WaitForLine(const fs::path& file) {
    std::vector<std::string> lines = WaitForLines(file, 1);
    return lines.empty() ? "(nothing)" : lines[0];
  }
  std::string Output() const {
    std::ifstream in(outside / "output");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  fs::path outside;
  pid_t pid = -1;
};

}  // namespace orb::test
