#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/pictures/CorpusSupport.h"

using namespace orb;
namespace fs = std::filesystem;

namespace {

struct TOrbdeckPicture : ::testing::Test {
  void SetUp() override {
    folder = fs::temp_directory_path() / ("orb-orbdeck-picture-" + std::to_string(::getpid()));
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  // Runs orbdeck with the arguments; the exit code and what it printed on standard error.
  std::pair<int, std::string> Run(const std::string& arguments) {
    std::string command = std::string("'") + ORBDECK_PATH + "' " + arguments + " 2>'" + (folder / "err.txt").string() + "'";
    int status = std::system(command.c_str());
    std::ifstream in(folder / "err.txt");
    std::stringstream err;
    err << in.rdbuf();
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, err.str()};
  }

  fs::path folder;
};

}  // namespace

TEST_F(TOrbdeckPicture, WritesTheDecodedPictureAsPng) {
  ORB_REQUIRE_CORPUS();
  fs::path in = test::PictureCorpusDir() / "bmp" / "pal8.bmp";
  fs::path out = folder / "out.png";
  auto [code, err] = Run("picture '" + in.string() + "' '" + out.string() + "'");
  ASSERT_EQ(code, 0) << err;
  EXPECT_EQ(test::MaxChannelDifference(test::ReadReferencePng(out), test::ReadReferencePng(in.string() + ".ref.png")), 0);
}

TEST_F(TOrbdeckPicture, FailureIsOneLineOnStandardErrorWithExitCodeOne) {
  std::ofstream(folder / "anim.gif") << "GIF89a";
  auto [unknown, unknownErr] = Run("picture '" + (folder / "anim.gif").string() + "' '" + (folder / "o.png").string() + "'");
  EXPECT_EQ(unknown, 1);
  EXPECT_EQ(unknownErr, "Unknown picture file extension (.gif)\n");
  std::ofstream(folder / "bad.pcx") << "not a pcx";
  auto [damaged, damagedErr] = Run("picture '" + (folder / "bad.pcx").string() + "' '" + (folder / "o.png").string() + "'");
  EXPECT_EQ(damaged, 1);
  EXPECT_EQ(damagedErr.rfind("PCX: ", 0), 0u) << damagedErr;
  EXPECT_FALSE(fs::exists(folder / "o.png"));
}

TEST_F(TOrbdeckPicture, WrongArgumentsPrintTheUsage) {
  auto [code, err] = Run("picture only-one");
  EXPECT_EQ(code, 2);
  EXPECT_NE(err.find("orbdeck picture IN OUT.png"), std::string::npos);
}
