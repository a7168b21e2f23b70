#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QTabBar>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "controls/DBEdit.h"
#include "controls/DBLookupListBox.h"
#include "controls/DBMemo.h"
#include "controls/Label.h"
#include "controls/OrbExecText.h"
#include "controls/OrbImage.h"
#include "controls/OrbLinkButton.h"
#include "controls/Panel.h"
#include "controls/TabControl.h"
#include "framework/ComponentPersistency.h"
#include "platform/ErrorReport.h"
#include "platform/FolderPicker.h"
#include "project/XMLDocument.h"
#include "templates/PackageSoftwareCDForm_.h"
#include "templates/PackageSoftwareDBForm_.h"
#include "tests/controls/ControlTestSupport.h"
#include "tests/templates/TemplateFixture.h"
#include "tests/support/PackagePacket.h"
#include "ui_PackageSoftwareCDForm_.h"
#include "ui_PackageSoftwareDBForm_.h"

using namespace orb;
using test::PackagePacket;
namespace fs = std::filesystem;

namespace {

// A package row of the data packet; programs are the attributes of its
// nested record, such as Title1="Setup" Link1="a&#092;b", or none.
std::string Package(const std::string& name, const std::string& serial = "", const std::string& description = "",
                    const std::string& programs = "") {
  std::string row = "<ROW Name=\"" + name + "\" Serial=\"" + serial + "\" Description=\"" + description + "\"";
  if (programs.empty()) return row + "/>";
  return row + "><Softwares><ROWSoftwares " + programs + "/></Softwares></ROW>";
}

// A medium folder, and the Package Software menu started on it as the host
// does; or, with an editing environment, with the menu current and the
// editor shown.
struct TPackageTemplate : test::TTemplateMedium {
  TPackageTemplate() : TTemplateMedium("package") {}

  void TearDown() override {
    menu.reset();
    TTemplateMedium::TearDown();
  }
  void Start(bool editing = false) {
    HostMode = !editing;
    menu = std::make_unique<TPackageSoftwareCDForm>(nullptr);
    if (editing) {
      CurrentMenu = menu.get();
      menu->AddRef();
      menu->Editor().show();
    }
  }
  const Ui::PackageSoftwareCDForm& Menu() const { return menu->Components(); }
  const Ui::PackageSoftwareDBForm& Editor() const { return menu->Editor().Components(); }
  TDataSet& Packages() const { return menu->Editor().PackageData; }
  TDataSet& Programs() const { return menu->Editor().SoftwaresData; }

  std::vector<std::string> Listed() const {
    std::vector<std::string> rows;
    const QAbstractItemModel* model = Menu().NameListBox->model();
    for (int row = 0; row < model->rowCount(); ++row) rows.push_back(model->index(row, 0).data().toString().toStdString());
    return rows;
  }
  int Selected() const { return Menu().NameListBox->currentIndex().row(); }
  void ChooseRow(int row) {
    TDBLookupListBox& list = *Menu().NameListBox;
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(list.model()->index(row, 0)).center());
  }
  // The five launch labels' texts.
  std::vector<std::string> ProgramLabels() const {
    std::vector<std::string> texts;
    for (TOrbExecText* label : {Menu().OrbExecText1, Menu().OrbExecText2, Menu().OrbExecText3, Menu().OrbExecText4,
                                Menu().OrbExecText5})
      texts.push_back(label->text().toStdString());
    return texts;
  }
  void ClickTab(int index) {
    QTabBar& tabs = Editor().TabControl->TabBar();
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(index).center());
  }
  std::string Program(const std::string& field) const { return std::string(Programs().FieldByName(field).AsString()); }
  std::vector<QWidget*> EditingControls() const {
    const Ui::PackageSoftwareDBForm& e = Editor();
    return {e.DeleteBtn, e.NameEd,   e.NameLbl,       e.SerialEd, e.SerialLbl,
            e.DescriptionMemo, e.DescriptionLbl, e.TitleDBEd, e.TitleLbl, e.OrbLinkButton, e.LinkDBEd, e.TabControl};
  }

  test::TRecordingShell shell;
  std::unique_ptr<TPackageSoftwareCDForm> menu;
};

