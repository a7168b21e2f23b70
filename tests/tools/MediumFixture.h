// A medium folder for the orbdeck tests, and the built orbdeck run on it
// with its output kept outside the medium.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace orb::test {

namespace fs = std::filesystem;

struct TOrbdeckRun {
  int ExitCode;
  std::string Out, Err;
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    std::istringstream in(Out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
};

inline std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

inline std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

class TMediumTest : public ::testing::Test {
 protected:
  void SetUp() override {
    medium = fs::temp_directory_path() / ("orb-orbdeck-" + std::to_string(::getpid()) + "-" +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    outside = medium.string() + "-out";
    for (const fs::path& folder : {medium, outside}) {
      fs::remove_all(folder);
      fs::create_directories(folder);
    }
  }
  void TearDown() override {
    fs::remove_all(medium);
    fs::remove_all(outside);
  }

  // Writes a file of the medium, making its folders.
  void Write(const std::string& relative, const std::string& bytes) const {
    const fs::path file = medium / relative;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
  }

  TOrbdeckRun Orbdeck(const std::string& arguments) const {
    const std::string command = "'" + std::string(ORBDECK_PATH) + "' " + arguments + " >" + Quoted(outside / "out") +
                                " 2>" + Quoted(outside / "err");
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Contents(outside / "out"), Contents(outside / "err")};
  }

  fs::path medium;
  fs::path outside;
};

}  // namespace orb::test
