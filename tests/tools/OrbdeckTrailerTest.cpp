#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

struct TRun {
  int ExitCode;
  std::string Out, Err;
};

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string Footer(char offset) { return std::string{offset, 0, 0, 0} + "EB1.0\0\0\0"s; }

struct TOrbdeckTrailer : ::testing::Test {
  void SetUp() override {
    folder = fs::temp_directory_path() / ("orb-orbdeck-trailer-" + std::to_string(::getpid()));
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  TRun Run(const std::string& arguments) {
    std::string command = "'"s + ORBDECK_PATH + "' " + arguments + " >'" + (folder / "out.txt").string() + "' 2>'" +
                          (folder / "err.txt").string() + "'";
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Contents(folder / "out.txt"), Contents(folder / "err.txt")};
  }
  std::string File(const std::string& name, const std::string& bytes) {
    // A named string: GCC 12 at -O3 warns falsely (-Wrestrict) on "'" + a temporary.
    const std::string file = (folder / name).string();
    std::ofstream(file, std::ios::binary) << bytes;
    return "'" + file + "'";
  }

  fs::path folder;
};

TEST_F(TOrbdeckTrailer, WriteAppendsATrailerThatReadPrintsExactly) {
  std::string program = File("Setup", "MZ");
  TRun write = Run("trailer write " + program + " 'Docs\\index.htm'");
  ASSERT_EQ(write.ExitCode, 0) << write.Err;
  EXPECT_EQ(write.Out + write.Err, "");
  EXPECT_EQ(Contents(folder / "Setup"), "MZDocs\\index.htm" + Footer(2));
  TRun read = Run("trailer read " + program);
  EXPECT_EQ(read.ExitCode, 0) << read.Err;
  EXPECT_EQ(read.Out, "Docs\\index.htm");
  ASSERT_EQ(Run("trailer write " + program + " 'second one'").ExitCode, 0);
  EXPECT_EQ(Run("trailer read " + program).Out, "second one");
}

TEST_F(TOrbdeckTrailer, ReadPrintsZeroBytesAndNothingForAnEmptyOrMissingTrailer) {
  TRun withZero = Run("trailer read " + File("zero", "MZa\0b"s + Footer(2)));
  EXPECT_EQ(withZero.ExitCode, 0) << withZero.Err;
  EXPECT_EQ(withZero.Out, "a\0b"s);
  for (const std::string& bytes : {"MZ"s + Footer(2), std::string(20, 'M')}) {
    TRun read = Run("trailer read " + File("plain", bytes));
    EXPECT_EQ(read.ExitCode, 0) << read.Err;
    EXPECT_EQ(read.Out + read.Err, "");
  }
}

TEST_F(TOrbdeckTrailer, FailuresAreOneLineWithExitCodeOneAndWrongArgumentsTheUsageWithTwo) {
  std::string missing = (folder / "none").string();
  TRun read = Run("trailer read '" + missing + "'");
  EXPECT_EQ(read.ExitCode, 1);
  EXPECT_EQ(read.Out + read.Err, "Cannot open file \"" + missing + "\"\n");
  TRun write = Run("trailer write '" + missing + "' text");
  EXPECT_EQ(write.ExitCode, 1);
  EXPECT_EQ(write.Err, "Cannot open file \"" + missing + "\" for writing\n");
  EXPECT_FALSE(fs::exists(missing));
  TRun damaged = Run("trailer read " + File("damaged", "MZ" + Footer('\xFF')));
  EXPECT_EQ(damaged.ExitCode, 1);
  EXPECT_EQ(damaged.Err, "Trailer: payload offset beyond the footer\n");

  for (const char* arguments : {"trailer", "trailer read", "trailer read a b", "trailer write a", "trailer erase a"}) {
    TRun run = Run(arguments);
    EXPECT_EQ(run.ExitCode, 2) << arguments;
    EXPECT_NE(run.Err.find("orbdeck trailer read FILE\n  orbdeck trailer write FILE TEXT\n"), std::string::npos)
        << arguments;
  }
}

}  // namespace