using TTexts = std::vector<std::string>;

TEST_F(TPackageTemplate, WithoutADataFileTheMenuListsOnePackageTitleWithNothingElse) {
  Start();
  EXPECT_EQ(Listed(), TTexts{"Title"});
  EXPECT_EQ(Selected(), 0);
  EXPECT_EQ(Menu().DBEdit1->text(), "");
  EXPECT_EQ(Menu().DBMemo1->toPlainText(), "");
  EXPECT_EQ(ProgramLabels(), TTexts(5, ""));
  EXPECT_TRUE(Programs().IsEmpty());
  EXPECT_FALSE(fs::exists(medium / "Data")) << "nothing is created on disk";
  EXPECT_EQ(CurrentDBForm, &menu->Editor());
  EXPECT_EQ(PackageSoftwareDBForm, &menu->Editor());
  EXPECT_EQ(PackageSoftwareCDForm, menu.get());
  EXPECT_EQ(menu->GetMenuName(), "Package Software");
  EXPECT_EQ(Editor().NameEd->maxLength(), 120);
  EXPECT_EQ(Editor().SerialEd->maxLength(), 300);
  EXPECT_EQ(Editor().TitleDBEd->maxLength(), 120);
  EXPECT_TRUE(reports.empty());
}

TEST_F(TPackageTemplate, TheChosenPackageShowsItsProgramsAndALabelOpensItsSlotBelowTheProgramFolder) {
  fs::create_directories(medium / "Office" / "Docs");
  std::ofstream(medium / "Office" / "Docs" / "Readme.html") << "<html/>";
  WriteData(PackagePacket(
      Package("Orbit Office", "OO-1234", "The office suite.&#013;&#010;Two lines.",
              "Title1=\"Install\" Link1=\"Office&#092;setup.sh\" Title2=\"Read me\" Link2=\"office&#092;DOCS&#092;readme.html\" "
              "Title5=\"Browse the disc\"") +
      Package("Orbit Draw", "OD-9") + Package("Orbit Chat", "OC-1", "", "Title3=\"Start\" Link3=\"Chat&#092;chat.sh\"")));
  Start();
  EXPECT_EQ(Listed(), (TTexts{"Orbit Chat", "Orbit Draw", "Orbit Office"}));
  EXPECT_EQ(ProgramLabels(), (TTexts{"", "", "Start", "", ""}));
  EXPECT_EQ(Menu().DBEdit1->text(), "OC-1");

  ChooseRow(2);
  EXPECT_EQ(ProgramLabels(), (TTexts{"Install", "Read me", "", "", "Browse the disc"}));
  EXPECT_EQ(Menu().DBEdit1->text(), "OO-1234");
  EXPECT_EQ(Menu().DBMemo1->toPlainText(), "The office suite.\nTwo lines.");
  QTest::mouseClick(Menu().OrbExecText2, Qt::LeftButton);
  QTest::mouseClick(Menu().OrbExecText1, Qt::LeftButton);
  QTest::mouseClick(Menu().OrbExecText5, Qt::LeftButton);
  EXPECT_EQ(shell.opened, (TTexts{(medium / "Office" / "Docs" / "Readme.html").string(),
                                  (medium / "Office" / "setup.sh").string(), ProgramFolder}))
      << "stored case and backslashes resolve; a slot without a link opens the program folder";

  QTest::keyClick(Menu().NameListBox->viewport(), Qt::Key_Up);
  EXPECT_EQ(ProgramLabels(), TTexts(5, "")) << "a package without programs shows five empty labels";
  EXPECT_EQ(Menu().DBEdit1->text(), "OD-9");
}

