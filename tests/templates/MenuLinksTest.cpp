// The links that each record-keeping menu opens, as a check of a medium sees
// them: launchers that open what the menu's own launch controls open.
#include <gtest/gtest.h>

#include "controls/OrbExecButton.h"
#include "controls/OrbExecText.h"
#include "templates/MenuLinks.h"
#include "templates/PackageSoftwareCDForm_.h"
#include "templates/PackageSoftwareDBForm_.h"
#include "templates/SimpleCDForm_.h"
#include "templates/SimpleDBForm_.h"
#include "templates/SingleLevelDBForm_.h"
#include "templates/SoftwareDistributionCDMenu_Unit.h"
#include "tests/controls/ControlTestSupport.h"
#include "tests/support/CataloguePacket.h"
#include "tests/support/PackagePacket.h"
#include "tests/support/SimplePacket.h"
#include "tests/templates/TemplateFixture.h"
#include "ui_PackageSoftwareCDForm_.h"
#include "ui_SimpleCDForm_.h"

using namespace orb;

namespace {

struct TMenuLinks : test::TTemplateMedium {
  TMenuLinks() : TTemplateMedium("menu-links") {}
  void SetUp() override {
    TTemplateMedium::SetUp();
    HostMode = true;
  }
  void TearDown() override {
    EXPECT_EQ(reports, std::vector<std::string>{});
    TTemplateMedium::TearDown();
  }

  // What each link of the second record opens, in the order of the links.
  std::vector<std::string> OpenedForSecondRecord(const TMenuRecords& records) {
    records.Records->First();
    records.Records->Next();
    test::TRecordingShell shell;
    for (const TMenuLink& link : records.Links) {
      TOrbDBExecute launcher = link.Launcher;
      launcher.Execute();
    }
    return shell.opened;
  }
};

TEST_F(TMenuLinks, TheSimpleMenuOpensEachEntrysLinkAsItsTitleAndInstallDo) {
  WriteData(test::SimplePacket("<ROW Title=\"A\" Link=\"a.txt\"/><ROW Title=\"B\" Link=\"Docs&#092;b.txt\"/>"));
  TSimpleCDForm menu(nullptr);
  std::optional<TMenuRecords> records = MenuRecords(menu);
  ASSERT_TRUE(records);
  EXPECT_EQ(records->Records, &menu.Editor().Data);
  EXPECT_EQ(records->Title, menu.Editor().DataTitle);
  ASSERT_EQ(records->Links.size(), 1u);
  EXPECT_EQ(records->Links[0].Slot, 0);
  EXPECT_EQ(records->Links[0].Title, menu.Editor().DataTitle);
  EXPECT_EQ(OpenedForSecondRecord(*records), std::vector<std::string>{ProgramFolder + "Docs/b.txt"});

  test::TRecordingShell shell;
  menu.Components().Install->DBExecute().Execute();
  EXPECT_EQ(shell.opened, std::vector<std::string>{ProgramFolder + "Docs/b.txt"}) << "Install opens the same link";
}

TEST_F(TMenuLinks, ThePackageSoftwareMenuOpensTheFiveProgramSlotsOfAPackage) {
  WriteData(test::PackagePacket(
      "<ROW Name=\"A\"/><ROW Name=\"B\"><Softwares><ROWSoftwares Title1=\"One\" Link1=\"one\" Title5=\"Five\" "
      "Link5=\"five\"/></Softwares></ROW>"));
  TPackageSoftwareCDForm menu(nullptr);
  std::optional<TMenuRecords> records = MenuRecords(menu);
  ASSERT_TRUE(records);
  TPackageSoftwareDBForm& editor = menu.Editor();
  EXPECT_EQ(records->Records, &editor.PackageData);
  EXPECT_EQ(records->Title, editor.PackageDataName);
  ASSERT_EQ(records->Links.size(), 5u);
  const TField* titles[] = {editor.SoftwaresDataTitle1, editor.SoftwaresDataTitle2, editor.SoftwaresDataTitle3,
                            editor.SoftwaresDataTitle4, editor.SoftwaresDataTitle5};
  for (int slot = 1; slot <= 5; ++slot) {
    EXPECT_EQ(records->Links[slot - 1].Slot, slot);
    EXPECT_EQ(records->Links[slot - 1].Title, titles[slot - 1]);
    EXPECT_EQ(records->Links[slot - 1].Launcher.LinkField(), editor.SlotLinks()[std::size_t(slot - 1)]);
  }
  EXPECT_EQ(OpenedForSecondRecord(*records),
            (std::vector<std::string>{ProgramFolder + "one", ProgramFolder, ProgramFolder, ProgramFolder,
                                      ProgramFolder + "five"}))
      << "every slot opens as a file, an empty one the program folder";
}

TEST_F(TMenuLinks, TheSoftwareDistributionMenuOpensAnEntrysLinkByItsKind) {
  WriteData(test::CataloguePacket("<ROW Title=\"A\" Link=\"a\" Action=\"File\"/>"
                                  "<ROW Title=\"B\" Link=\"orbit.example\" Action=\"Internet\"/>"));
  TSoftwareDistributionCDMenu menu(nullptr);
  std::optional<TMenuRecords> records = MenuRecords(menu);
  ASSERT_TRUE(records);
  EXPECT_EQ(records->Records, &menu.Catalogue().Data);
  ASSERT_EQ(records->Links.size(), 1u);
  EXPECT_EQ(records->Links[0].Launcher.ActionField(), menu.Catalogue().DataAction);
  EXPECT_EQ(OpenedForSecondRecord(*records), std::vector<std::string>{"http://orbit.example"});
}

TEST_F(TMenuLinks, AMenuWithoutRecordsHasNone) {
  TCDMenuForm menu(nullptr);
  EXPECT_FALSE(MenuRecords(menu));
}

}  // namespace
