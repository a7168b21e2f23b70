// orbdeck check on the data of record-keeping media with exactly one fault
// each: the data file, then a link of one record, named by its number and
// title and, in a package, by its slot. Damaged projects and data files of
// every kind give findings, never a crash, and nothing is written.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "tests/tools/CheckMedia.h"

namespace orb::test {
namespace {

std::map<std::string, std::string> Snapshot(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    files[fs::relative(entry.path(), root).string()] = entry.is_directory() ? "/" : Contents(entry.path());
  return files;
}

TEST_F(TOrbdeckCheck, EachFaultOfTheDataFile) {
  ExpectEach({
      {[&] { MakeSimple(); fs::remove_all(medium / "Data"); },
       "warning: Data/db.xml: no such file; the menu shows one record \"Title\""},
      {[&] { MakeSimple(); fs::rename(medium / "Data", medium / "data"); },
       "error: Data/db.xml: no such file, only \"data/db.xml\", which differs in letter case; the menu shows one "
       "record \"Title\""},
      {[&] { MakeSimple(); Write("Data/db.xml", PackagePacket("")); },
       "error: Data/db.xml: the host reports \"Field 'Title' not found.\" and the menu starts empty"},
  });
}

TEST_F(TOrbdeckCheck, EachFaultOfAFileLink) {
  auto manual = [&](const std::string& link) {
    return [&, link] {
      MakeSimple();
      Write("Data/db.xml", SimpleRows(link));
    };
  };
  const std::string where = "Data/db.xml: record 2 \"Manual\": ";
  ExpectEach({
      {manual("Docs&#092;Manuel.txt"), "error: " + where + "File link \"Docs\\Manuel.txt\" is not on the medium"},
      {manual("C:&#092;CD&#092;Docs&#092;Manual.txt"),
       "error: " + where + "File link \"C:\\CD\\Docs\\Manual.txt\" is a full path; the host puts the program folder "
       "in front of it, so it is never found"},
      {manual("/media/cd/Docs/Manual.txt"),
       "error: " + where + "File link \"/media/cd/Docs/Manual.txt\" is a full path; the host puts the program folder "
       "in front of it, so it is never found"},
      {manual("..&#092;Docs&#092;Manual.txt"), "error: " + where + "File link \"..\\Docs\\Manual.txt\" leads outside the medium"},
      {manual("docs&#092;MANUAL.txt"),
       "warning: " + where + "File link \"docs\\MANUAL.txt\" is found as \"Docs\\Manual.txt\" only when letter case is "
       "ignored"},
      {manual(""), "warning: " + where + "empty File link; it opens the program folder"},
  });
}

TEST_F(TOrbdeckCheck, EachFaultOfALinkAndItsKind) {
  auto entry = [&](const std::string& link, const std::string& action) {
    return [&, link, action] { MakeCatalogue("<ROW Title=\"New\" Link=\"" + link + "\" Action=\"" + action + "\"/>"); };
  };
  const std::string where = "Data/db.xml: record 4 \"New\": ";
  ExpectEach({
      {entry("http://orbit.example", "Internet"),
       "error: " + where + "Internet link \"http://orbit.example\" begins with \"http://\"; the host puts \"http://\" "
       "in front of it"},
      {entry("HTTPS://orbit.example", "Internet"),
       "error: " + where + "Internet link \"HTTPS://orbit.example\" begins with \"HTTPS://\"; the host puts \"http://\" "
       "in front of it"},
      {entry("", "Internet"), "error: " + where + "empty Internet link; it opens \"http://\" alone"},
      {entry("mailto:info@orbit.example", "e-mail"),
       "error: " + where + "e-mail link \"mailto:info@orbit.example\" begins with \"mailto:\"; the host puts another "
       "\"mailto:\" in front of it"},
      {entry("Drivers", "folder"),
       "error: " + where + "kind \"folder\" is none of \"File\", \"Folder\", \"Internet\" and \"e-mail\" (did you mean "
       "\"Folder\"?); it opens nothing"},
      {entry("Drivers", "Web"),
       "error: " + where + "kind \"Web\" is none of \"File\", \"Folder\", \"Internet\" and \"e-mail\"; it opens nothing"},
      {entry("", ""), "warning: " + where + "no link; it opens nothing"},
      {entry("Drivers&#092;Printer", "Folder"), "error: " + where + "Folder link \"Drivers\\Printer\" is not on the medium"},
  });
}

TEST_F(TOrbdeckCheck, EachFaultOfAProgramSlot) {
  const std::string where = "Data/db.xml: record 1 \"Office\", slot ";
  ExpectEach({
      {[&] { MakePackage("Title1=\"Install\" Link1=\"Office&#092;install.sh\" Title3=\"Help\""); },
       "warning: " + where + "3 \"Help\": empty File link; it opens the program folder"},
      {[&] { MakePackage("Title1=\"Install\" Link1=\"Office&#092;install.sh\" Link5=\"Office&#092;Extras\""); },
       "error: " + where + "5 \"\": File link \"Office\\Extras\" is not on the medium"},
  });
}

// Projects, data files and trailers damaged in every way the fuzzers start
// from, and files cut short: findings, never a crash or another exit code.
TEST_F(TOrbdeckCheck, DamagedFilesGiveFindingsNeverACrash) {
  auto expectFindings = [&](const std::string& what) {
    TOrbdeckRun run = Orbdeck("check " + Quoted(medium));
    EXPECT_TRUE(run.ExitCode == 0 || run.ExitCode == 1) << what << ": " << run.ExitCode << run.Err;
    TLines lines = run.Lines();
    ASSERT_FALSE(lines.empty()) << what;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i)
      EXPECT_TRUE(lines[i].starts_with("error: ") || lines[i].starts_with("warning: ")) << what << ": " << lines[i];
  };
  const fs::path corpus = fs::path(ORB_SOURCE_DIR) / "fuzz" / "corpus";
  for (const auto& file : fs::directory_iterator(corpus / "project")) {
    MakeSimple();
    fs::copy_file(file.path(), medium / "Setup.orbproj", fs::copy_options::overwrite_existing);
    expectFindings(file.path().string());
  }
  for (const auto& file : fs::directory_iterator(corpus / "datapacket")) {
    MakePackage();
    fs::copy_file(file.path(), medium / "Data" / "db.xml", fs::copy_options::overwrite_existing);
    expectFindings(file.path().string());
  }
  for (const auto& file : fs::directory_iterator(corpus / "exetrailer")) {
    MakeAutorun(Contents(file.path()));
    expectFindings(file.path().string());
  }
  MakeCatalogue();
  const std::string project = Contents(medium / "Setup.orbproj");
  const std::string data = Contents(medium / "Data" / "db.xml");
  for (std::size_t cut : {std::size_t(1), project.size() / 3, project.size() - 20}) {
    Write("Setup.orbproj", project.substr(0, cut));
    expectFindings("project cut at " + std::to_string(cut));
  }
  Write("Setup.orbproj", project);
  for (std::size_t cut : {std::size_t(40), data.size() / 2, data.size() - 30}) {
    Write("Data/db.xml", data.substr(0, cut));
    expectFindings("data cut at " + std::to_string(cut));
  }
}

TEST_F(TOrbdeckCheck, NothingOnTheMediumIsWrittenOrOpened) {
  MakeCatalogue("<ROW Title=\"Run\" Link=\"run.sh\" Action=\"File\"/>");
  Write("run.sh", "#!/bin/sh\ntouch '" + (outside / "started").string() + "'\n");
  fs::permissions(medium / "run.sh", fs::perms::owner_all);
  const auto before = Snapshot(medium);
  EXPECT_EQ(Findings(), TLines{});
  EXPECT_EQ(Snapshot(medium), before);
  EXPECT_FALSE(fs::exists(outside / "started")) << "a launcher's target is recorded, never started";
}

}  // namespace
}  // namespace orb::test
