// A medium folder for the template tests: the program folder of the forms
// made on it, its data file, and the standard reports they give.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/LowAPI_.h"
#include "platform/ErrorReport.h"
#include "platform/FolderPicker.h"

namespace orb::test {

class TTemplateMedium : public ::testing::Test {
 protected:
  // name: what the medium's folder is called after, to keep suites apart.
  explicit TTemplateMedium(const std::string& name)
      : medium(std::filesystem::temp_directory_path() / ("orb-" + name + "-" + std::to_string(::getpid()))) {}

  void SetUp() override {
    InitializeLowAPI();
    std::filesystem::remove_all(medium);
    std::filesystem::create_directories(medium);
    ProgramFolder = medium.string() + "/";
    SetErrorReporter([this](const std::string&, const std::string& text) { reports.push_back(text); });
  }
  // Suites destroy their forms first, then call this.
  void TearDown() override {
    SetErrorReporter({});
    InitializeLowAPI();
    std::filesystem::remove_all(medium);
  }

  void WriteData(const std::string& bytes) {
    std::filesystem::create_directories(medium / "Data");
    std::ofstream(medium / "Data" / "db.xml", std::ios::binary) << bytes;
  }
  std::string SavedData() const {
    std::ifstream in(medium / "Data" / "db.xml", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path medium;
  std::vector<std::string> reports;
};

// Answers every folder picker with `answer`, noting the roots it was given.
struct TFolderAnswer : IFolderPicker {
  TFolderAnswer() { SetFolderPicker(this); }
  ~TFolderAnswer() override { SetFolderPicker(nullptr); }
  bool Pick(const std::string&, const std::string& root, std::string& folder) override {
    roots.push_back(root);
    folder = answer;
    return true;
  }
  std::string answer;
  std::vector<std::string> roots;
};

}  // namespace orb::test
