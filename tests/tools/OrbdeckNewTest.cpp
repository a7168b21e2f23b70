// orbdeck new: a medium of each template that orbdeck check passes without
// a finding, with the program file given or found beside orbdeck; a folder
// that holds anything is left alone.
#include <gtest/gtest.h>

#include "tests/tools/MediumFixture.h"

namespace orb::test {
namespace {

class TOrbdeckNew : public TMediumTest {
 protected:
  void SetUp() override {
    TMediumTest::SetUp();
    program = outside / "Setup";
    std::ofstream(program, std::ios::binary) << "MZ program";
    fs::permissions(program, fs::perms::owner_all);
    fs::remove(medium);
  }
  TOrbdeckRun New(const std::string& name) {
    return Orbdeck("new '" + name + "' " + Quoted(medium) + " --setup " + Quoted(program));
  }

  fs::path program;
};

TEST_F(TOrbdeckNew, EachTemplateGivesAMediumThatCheckPasses) {
  for (const std::string name : {"simple", "PACKAGE SOFTWARE", "Software Distribution"}) {
    fs::remove_all(medium);
    TOrbdeckRun made = New(name);
    ASSERT_EQ(made.ExitCode, 0) << name << made.Err;
    EXPECT_EQ(made.Out + made.Err, "");
    EXPECT_EQ(Contents(medium / "Setup"), "MZ program");
    EXPECT_EQ(fs::status(medium / "Setup").permissions(), fs::perms::owner_all) << "still a program";
    EXPECT_TRUE(fs::exists(medium / "Data" / "db.xml")) << name;
    EXPECT_EQ(Orbdeck("check " + Quoted(medium)).Out, medium.string() + ": 0 errors, 0 warnings\n") << name;
  }
  EXPECT_NE(Contents(medium / "Setup.orbproj").find("<Title>Software Distribution</Title>"), std::string::npos)
      << "the registered spelling";

  fs::remove_all(medium);
  ASSERT_EQ(New("autorun file").ExitCode, 0);
  EXPECT_EQ(Orbdeck("trailer read " + Quoted(medium / "Setup")).Out, "index.htm");
  EXPECT_TRUE(fs::exists(medium / "index.htm"));
  EXPECT_EQ(Orbdeck("check " + Quoted(medium)).Out, medium.string() + ": 0 errors, 0 warnings\n");
}

TEST_F(TOrbdeckNew, TheProgramBesideOrbdeckAndFoldersThatAreNotEmpty) {
  // orbdeck copied beside a program file of its own.
  fs::copy_file(ORBDECK_PATH, outside / "orbdeck");
  fs::permissions(outside / "orbdeck", fs::perms::owner_all);
  const std::string beside = "'" + (outside / "orbdeck").string() + "' new Simple " + Quoted(medium) + " >/dev/null";
  ASSERT_EQ(std::system(beside.c_str()), 0);
  EXPECT_EQ(Contents(medium / "Setup"), "MZ program");

  TOrbdeckRun again = New("Simple");
  EXPECT_EQ(again.ExitCode, 1);
  EXPECT_EQ(again.Err, "\"" + medium.string() + "\" exists and is not an empty folder\n");

  fs::remove_all(medium);
  TOrbdeckRun unknown = New("Simpel");
  EXPECT_EQ(unknown.ExitCode, 2);
  EXPECT_TRUE(unknown.Err.starts_with("No template \"Simpel\" (did you mean \"Simple\"?); the templates are \"Package "
                                      "Software\", \"Simple\", \"Autorun file\", \"Software Distribution\"\nusage:\n"))
      << unknown.Err;
  TOrbdeckRun noProgram = Orbdeck("new Simple " + Quoted(medium) + " --setup " + Quoted(outside / "none"));
  EXPECT_EQ(noProgram.ExitCode, 1);
  EXPECT_EQ(noProgram.Err, "No program file \"" + (outside / "none").string() + "\"\n");
  EXPECT_FALSE(fs::exists(medium)) << "nothing is made before the program file is found";
  for (const char* arguments : {"new", "new Simple", "new Simple a b", "new Simple a --setup"})
    EXPECT_EQ(Orbdeck(arguments).ExitCode, 2) << arguments;
}

}  // namespace
}  // namespace orb::test
