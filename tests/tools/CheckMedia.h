// Clean media of each template for the orbdeck check tests, which give
// each exactly one fault and expect the one line that check gives for it.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "tests/support/CataloguePacket.h"
#include "tests/support/PackagePacket.h"
#include "tests/support/SimplePacket.h"
#include "tests/tools/MediumFixture.h"

namespace orb::test {

using TLines = std::vector<std::string>;
using namespace std::string_literals;

inline constexpr const char* kStops = "; the restore stops here and the window is not centred";
inline constexpr const char* kShowsNothing = "; the host shows nothing";

inline std::string Project(const std::string& menu, const std::string& mainForm) {
  return "<?xml version=\"1.0\"?><Orbdeck><Project><CDFormClass><Title>" + menu +
         "</Title></CDFormClass><Setup><Title>My CD</Title></Setup>" + mainForm + "</Project></Orbdeck>";
}

inline std::string MainForm(const std::string& components, const std::string& opacity = "255",
                     const std::string& blend = "False") {
  return "<MainForm><Caption>My CD</Caption><AlphaBlendValue>" + opacity + "</AlphaBlendValue><AlphaBlend>" + blend +
         "</AlphaBlend><Components>" + components + "</Components></MainForm>";
}

inline const std::string kSimpleComponents = "<Image><Path>Pics\\Back.ppm</Path></Image><Install><Caption>Open</Caption></Install>";

inline std::string SimpleRows(const std::string& manualLink) {
  return SimplePacket("<ROW Title=\"Manual\" Link=\"" + manualLink + "\"/><ROW Title=\"Extras\" Link=\"Extras\"/>");
}

inline std::string Footer(char offset) { return std::string{offset, 0, 0, 0} + "EB1.0\0\0\0"s; }

// A trailer written as the trailer command writes it, after two bytes of program.
inline std::string ProgramWithTrailer(const std::string& text) { return "MZ" + text + Footer(2); }

class TOrbdeckCheck : public TMediumTest {
 protected:
  void Fresh() {
    fs::remove_all(medium);
    fs::create_directories(medium);
    Write("Setup", "MZ");
  }
  void MakeSimple() {
    Fresh();
    Write("Setup.orbproj", Project("Simple", MainForm(kSimpleComponents)));
    Write("Pics/Back.ppm", "P3\n1 1\n255\n255 0 0\n");
    Write("Docs/Manual.txt", "manual");
    Write("Extras/Wallpaper.txt", "wallpaper");
    Write("Data/db.xml", SimpleRows("Docs&#092;Manual.txt"));
  }
  void MakePackage(const std::string& programs = "Title1=\"Install\" Link1=\"Office&#092;install.sh\" "
                                                 "Title2=\"Manual\" Link2=\"Office&#092;Manual.txt\"") {
    Fresh();
    Write("Setup.orbproj", Project("Package Software", MainForm("<Label1><Caption>Serial</Caption></Label1>")));
    Write("Office/install.sh", "#!/bin/sh\n");
    Write("Office/Manual.txt", "manual");
    Write("Data/db.xml", PackagePacket("<ROW Name=\"Office\" Serial=\"1\"><Softwares><ROWSoftwares " + programs +
                                       "/></Softwares></ROW>"));
  }
  void MakeCatalogue(const std::string& extraRow = "") {
    Fresh();
    Write("Setup.orbproj", Project("Software Distribution", MainForm("<CheckBox1><Caption>Show</Caption></CheckBox1>")));
    Write("Drivers/Readme.txt", "drivers");
    Write("Data/db.xml", CataloguePacket("<ROW Title=\"Drivers\" Link=\"Drivers\" Action=\"Folder\"/>"
                                         "<ROW Title=\"Web\" Link=\"orbit.example\" Action=\"Internet\"/>"
                                         "<ROW Title=\"Mail\" Link=\"info@orbit.example\" Action=\"e-mail\"/>" +
                                         extraRow));
  }
  void MakeAutorun(const std::string& program = ProgramWithTrailer("Docs\\Welcome.html")) {
    Fresh();
    Write("Setup.orbproj", Project("Autorun file", ""));
    Write("Setup", program);
    Write("Docs/Welcome.html", "<html/>");
  }

  // The findings of check, the summary taken off after it is checked.
  TLines Findings(const std::string& options = "") {
    TOrbdeckRun run = Orbdeck("check " + Quoted(medium) + options);
    TLines lines = run.Lines();
    EXPECT_EQ(run.Err, "");
    if (lines.empty()) return {"(no summary)"};
    std::size_t errors = 0;
    for (const std::string& line : lines) errors += line.starts_with("error: ");
    const std::size_t warnings = lines.size() - 1 - errors;
    EXPECT_EQ(lines.back(), medium.string() + ": " + std::to_string(errors) + (errors == 1 ? " error, " : " errors, ") +
                                std::to_string(warnings) + (warnings == 1 ? " warning" : " warnings"));
    EXPECT_EQ(run.ExitCode, errors > 0 ? 1 : 0);
    lines.pop_back();
    return lines;
  }

  struct TFault {
    std::function<void()> Make;
    std::string Line;
  };
  void ExpectEach(const std::vector<TFault>& faults) {
    for (const TFault& fault : faults) {
      fault.Make();
      EXPECT_EQ(Findings(), TLines{fault.Line});
    }
  }
};

}  // namespace orb::test
