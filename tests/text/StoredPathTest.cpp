#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "text/StoredPath.h"

using namespace orb;
namespace fs = std::filesystem;

TEST(StoredPath, BackslashesBecomeSeparatorsAndCaseIsResolvedAsOnWindows) {
  fs::path folder = fs::temp_directory_path() / ("orb-stored-" + std::to_string(::getpid()));
  fs::create_directories(folder / "Setup" / "Tools");
  std::ofstream(folder / "Setup" / "Tools" / "Run.exe") << "x";
  std::string base = folder.string() + "/";

  EXPECT_EQ(JoinStoredPath(base, "Setup\\Tools\\Run.exe"), base + "Setup/Tools/Run.exe");
  EXPECT_EQ(JoinStoredPath(base, "setup\\TOOLS\\run.EXE"), base + "Setup/Tools/Run.exe");
  EXPECT_EQ(JoinStoredPath(base, "setup\\tools"), base + "Setup/Tools");
  // Nothing matches: the name stays as written, for the caller to find missing.
  EXPECT_EQ(JoinStoredPath(base, "Setup\\Missing\\a.txt"), base + "Setup/Missing/a.txt");
  EXPECT_EQ(JoinStoredPath(base, ""), base);
  fs::remove_all(folder);
}

TEST(StoredPath, NamesBeyondAsciiAreResolvedIgnoringCaseToo) {
  fs::path folder = fs::temp_directory_path() / ("orb-stored-wide-" + std::to_string(::getpid()));
  fs::create_directories(folder / "\xC3\x9C" "bungen");  // Übungen
  std::ofstream(folder / "\xC3\x9C" "bungen" / "\xD0\x94\xD0\xB0\xD0\xBD\xD0\xBE.txt") << "x";  // Дано.txt
  std::string base = folder.string() + "/";
  EXPECT_EQ(JoinStoredPath(base, "\xC3\xBC" "bungen\\\xD0\xB4\xD0\x90\xD0\x9D\xD0\x9E.TXT"),
            base + "\xC3\x9C" "bungen/\xD0\x94\xD0\xB0\xD0\xBD\xD0\xBE.txt");
  EXPECT_EQ(JoinStoredPath(base, "\xFC" "bungen"), base + "\xC3\x9C" "bungen") << "a link written in Windows-1252";
  fs::remove_all(folder);
}

TEST(RelativePath, TheRuleOnWindowsPaths) {
  EXPECT_EQ(ExtractRelativePath("D:\\CD\\", "D:\\CD\\Setup\\run.exe"), "Setup\\run.exe");
  EXPECT_EQ(ExtractRelativePath("D:\\CD\\", "D:\\CD\\run.exe"), "run.exe");
  EXPECT_EQ(ExtractRelativePath("D:\\CD\\", "D:\\Other\\x.exe"), "..\\Other\\x.exe");
  EXPECT_EQ(ExtractRelativePath("D:\\CD\\", "E:\\x.exe"), "E:\\x.exe");
  EXPECT_EQ(ExtractRelativePath("D:\\CD\\", "D:\\CD\\Tools"), "Tools");
  EXPECT_EQ(ExtractRelativePath("D:\\CD\\", "D:\\CD"), "..\\CD");
  EXPECT_EQ(ExtractRelativePath("d:\\cd\\", "D:\\CD\\Setup\\run.exe"), "Setup\\run.exe") << "without regard to case";
  EXPECT_EQ(ExtractRelativePath("D:\\\xC3\x9C" "bung\\", "D:\\\xC3\xBC" "bung\\a.txt"), "a.txt") << "beyond ASCII too";
  EXPECT_EQ(ExtractRelativePath("", "D:\\CD\\run.exe"), "D:\\CD\\run.exe") << "an empty base has no drive";
  EXPECT_EQ(ExtractRelativePath("\\\\srv\\cds\\Menu\\", "\\\\srv\\cds\\Menu\\a\\b.txt"), "a\\b.txt");
  EXPECT_EQ(ExtractRelativePath("\\\\srv\\cds\\", "\\\\srv\\other\\b.txt"), "\\\\srv\\other\\b.txt");
  EXPECT_EQ(ExtractRelativePath("D:\\CD\\", "Setup\\run.exe"), "Setup\\run.exe") << "a stored link stays as it is";
}

TEST(RelativePath, PlatformPathsBecomeThePortableForm) {
  EXPECT_EQ(StoredRelativePath("/media/cd/", "/media/cd/Setup/run.exe"), "Setup\\run.exe");
  EXPECT_EQ(StoredRelativePath("/media/cd/", "/media/cd/Docs"), "Docs");
  EXPECT_EQ(StoredRelativePath("/media/cd/", "/media/other/x.pdf"), "..\\other\\x.pdf");
  EXPECT_EQ(StoredRelativePath("/media/cd/", "/media/cd"), ".") << "the folder itself, under any name";
  EXPECT_EQ(StoredRelativePath("/media/cd/", "/media/CD/"), ".");
  for (const char* stored : {"Setup\\run.exe", "", "run.exe", "..\\other\\x.pdf"})
    EXPECT_EQ(StoredRelativePath("/media/cd/", stored), stored) << "idempotent on " << stored;
  EXPECT_EQ(StoredRelativePath("", "/media/cd/run.exe"), "/media/cd/run.exe") << "no base, the full path";
}