TEST_F(TPackageTemplate, TwoPackagesWithTheSameNameAreBothListedAndEachRowShowsItsOwn) {
  WriteData(PackagePacket(Package("Tools", "first", "", "Title1=\"One\"") + Package("Tools", "second")));
  Start();
  EXPECT_EQ(Listed(), (TTexts{"Tools", "Tools"}));
  ChooseRow(1);
  EXPECT_EQ(Menu().DBEdit1->text(), "second");
  EXPECT_EQ(ProgramLabels()[0], "");
  ChooseRow(0);
  EXPECT_EQ(Menu().DBEdit1->text(), "first");
  EXPECT_EQ(ProgramLabels()[0], "One");
}

TEST_F(TPackageTemplate, TitlesTypedIntoTwoSlotsOfANewPackageGoIntoItsOneNestedRecordOnEnter) {
  WriteData(PackagePacket(""));
  Start(true);
  EXPECT_EQ(Editor().SerialLbl->width(), Editor().SerialLbl->sizeHint().width()) << "a shown label is not cut";
  Editor().AddBtn->click();
  EXPECT_EQ(Listed(), TTexts{"Title"});
  EXPECT_TRUE(Programs().IsEmpty()) << "a new package has no nested record";

  QTest::keyClicks(Editor().TitleDBEd, "Setup");
  EXPECT_EQ(Programs().State(), TDataSetState::Insert) << "the first change makes the nested record";
  ClickTab(1);
  EXPECT_EQ(Programs().State(), TDataSetState::Insert) << "a nested insert stays pending on a tab change";
  EXPECT_EQ(Editor().TitleDBEd->text(), "");
  QTest::keyClicks(Editor().TitleDBEd, "Manual");
  QTest::keyClick(Editor().TitleDBEd, Qt::Key_Return);

  EXPECT_EQ(Packages().State(), TDataSetState::Browse);
  ASSERT_EQ(Programs().RecordCount(), 1u);
  EXPECT_EQ(Program("Title1"), "Setup");
  EXPECT_EQ(Program("Title2"), "Manual");
  EXPECT_EQ(ProgramLabels(), (TTexts{"Setup", "Manual", "", "", ""}));
  ClickTab(0);
  EXPECT_EQ(Editor().TitleDBEd->text(), "Setup") << "the same edit shows slot 1 again";
}

TEST_F(TPackageTemplate, ATabChangePostsANestedEditButNotThePackage) {
  WriteData(PackagePacket(Package("Office", "", "", "Title1=\"Install\"")));
  Start(true);
  int packagePosts = 0;
  Packages().AfterPost = [&](TDataSet&) { ++packagePosts; };
  Editor().TitleDBEd->selectAll();
  QTest::keyClicks(Editor().TitleDBEd, "Install now");
  EXPECT_EQ(Programs().State(), TDataSetState::Edit);
  ClickTab(2);
  EXPECT_EQ(Programs().State(), TDataSetState::Browse) << "the nested edit is posted";
  EXPECT_EQ(Program("Title1"), "Install now");
  EXPECT_EQ(Packages().State(), TDataSetState::Edit);
  EXPECT_EQ(packagePosts, 0);
  EXPECT_EQ(Editor().TitleDBEd->DataField(), "Title3");
  EXPECT_EQ(Editor().LinkDBEd->DataField(), "Link3");
  EXPECT_EQ(Editor().OrbLinkButton->LinkField(), menu->Editor().SoftwaresDataLink3);
  QTest::keyClick(Editor().LinkDBEd, Qt::Key_Enter);
  EXPECT_EQ(packagePosts, 1) << "Enter in the read-only link posts the package";
  EXPECT_EQ(Packages().State(), TDataSetState::Browse);
}

