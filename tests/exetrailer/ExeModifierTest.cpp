#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "exetrailer/ExeModifier_.h"

namespace orb {
namespace {

namespace fs = std::filesystem;
using namespace std::literals;

// A fresh folder for the files of one test, removed afterwards.
class ExeTrailer : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "orbtrailer-XXXXXX").string();
    folder = mkdtemp(pattern.data());
  }
  void TearDown() override { fs::remove_all(folder); }

  std::string File(const std::string& name, const std::string& bytes) {
    std::string path = (folder / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  // A file of `size` zero bytes that takes no room on disk.
  std::string SparseFile(const std::string& name, std::uintmax_t size) {
    std::string path = File(name, "");
    fs::resize_file(path, size);
    return path;
  }

  fs::path folder;
};
using ExeTrailerDamaged = ExeTrailer;

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string Tail(const std::string& path, std::size_t count) {
  std::ifstream in(path, std::ios::binary);
  in.seekg(-std::streamoff(count), std::ios::end);
  std::string bytes(count, '\0');
  in.read(bytes.data(), std::streamsize(count));
  return bytes;
}

TExeBuf Buf(std::string_view text) {
  TExeBuf payload;
  StrToExeBuf(text, payload);
  return payload;
}

std::string Text(const TExeBuf& payload) {
  std::string text;
  ExeBufToStr(payload, text);
  return text;
}

std::string ReadText(const std::string& path) {
  TExeBuf payload;
  ReadExeBuf(path, payload);
  return Text(payload);
}

std::string Footer(std::uint32_t offset, std::string_view signature = "EB1.0", std::string_view reserved = "\0\0\0"sv) {
  std::string footer;
  for (int i = 0; i < 4; ++i) footer += char(offset >> (8 * i));
  return footer + std::string(signature) + std::string(reserved);
}

// The message of the trailer failure that `action` throws; empty when it does not fail.
std::string FailureOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EExeTrailerError& error) {
    return error.what();
  }
  return "";
}

TEST_F(ExeTrailer, WorkedExampleHasTheDocumentedBytesAndReadsBack) {
  std::string program = SparseFile("Setup.exe", 1416192);
  AppendExeBuf(program, Buf("index.htm"));
  EXPECT_EQ(fs::file_size(program), 1416213u);
  EXPECT_EQ(Tail(program, 21), "index.htm\x00\x9C\x15\x00" "EB1.0\0\0\0"s);
  EXPECT_EQ(ReadText(program), "index.htm");
}

TEST_F(ExeTrailer, EmptyPayloadIsABareFooterAndReplacesWhatWasPassed) {
  std::string program = File("run.exe", std::string(100, 'M'));
  AppendExeBuf(program, {});
  EXPECT_EQ(Contents(program), std::string(100, 'M') + Footer(100));
  TExeBuf payload = Buf("old");
  ReadExeBuf(program, payload);
  EXPECT_TRUE(payload.empty());
}

TEST_F(ExeTrailer, OnlyTheLastOfSeveralTrailersCountsAndTheEarlierStaysInPlace) {
  std::string leading = "MZ" + std::string(40, '\x90');
  std::string program = File("run.exe", leading);
  AppendExeBuf(program, Buf("1"));
  AppendExeBuf(program, Buf("22"));
  EXPECT_EQ(Contents(program), leading + "1" + Footer(42) + "22" + Footer(42 + 1 + 12));
  EXPECT_EQ(ReadText(program), "22");
}

TEST_F(ExeTrailer, WithoutAFooterThePayloadStaysAsPassed) {
  const std::string plain[] = {std::string(12, '\0'), "MZ program" + Footer(0, "eb1.0"), Footer(0, "EB1.1"),
                               "MZ" + Footer(2) + "x"};
  for (const std::string& bytes : plain) {
    TExeBuf payload = Buf("keep");
    ReadExeBuf(File("plain.exe", bytes), payload);
    EXPECT_EQ(Text(payload), "keep") << bytes;
  }
  // The reserved bytes are not looked at.
  EXPECT_EQ(ReadText(File("reserved.exe", "MZab" + Footer(2, "EB1.0", "xyz"))), "ab");
}

TEST_F(ExeTrailer, FindTellsAMissingTrailerFromAnEmptyOne) {
  EXPECT_EQ(FindExeBuf(File("plain.exe", "MZ" + Footer(0, "eb1.0"))), std::nullopt);
  EXPECT_EQ(FindExeBuf(File("empty.exe", "MZ" + Footer(2))), TExeBuf());
  EXPECT_EQ(FindExeBuf(File("text.exe", "MZab" + Footer(2))), Buf("ab"));
  EXPECT_EQ(FailureOf([&] { FindExeBuf(File("beyond.exe", "MZ" + Footer(3))); }), "Trailer: payload offset beyond the footer");
}

