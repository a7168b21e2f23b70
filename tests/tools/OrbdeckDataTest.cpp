#include <gtest/gtest.h>

#include <sys/wait.h>

#include "tests/store/StoreTestSupport.h"

namespace orb {
namespace {

struct TRun {
  int ExitCode;
  std::string Out, Err;
};

class OrbdeckTest : public ::testing::Test {
 protected:
  TRun Run(const std::string& arguments) {
    std::string command = std::string("'") + ORBDECK_PATH + "' " + arguments + " >'" + (folder / "out.txt") + "' 2>'" +
                          (folder / "err.txt") + "'";
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::ReadFile(folder / "out.txt"), test::ReadFile(folder / "err.txt")};
  }
  std::string Quoted(const std::string& name) {
    // A named string: GCC 12 at -O3 warns falsely (-Wrestrict) on "'" + a temporary.
    const std::string file = folder / name;
    return "'" + file + "'";
  }

  test::TTempDir folder;
};

const char* PackageFields =
    R"({"fields": [{"name": "Name", "type": "string", "size": 5}, {"name": "Description", "type": "memo"},
                   {"name": "Softwares", "type": "nested", "fields": [{"name": "Title1", "type": "string", "size": 120},
                                                                     {"name": "Link1", "type": "string", "size": 300}]}],
        "index": {"name": "NameIndex", "field": "Name"}})";

TEST_F(OrbdeckTest, ImportThenExportGivesTheRecordsInIndexOrderWithCutValues) {
  test::WriteFile(folder / "fields.json", PackageFields);
  test::WriteFile(folder / "in.json",
                  R"([{"Name": "zebra crossing", "Description": "two\r\nlines \\ \"q\"",
                       "Softwares": [{"Title1": "Run", "Link1": "Setup\\run.exe"}, {"Title1": "Second"}]},
                      {"Name": "Apple"}])");
  TRun import = Run("data import --fields " + Quoted("fields.json") + " " + Quoted("in.json") + " " + Quoted("db.xml"));
  ASSERT_EQ(import.ExitCode, 0) << import.Err;
  EXPECT_NE(test::ReadFile(folder / "db.xml").find("Link1=\"Setup&#092;run.exe\""), std::string::npos);
  TRun exported = Run("data export " + Quoted("db.xml"));
  ASSERT_EQ(exported.ExitCode, 0) << exported.Err;
  EXPECT_EQ(exported.Out,
            "[\n"
            "  {\n    \"Name\": \"Apple\",\n    \"Description\": \"\",\n    \"Softwares\": []\n  },\n"
            "  {\n    \"Name\": \"zebra\",\n    \"Description\": \"two\\r\\nlines \\\\ \\\"q\\\"\",\n"
            "    \"Softwares\": [\n"
            "      {\n        \"Title1\": \"Run\",\n        \"Link1\": \"Setup\\\\run.exe\"\n      },\n"
            "      {\n        \"Title1\": \"Second\",\n        \"Link1\": \"\"\n      }\n    ]\n  }\n]\n");
}

TEST_F(OrbdeckTest, ExportReadsTextThatIsNotUtf8AsWindows1252) {
  test::WriteFile(folder / "db.xml",
                  "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
                  "<FIELD attrname=\"Title\" fieldtype=\"string\" WIDTH=\"80\"/></FIELDS><PARAMS/></METADATA>"
                  "<ROWDATA><ROW Title=\"Caf\xE9 \x80\"/><ROW Title=\"caf\xC3\xA9\"/></ROWDATA></DATAPACKET>");
  TRun exported = Run("data export " + Quoted("db.xml"));
  ASSERT_EQ(exported.ExitCode, 0) << exported.Err;
  EXPECT_EQ(exported.Out, "[\n  {\n    \"Title\": \"Caf\xC3\xA9 \xE2\x82\xAC\"\n  },\n  {\n    \"Title\": \"caf\xC3\xA9\"\n  }\n]\n");
}

TEST_F(OrbdeckTest, ErrorsGiveOneLineAndExitCodeOneUsageErrorsTwo) {
  TRun missing = Run("data export " + Quoted("none.xml"));
  EXPECT_EQ(missing.ExitCode, 1);
  EXPECT_EQ(missing.Err, "Cannot open file \"" + (folder / "none.xml") + "\". No such file or directory\n");
  EXPECT_EQ(missing.Out, "");

  test::WriteFile(folder / "fields.json", PackageFields);
  test::WriteFile(folder / "in.json", R"([{"Name": "x", "Serial": "not declared"}])");
  TRun unknown = Run("data import --fields " + Quoted("fields.json") + " " + Quoted("in.json") + " " + Quoted("db.xml"));
  EXPECT_EQ(unknown.ExitCode, 1);
  EXPECT_EQ(unknown.Err, "Field 'Serial' not found\n");
  EXPECT_FALSE(std::filesystem::exists(folder / "db.xml"));

  test::WriteFile(folder / "broken.json", "[{");
  TRun broken = Run("data import --fields " + Quoted("fields.json") + " " + Quoted("broken.json") + " " + Quoted("db.xml"));
  EXPECT_EQ(broken.ExitCode, 1);
  EXPECT_EQ(std::count(broken.Err.begin(), broken.Err.end(), '\n'), 1);

  for (const char* usage : {"", "data", "data export", "data import a b c", "data export a b", "nosuch"}) {
    TRun run = Run(usage);
    EXPECT_EQ(run.ExitCode, 2) << usage;
    EXPECT_NE(run.Err.find("orbdeck data import --fields FIELDS.json IN.json OUT.xml"), std::string::npos) << usage;
  }
}

TEST_F(OrbdeckTest, HelpPrintsTheUsageOnStandardOutputWithExitCodeZero) {
  TRun help = Run("--help");
  EXPECT_EQ(help.ExitCode, 0);
  EXPECT_EQ(help.Err, "");
  EXPECT_EQ(help.Out, Run("").Err) << "the same usage as for wrong arguments";
  EXPECT_NE(help.Out.find("orbdeck trailer write FILE TEXT"), std::string::npos);
  EXPECT_EQ(Run("--help data").ExitCode, 2) << "--help takes no arguments";
}

}  // namespace
}  // namespace orb