TEST_F(TPackageTemplate, TheLinkButtonWritesTheSelectedSlotsLinkRelativeAndThePackageIsKept) {
  fs::create_directories(medium / "Data");
  fs::create_directories(medium / "Tools" / "Viewer");
  Start(true);
  TOrbLinkButton& linkButton = *Editor().OrbLinkButton;
  TTexts offered;
  for (QAction* item : linkButton.PopupMenu().actions())
    if (item->isVisible()) offered.push_back(item->isSeparator() ? "-" : item->text().toStdString());
  EXPECT_EQ(offered, (TTexts{"File", "Folder", "-", "Clear"})) << "never Internet or e-mail";
  EXPECT_EQ(linkButton.ActionField(), nullptr) << "no kind word is written";

  int packagePosts = 0;
  Packages().AfterPost = [&](TDataSet&) { ++packagePosts; };
  ClickTab(3);
  test::TFolderAnswer picker;
  picker.answer = (medium / "Tools" / "Viewer").string();
  linkButton.FolderActExecute();
  EXPECT_EQ(picker.roots, TTexts{ProgramFolder});
  EXPECT_EQ(Program("Link4"), "Tools\\Viewer");
  EXPECT_EQ(Editor().LinkDBEd->text(), "Tools\\Viewer");
  EXPECT_EQ(Program("Link1"), "");
  EXPECT_EQ(Packages().State(), TDataSetState::Browse) << "the chosen link is posted with its package";
  EXPECT_EQ(packagePosts, 1);

  menu->Editor().SaveData();
  menu.reset();
  Start();
  EXPECT_EQ(Program("Link4"), "Tools\\Viewer") << "the saved file holds the chosen link";
}

TEST_F(TPackageTemplate, DeletingAPackageRemovesItsProgramsAndTheLastLeavesOnlyAdd) {
  WriteData(PackagePacket(Package("Office", "OO-1", "Suite", "Title1=\"Install office\"") + Package("Paint", "P-1")));
  Start(true);
  for (QWidget* control : EditingControls()) EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
  Editor().DeleteBtn->click();
  EXPECT_EQ(Listed(), TTexts{"Paint"});
  menu->Editor().SaveData();
  EXPECT_EQ(SavedData().find("Install office"), std::string::npos) << "the programs went with their package";

  QTest::keyClicks(Editor().TitleDBEd, "Brushes");
  Editor().DeleteBtn->click();
  EXPECT_EQ(Listed(), TTexts{});
  for (QWidget* control : EditingControls()) EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
  EXPECT_TRUE(Editor().AddBtn->isEnabled());
  EXPECT_EQ(Menu().DBEdit1->text(), "");
  EXPECT_EQ(Menu().DBMemo1->toPlainText(), "");
  EXPECT_EQ(ProgramLabels(), TTexts(5, ""));
  menu->Editor().SaveData();
  EXPECT_EQ(SavedData().find("Brushes"), std::string::npos) << "a pending first program goes too";

  Editor().AddBtn->click();
  EXPECT_EQ(Listed(), TTexts{"Title"});
  EXPECT_TRUE(Programs().IsEmpty());
  EXPECT_TRUE(Editor().DeleteBtn->isEnabled());
}

TEST_F(TPackageTemplate, EnterPostsThePackageAndTheMenuSelectsItAtItsNewPlace) {
  WriteData(PackagePacket(Package("Beta") + Package("Delta") + Package("Gamma")));
  Start(true);
  ChooseRow(0);
  Editor().NameEd->selectAll();
  QTest::keyClicks(Editor().NameEd, "Zeta");
  QTest::keyClick(Editor().NameEd, Qt::Key_Return);
  EXPECT_EQ(Listed(), (TTexts{"Delta", "Gamma", "Zeta"}));
  EXPECT_EQ(Selected(), 2);
  QTest::keyClick(Editor().DescriptionMemo, Qt::Key_Return);
  EXPECT_EQ(Packages().State(), TDataSetState::Edit) << "the new line after the post is a pending change";
  EXPECT_EQ(Editor().DescriptionMemo->toPlainText(), "\n");
}

TEST_F(TPackageTemplate, ASimpleDataFileIsReportedAndTheMenuComesUpEmpty) {
  WriteData("<?xml version=\"1.0\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
            "<FIELD attrname=\"Title\" fieldtype=\"string\" WIDTH=\"80\"/></FIELDS></METADATA><ROWDATA/></DATAPACKET>");
  Start();
  EXPECT_EQ(reports, TTexts{"Field 'Name' not found."});
  EXPECT_EQ(Listed(), TTexts{});
  EXPECT_EQ(ProgramLabels(), TTexts(5, ""));
  for (QWidget* control : EditingControls()) EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
  EXPECT_TRUE(Editor().AddBtn->isEnabled());
}

