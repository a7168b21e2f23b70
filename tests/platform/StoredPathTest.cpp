#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/StoredPath.h"

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
