// orbdeck check on media with exactly one fault each in the project, the
// saved appearance or the Autorun trailer: the one line that it gives
// before its summary. A clean medium of each template gives none.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/tools/CheckMedia.h"

namespace orb::test {
namespace {

TEST_F(TOrbdeckCheck, ACleanMediumOfEachTemplateGivesNoFinding) {
  for (const auto& make : std::vector<std::function<void()>>{[&] { MakeSimple(); }, [&] { MakePackage(); },
                                                             [&] { MakeCatalogue(); }, [&] { MakeAutorun(); }}) {
    make();
    EXPECT_EQ(Findings(), TLines{});
  }
}

TEST_F(TOrbdeckCheck, EachFaultOfTheProgramAndTheProjectFile) {
  auto project = [&](const std::string& xml) {
    return [&, xml] {
      MakeSimple();
      Write("Setup.orbproj", xml);
    };
  };
  ExpectEach({
      {[&] { MakeSimple(); fs::remove(medium / "Setup"); }, "error: Setup: no such file; the medium has no program to start"},
      {[&] { MakeSimple(); fs::remove(medium / "Setup.orbproj"); }, "error: Setup.orbproj: no such file"s + kShowsNothing},
      {project("<Orbdeck><Project>"), "error: Setup.orbproj: not XML: Start-end tags mismatch at offset 17"s + kShowsNothing},
      {project("<Project/>"), "error: Setup.orbproj: Document element \"Project\" is not \"Orbdeck\""s + kShowsNothing},
      {project(Project("<b>Simple</b>", MainForm(kSimpleComponents))),
       "error: Setup.orbproj: Project/CDFormClass/Title: Element \"Title\" does not contain a single text node"s + kShowsNothing},
      {project(Project("", MainForm(kSimpleComponents))), "error: Setup.orbproj: Project/CDFormClass/Title: no menu named"s + kShowsNothing},
      {project(Project("Simpel", MainForm(kSimpleComponents))),
       "error: Setup.orbproj: Project/CDFormClass/Title: \"Simpel\" is no registered menu (did you mean \"Simple\"?)"s + kShowsNothing},
      {project(Project("Single Level", MainForm(kSimpleComponents))),
       "error: Setup.orbproj: Project/CDFormClass/Title: \"Single Level\" is no registered menu (registered are "
       "\"Package Software\", \"Simple\", \"Autorun file\", \"Software Distribution\")"s + kShowsNothing},
      {project("<Orbdeck><Project><CDFormClass><Title>Simple</Title></CDFormClass><Setup><Title><!-- -->x</Title>"
               "</Setup>" + MainForm(kSimpleComponents) + "</Project></Orbdeck>"),
       "error: Setup.orbproj: Project/Setup/Title: Element \"Title\" does not contain a single text node; the restore "
       "does not run and the window is not centred"},
  });
}

TEST_F(TOrbdeckCheck, AnotherProgramFileReadsTheProjectOfItsBaseName) {
  MakeSimple();
  fs::rename(medium / "Setup", medium / "My.Menu");
  EXPECT_EQ(Findings(" --program My.Menu"), TLines{"error: My.orbproj: no such file"s + kShowsNothing});
  fs::rename(medium / "Setup.orbproj", medium / "My.orbproj");
  EXPECT_EQ(Findings(" --program My.Menu"), TLines{});
}

TEST_F(TOrbdeckCheck, EachFaultOfTheSavedAppearance) {
  auto mainForm = [&](const std::string& xml) {
    return [&, xml] {
      MakeSimple();
      Write("Setup.orbproj", Project("Simple", xml));
    };
  };
  const std::string where = "Setup.orbproj: Project/MainForm";
  ExpectEach({
      {mainForm(""), "error: " + where + ": missing" + kStops},
      {mainForm("<MainForm><AlphaBlendValue>255</AlphaBlendValue><AlphaBlend>0</AlphaBlend><Components/></MainForm>"),
       "error: " + where + "/Caption: missing" + kStops},
      {mainForm("<MainForm><Caption/><AlphaBlend>0</AlphaBlend><Components/></MainForm>"),
       "error: " + where + "/AlphaBlendValue: missing" + kStops},
      {mainForm("<MainForm><Caption/><AlphaBlendValue>255</AlphaBlendValue><Components/></MainForm>"),
       "error: " + where + "/AlphaBlend: missing" + kStops},
      {mainForm("<MainForm><Caption/><AlphaBlendValue>255</AlphaBlendValue><AlphaBlend>0</AlphaBlend></MainForm>"),
       "error: " + where + "/Components: missing" + kStops},
      {mainForm(MainForm("", "half")), "error: " + where + "/AlphaBlendValue: 'half' is not a valid integer value" + kStops},
      {mainForm(MainForm("", "255", "yes")), "error: " + where + "/AlphaBlend: 'yes' is not a valid boolean value" + kStops},
      {mainForm(MainForm("", "300")), "warning: " + where + "/AlphaBlendValue: 300 is outside 0 to 255; the host takes 255"},
      {mainForm(MainForm("", "$0", "True")),
       "warning: " + where + "/AlphaBlendValue: 0 with AlphaBlend on; the window is fully transparent"},
      {mainForm(MainForm("<Imgae><Path>x</Path></Imgae>")),
       "warning: " + where + "/Components/Imgae: the Simple menu has no such component (did you mean \"Image\"?); "
       "the restore skips it"},
      {mainForm(MainForm("<DBMemo1><Caption>x</Caption></DBMemo1>")),
       "error: " + where + "/Components/DBMemo1/Caption: Property Caption does not exist" + kStops},
      {mainForm(MainForm("<Image><Path>Pics\\Front.ppm</Path></Image>")),
       "error: " + where + "/Components/Image/Path: picture \"Pics\\Front.ppm\" is not on the medium"},
      {mainForm(MainForm("<Image><Path>pics\\BACK.ppm</Path></Image>")),
       "warning: " + where + "/Components/Image/Path: picture \"pics\\BACK.ppm\" is found as \"Pics\\Back.ppm\" only "
       "when letter case is ignored"},
      {mainForm(MainForm("<Image><Path>Pics</Path></Image>")),
       "error: " + where + "/Components/Image/Path: picture \"Pics\" is a folder; the menu shows no picture"},
      {[&] { MakeSimple(); Write("Pics/Back.ppm", "P3\n1 1\n"); },
       "error: " + where + "/Components/Image/Path: \"Pics\\Back.ppm\": PNM: unexpected end of file" + kStops},
  });
}

TEST_F(TOrbdeckCheck, EachFaultOfTheAutorunTrailer) {
  ExpectEach({
      {[&] { MakeAutorun("MZ" + std::string(20, 'Z')); }, "error: Setup: no trailer names what to open; the host opens nothing"},
      {[&] { MakeAutorun(ProgramWithTrailer("")); }, "error: Setup: the trailer is empty; the host opens nothing"},
      {[&] { MakeAutorun("MZ" + Footer('\x7F')); }, "error: Setup: Trailer: payload offset beyond the footer; the host opens nothing"},
      {[&] { MakeAutorun(ProgramWithTrailer("index.htm")); }, "error: Setup: trailer \"index.htm\" is not on the medium"},
      {[&] { MakeAutorun(ProgramWithTrailer("C:\\CD\\index.htm")); },
       "error: Setup: trailer \"C:\\CD\\index.htm\" is a full path; the host puts the program folder in front of it, "
       "so it is never found"},
      {[&] { MakeAutorun(ProgramWithTrailer("docs\\welcome.HTML\0junk"s)); },
       "warning: Setup: trailer \"docs\\welcome.HTML\" is found as \"Docs\\Welcome.html\" only when letter case is ignored"},
  });
}

TEST_F(TOrbdeckCheck, JsonGivesTheSameFindingsAndWrongArgumentsTheUsage) {
  MakeSimple();
  Write("Setup.orbproj", Project("Simple", MainForm("<Imgae/>", "half")));
  const TLines lines = Findings();
  TOrbdeckRun run = Orbdeck("check " + Quoted(medium) + " --json");
  EXPECT_EQ(run.ExitCode, 1);
  const nlohmann::json findings = nlohmann::json::parse(run.Out);
  ASSERT_EQ(findings.size(), lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i)
    EXPECT_EQ(findings[i]["severity"].get<std::string>() + ": " + findings[i]["where"].get<std::string>() + ": " +
                  findings[i]["what"].get<std::string>(),
              lines[i]);

  for (const char* arguments : {"check", "check a b", "check a --program", "check a --program x/y", "check a --all"}) {
    TOrbdeckRun wrong = Orbdeck(arguments);
    EXPECT_EQ(wrong.ExitCode, 2) << arguments;
    EXPECT_NE(wrong.Err.find("orbdeck check MEDIUM [--program NAME] [--json]"), std::string::npos) << arguments;
  }
  EXPECT_EQ(Orbdeck("check " + Quoted(medium / "none")).Lines().front(),
            "error: " + (medium / "none").string() + ": no such folder");
}

}  // namespace
}  // namespace orb::test