TEST_F(TPackageTemplate, SavedPackagesAndProgramsLoadBackUnchanged) {
  fs::create_directories(medium / "Data");
  Start(true);
  TPackageSoftwareDBForm& editor = menu->Editor();
  Packages().Edit();
  editor.PackageDataSerial->SetAsString("A&B <1>");
  editor.PackageDataDescription->SetAsString("line one\r\n\"two\"\t");
  Programs().Edit();
  editor.SoftwaresDataTitle5->SetAsString("Last");
  editor.SoftwaresDataLink5->SetAsString("Setup\\run.exe");
  Packages().Post();
  editor.SaveData();
  EXPECT_NE(SavedData().find("Setup&#092;run.exe"), std::string::npos);
  menu.reset();
  Start();
  EXPECT_EQ(Listed(), TTexts{"Title"});
  EXPECT_EQ(Menu().DBEdit1->text(), "A&B <1>");
  EXPECT_EQ(std::string(Packages().FieldByName("Description").AsString()), "line one\r\n\"two\"\t");
  EXPECT_EQ(ProgramLabels(), (TTexts{"", "", "", "", "Last"}));
  EXPECT_EQ(Program("Link5"), "Setup\\run.exe");
}

TEST_F(TPackageTemplate, TheProjectGivesThePictureAPathAndThePanelAndLabelsTheirCaptionsOnly) {
  fs::create_directories(medium / "Pics");
  QImage picture(4, 2, QImage::Format_RGB32);
  picture.fill(Qt::darkBlue);
  ASSERT_TRUE(picture.save(QString::fromStdString((medium / "Pics" / "Back.png").string())));
  Start();
  CurrentMenu = menu.get();
  menu->AddRef();

  TTexts withPath, withCaption;
  for (QObject* component : menu->findChildren<QObject*>()) {
    const QMetaObject& meta = *component->metaObject();
    if (meta.indexOfProperty("Path") >= 0) withPath.push_back(component->objectName().toStdString());
    if (meta.indexOfProperty("Caption") >= 0) withCaption.push_back(component->objectName().toStdString());
  }
  std::sort(withCaption.begin(), withCaption.end());
  EXPECT_EQ(withPath, TTexts{"Image"});
  EXPECT_EQ(withCaption, (TTexts{"Label1", "Label2", "Panel1"}));

  TXMLDocument document;
  auto restore = [&document](const std::string& components) {
    const std::string xml = "<Orbdeck><Project><MainForm><Caption>Orbit Suite</Caption><AlphaBlendValue>255"
                            "</AlphaBlendValue><AlphaBlend>False</AlphaBlend><Components>" +
                            components + "</Components></MainForm></Project></Orbdeck>";
    document.LoadFromBytes(std::as_bytes(std::span(xml.data(), xml.size())));
    ProjectRoot = GetOrbdeck(document);
    try {
      RestoreProperties();
    } catch (const std::exception& failure) {
      return std::string(failure.what());
    }
    return std::string();
  };
  EXPECT_EQ(restore("<Image><Path>Pics\\Back.png</Path></Image><Panel1><Caption>Panel</Caption></Panel1>"
                    "<Label1><Caption>Your serial number</Caption></Label1><Label2><Caption>About</Caption></Label2>"),
            "");
  EXPECT_EQ(menu->windowTitle(), "Orbit Suite");
  EXPECT_EQ(Menu().Image->Picture().size(), QSize(4, 2));
  EXPECT_EQ(Menu().Panel1->Caption(), "Panel");
  EXPECT_EQ(Menu().Label1->text(), "Your serial number");
  EXPECT_EQ(Menu().Label1->width(), Menu().Label1->sizeHint().width()) << "a longer caption is not cut";
  EXPECT_EQ(Menu().Label2->text(), "About");
  EXPECT_NE(restore("<OrbExecText1><Caption>x</Caption></OrbExecText1>"), "") << "a launch label has no caption";
}

}  // namespace