TEST_F(ExeTrailer, EveryByteSurvivesTextAndFileZeroBytesIncluded) {
  std::string text;
  for (int b = 0; b < 256; ++b) text += char(b);
  text += '\0';
  TExeBuf payload;
  StrToExeBuf(text, payload);
  ASSERT_EQ(payload.size(), 257u);
  std::string program = File("run.exe", "MZ");
  AppendExeBuf(program, payload);
  EXPECT_EQ(ReadText(program), text);
}

TEST_F(ExeTrailerDamaged, EachDamageIsAnErrorAndThePayloadStaysAsPassed) {
  struct TCase {
    std::string Bytes;
    std::string Message;
  };
  const TCase cases[] = {
      {"", "Trailer: file too short"},
      {Footer(0).substr(1), "Trailer: file too short"},
      {"MZ" + Footer(0xFFFFFFFF), "Trailer: negative payload offset"},
      {"MZ" + Footer(0x80000000), "Trailer: negative payload offset"},
      {"MZ" + Footer(3), "Trailer: payload offset beyond the footer"},
      {"MZ" + Footer(0x7FFFFFFF), "Trailer: payload offset beyond the footer"},
  };
  for (const TCase& damaged : cases) {
    std::string program = File("damaged.exe", damaged.Bytes);
    TExeBuf payload = Buf("keep");
    EXPECT_EQ(FailureOf([&] { ReadExeBuf(program, payload); }), damaged.Message) << damaged.Bytes;
    EXPECT_EQ(Text(payload), "keep");
  }
}

TEST_F(ExeTrailerDamaged, MissingFileOrAFolderIsNeitherReadNorCreated) {
  std::string missing = (folder / "none.exe").string();
  TExeBuf payload;
  for (const std::string& path : {missing, folder.string()}) {
    EXPECT_EQ(FailureOf([&] { ReadExeBuf(path, payload); }), "Cannot open file \"" + path + "\"");
    EXPECT_EQ(FailureOf([&] { AppendExeBuf(path, Buf("x")); }), "Cannot open file \"" + path + "\" for writing");
  }
  EXPECT_FALSE(fs::exists(missing));
}

// Positions beyond 2 GiB must not wrap, and a trailer cannot start where
// the footer's 31 bits no longer reach.
TEST_F(ExeTrailer, LargeFilesReadBackAndRefuseATrailerBeyondTheOffsetRange) {
  std::string program = SparseFile("large.exe", 0x7FFFFFF8);
  AppendExeBuf(program, Buf("x"));
  EXPECT_EQ(fs::file_size(program), 0x80000005u);
  EXPECT_EQ(ReadText(program), "x");
  EXPECT_EQ(FailureOf([&] { AppendExeBuf(program, Buf("y")); }), "Trailer: file too large");
  EXPECT_EQ(fs::file_size(program), 0x80000005u);
  EXPECT_EQ(ReadText(program), "x");
}

TEST_F(ExeTrailerDamaged, PayloadsOverTheLimitAreNeitherAllocatedNorWritten) {
  std::string claimsTooMuch = SparseFile("huge.exe", kMaxExeBufSize + 1);
  std::ofstream(claimsTooMuch, std::ios::binary | std::ios::app) << Footer(0);
  TExeBuf payload;
  EXPECT_EQ(FailureOf([&] { ReadExeBuf(claimsTooMuch, payload); }), "Trailer: payload too large");

  std::string program = File("run.exe", "MZ");
  EXPECT_EQ(FailureOf([&] { AppendExeBuf(program, TExeBuf(kMaxExeBufSize + 1)); }), "Trailer: payload too large");
  EXPECT_EQ(Contents(program), "MZ");
  AppendExeBuf(program, TExeBuf(kMaxExeBufSize, 'p'));
  ReadExeBuf(program, payload);
  EXPECT_EQ(payload.size(), kMaxExeBufSize);
}

// A write that stops half-way (here at a file size limit) must be reported
// and must not leave a payload without its footer, which would hide the
// earlier trailer.
TEST_F(ExeTrailer, FailedAppendIsReportedAndLeavesTheFileAsItWas) {
  std::string program = File("run.exe", "MZ");
  AppendExeBuf(program, Buf("first"));
  std::string before = Contents(program);
  auto appendBeyondASizeLimit = [&] {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{before.size() + 5, before.size() + 5};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::string message = FailureOf([&] { AppendExeBuf(program, Buf("second try")); });
    std::exit(message == "Trailer: write error" && Contents(program) == before ? 0 : 1);
  };
  EXPECT_EXIT(appendBeyondASizeLimit(), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(ReadText(program), "first");
}

TEST_F(ExeTrailer, ProgramWithATrailerStillRuns) {
  std::string program = (folder / "true").string();
  fs::copy_file("/bin/true", program);
  AppendExeBuf(program, Buf("index.htm"));
  EXPECT_EQ(std::system(("'" + program + "'").c_str()), 0);
  EXPECT_EQ(ReadText(program), "index.htm");
}

}  // namespace
}  // namespace orb
