#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>

#include <filesystem>
#include <fstream>

#include "controls/DBEdit.h"
#include "controls/DBLookupListBox.h"
#include "controls/DBMemo.h"
#include "controls/OrbExecButton.h"
#include "controls/OrbExecText.h"
#include "platform/ErrorReport.h"
#include "platform/FolderPicker.h"
#include "templates/SimpleCDForm_.h"
#include "templates/SimpleDBForm_.h"
#include "tests/controls/ControlTestSupport.h"
#include "tests/templates/TemplateFixture.h"
#include "tests/support/SimplePacket.h"
#include "tests/platform/DialogDriver.h"
#include "ui_SimpleCDForm_.h"
#include "ui_SimpleDBForm_.h"

using namespace orb;
using test::SimplePacket;
namespace fs = std::filesystem;

namespace {

std::string Row(const std::string& title, const std::string& link, const std::string& description = "") {
  return "<ROW Title=\"" + title + "\" Link=\"" + link + "\" Description=\"" + description + "\"/>";
}


// A medium folder, and the Simple menu started on it as the host does; or,
// with an editing environment, with the menu current and closes ignored.
struct TSimpleTemplate : test::TTemplateMedium {
  TSimpleTemplate() : TTemplateMedium("simple") {}

  void TearDown() override {
    menu.reset();
    TTemplateMedium::TearDown();
  }
  void Start(bool editing = false) {
    HostMode = !editing;
    menu = std::make_unique<TSimpleCDForm>(nullptr);
    menu->resize(457, 230);
    if (editing) {
      CurrentMenu = menu.get();
      menu->AddRef();
    }
  }
  const Ui::SimpleCDForm& Menu() const { return menu->Components(); }
  const Ui::SimpleDBForm& Editor() const { return menu->Editor().Components(); }
  TDataSet& Data() const { return menu->Editor().Data; }
  std::vector<std::string> Listed() const {
    std::vector<std::string> rows;
    const QAbstractItemModel* model = Menu().TitleListBox->model();
    for (int row = 0; row < model->rowCount(); ++row) rows.push_back(model->index(row, 0).data().toString().toStdString());
    return rows;
  }
  int Selected() const { return Menu().TitleListBox->currentIndex().row(); }
  void ChooseRow(int row) {
    TDBLookupListBox& list = *Menu().TitleListBox;
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(list.model()->index(row, 0)).center());
  }
  std::string Current(const char* field) const { return std::string(Data().FieldByName(field).AsString()); }

  test::TRecordingShell shell;
  std::unique_ptr<TSimpleCDForm> menu;
};

TEST_F(TSimpleTemplate, WithoutADataFileTheMenuListsOneEntryAndInstallOpensTheProgramFolder) {
  Start();
  EXPECT_EQ(Listed(), std::vector<std::string>{"Title"});
  EXPECT_EQ(Selected(), 0) << "the first title is selected";
  EXPECT_EQ(Menu().OrbExecText->text(), "Title");
  EXPECT_EQ(Menu().DBMemo1->toPlainText(), "");
  Menu().Install->click();
  EXPECT_EQ(shell.opened, std::vector<std::string>{ProgramFolder});
  EXPECT_FALSE(fs::exists(medium / "Data")) << "nothing is created on disk";
  EXPECT_EQ(CurrentDBForm, &menu->Editor());
  EXPECT_EQ(SimpleDBForm, &menu->Editor());
  EXPECT_EQ(menu->GetMenuName(), "Simple");
  EXPECT_TRUE(reports.empty());
}

TEST_F(TSimpleTemplate, TheChosenEntrysTitleAndDescriptionShowAndItsLinkOpens) {
  fs::create_directories(medium / "Docs");
  std::ofstream(medium / "Docs" / "Readme.html") << "<html/>";
  WriteData(SimplePacket(Row("Read me", "docs&#092;README.HTML", "What is new&#013;&#010;and known problems") +
                         Row("Extras", "Extras") + Row("Install", "Installer&#092;install.sh")));
  Start();
  EXPECT_EQ(Listed(), (std::vector<std::string>{"Extras", "Install", "Read me"}));
  EXPECT_EQ(Menu().OrbExecText->text(), "Extras");
  ChooseRow(2);
  EXPECT_EQ(Menu().OrbExecText->text(), "Read me");
  EXPECT_EQ(Menu().DBMemo1->toPlainText(), "What is new\nand known problems");
  QTest::mouseClick(Menu().OrbExecText, Qt::LeftButton);
  Menu().Install->click();
  const std::string readme = (medium / "Docs" / "Readme.html").string();
  EXPECT_EQ(shell.opened, (std::vector<std::string>{readme, readme})) << "stored case and backslashes resolve";
  QTest::keyClick(Menu().TitleListBox->viewport(), Qt::Key_Up);
  Menu().Install->click();
  EXPECT_EQ(shell.opened.back(), (medium / "Installer" / "install.sh").string());
}

TEST_F(TSimpleTemplate, AnUnreadableDataFileIsReportedAndTheMenuComesUpEmpty) {
  const std::pair<std::string, std::string> files[] = {
      {"not a data packet", ""},
      {"<?xml version=\"1.0\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
       "<FIELD attrname=\"Name\" fieldtype=\"string\" WIDTH=\"120\"/></FIELDS></METADATA><ROWDATA/></DATAPACKET>",
       "Field 'Title' not found."},
  };
  for (const auto& [bytes, message] : files) {
    reports.clear();
    WriteData(bytes);
    Start();
    ASSERT_EQ(reports.size(), 1u) << bytes;
    if (!message.empty()) {
      EXPECT_EQ(reports[0], message);
    }
    EXPECT_EQ(Listed(), std::vector<std::string>{});
    EXPECT_EQ(Menu().OrbExecText->text(), "");
    EXPECT_FALSE(Editor().TitleEd->isEnabled()) << "the editor's controls were updated before the report";
    EXPECT_FALSE(Editor().DeleteAct->isEnabled());
    EXPECT_TRUE(Editor().AddAct->isEnabled());
    Menu().Install->click();
    menu->Editor().SaveData();
    std::ifstream in(medium / "Data" / "db.xml", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), bytes) << "a failed load saves nothing";
  }
}

TEST_F(TSimpleTemplate, AddingTwiceGivesTwoTitlesAndDeletingTheLastDisablesTheEditor) {
  WriteData(SimplePacket(""));
  Start(true);
  EXPECT_EQ(Listed(), std::vector<std::string>{});
  EXPECT_FALSE(Editor().DeleteBtn->isEnabled()) << "an empty file leaves only Add";
  Editor().AddBtn->click();
  Editor().AddBtn->click();
  EXPECT_EQ(Listed(), (std::vector<std::string>{"Title", "Title"}));
  EXPECT_EQ(Selected(), 1) << "the posted record is selected";
  ChooseRow(0);
  EXPECT_EQ(Data().CurrentRow(), 0u);
  for (QWidget* control : std::initializer_list<QWidget*>{Editor().DeleteBtn, Editor().LinkBtn, Editor().TitleEd,
                                                          Editor().TitleLbl, Editor().LinkEd,
                                                          Editor().DescriptionMemo, Editor().DescriptionLbl})
    EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
  Editor().DeleteBtn->click();
  Editor().DeleteBtn->click();
  EXPECT_EQ(Listed(), std::vector<std::string>{});
  for (QWidget* control : std::initializer_list<QWidget*>{Editor().DeleteBtn, Editor().LinkBtn, Editor().TitleEd,
                                                          Editor().TitleLbl, Editor().LinkEd,
                                                          Editor().DescriptionMemo, Editor().DescriptionLbl})
    EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
  EXPECT_TRUE(Editor().AddBtn->isEnabled());
}

TEST_F(TSimpleTemplate, AddPostsThePendingChangeFirstAndEnterPostsAndRefreshes) {
  WriteData(SimplePacket(Row("b", "") + Row("d", "")));
  Start(true);
  QTest::keyClicks(Editor().TitleEd, "x");  // "bx", not posted yet
  menu->Editor().AddActExecute();
  EXPECT_EQ(Listed(), (std::vector<std::string>{"Title", "bx", "d"}));
  EXPECT_EQ(Current("Title"), "Title");
  EXPECT_EQ(Selected(), 0);
  Editor().TitleEd->selectAll();
  QTest::keyClicks(Editor().TitleEd, "zebra");
  QTest::keyClick(Editor().TitleEd, Qt::Key_Return);
  EXPECT_EQ(Listed(), (std::vector<std::string>{"bx", "d", "zebra"}));
  EXPECT_EQ(Selected(), 2) << "the refresh selects the renamed record at its new place";
  int posts = 0;
  Data().AfterPost = [&](TDataSet&) { ++posts; };
  QTest::keyClick(Editor().TitleEd, Qt::Key_Enter);
  QTest::keyClick(Editor().LinkEd, Qt::Key_Return);
  EXPECT_EQ(posts, 2) << "Enter posts even without a change, also in the read-only link";
}

TEST_F(TSimpleTemplate, ChoosingAnotherEntryPostsTheEditedOneAndKeepsTheChoice) {
  WriteData(SimplePacket(Row("b", "") + Row("d", "") + Row("f", "")));
  Start(true);
  QTest::keyClicks(Editor().TitleEd, "x");  // "bx", still in the edit
  ChooseRow(2);
  EXPECT_EQ(Listed(), (std::vector<std::string>{"bx", "d", "f"}));
  EXPECT_EQ(Current("Title"), "f") << "the chosen row, not the one just posted";
  EXPECT_EQ(Selected(), 2);
  QTest::keyClicks(Editor().TitleEd, "z");  // "fz" sorts after "f": the chosen row stays the same record
  Editor().TitleEd->selectAll();
  QTest::keyClicks(Editor().TitleEd, "a");  // "a" sorts first: the chosen "d" moves down a row
  ChooseRow(1);
  EXPECT_EQ(Listed(), (std::vector<std::string>{"a", "bx", "d"}));
  EXPECT_EQ(Current("Title"), "d");
}

TEST_F(TSimpleTemplate, APostKeepsTheListsScrollPositionAndARenameMovesTheSelection) {
  std::string rows;
  for (int i = 0; i < 300; ++i) rows += Row("Entry " + std::to_string(1000 + i), "");
  WriteData(SimplePacket(rows));
  Start(true);
  menu->show();
  QScrollBar& scroll = *Menu().TitleListBox->verticalScrollBar();
  scroll.setValue(scroll.maximum() / 2);
  const int scrolled = scroll.value();
  const int chosen = Menu().TitleListBox->indexAt(QPoint(5, 20)).row();
  ChooseRow(chosen);
  Editor().DescriptionMemo->setPlainText("Changed");
  QTest::keyClick(Editor().DescriptionMemo, Qt::Key_Return);
  EXPECT_EQ(Current("Description"), "Changed");
  EXPECT_EQ(scroll.value(), scrolled);
  EXPECT_EQ(Selected(), chosen);
  Editor().TitleEd->selectAll();
  QTest::keyClicks(Editor().TitleEd, "A first entry");
  QTest::keyClick(Editor().TitleEd, Qt::Key_Return);
  EXPECT_EQ(Selected(), 0);
  EXPECT_EQ(scroll.value(), 0) << "the list shows where the record went";
}

TEST_F(TSimpleTemplate, ChosenFilesAndFoldersAreStoredRelativeToTheProgramFolder) {
  fs::create_directories(medium / "Installer");
  std::ofstream(medium / "Installer" / "setup.sh") << "#!/bin/sh\n";
  Start(true);
  TSimpleDBForm& editor = menu->Editor();

  test::WhenDialogShows([&](QDialog& dialog) {
    auto& files = static_cast<QFileDialog&>(dialog);
    EXPECT_EQ(files.directory().absolutePath().toStdString(), medium.string());
    test::ChooseFile(files, QString::fromStdString((medium / "Installer" / "setup.sh").string()));
  });
  editor.SelectFileActExecute();
  EXPECT_EQ(Current("Link"), "Installer\\setup.sh");
  test::WhenDialogShows([](QDialog& dialog) { dialog.reject(); });
  editor.SelectFileActExecute();
  EXPECT_EQ(Current("Link"), "Installer\\setup.sh") << "a cancelled dialog changes nothing";

  struct TAnswer : IFolderPicker {
    bool Pick(const std::string& title, const std::string& root, std::string& folder) override {
      asked = title + " at " + root;
      if (!answer.empty()) folder = answer;
      return !answer.empty();
    }
    std::string answer, asked;
  } picker;
  SetFolderPicker(&picker);
  picker.answer = (medium / "Installer").string();
  editor.SelectFolderActExecute();
  EXPECT_EQ(picker.asked, "Select Folder at " + ProgramFolder);
  EXPECT_EQ(Current("Link"), "Installer");
  picker.answer = medium.string();
  editor.SelectFolderActExecute();
  EXPECT_EQ(Current("Link"), ".") << "the program folder itself, under whatever name the medium has";
  picker.answer.clear();
  editor.SelectFolderActExecute();
  EXPECT_EQ(Current("Link"), ".");
  SetFolderPicker(nullptr);

  editor.ClearActExecute();
  EXPECT_EQ(Current("Link"), "");
  Data().Edit();
  Data().FieldByName("Link").SetAsString(medium.parent_path().string() + "/elsewhere/x.pdf");
  Data().Post();
  EXPECT_EQ(Current("Link"), "..\\elsewhere\\x.pdf");
}

TEST_F(TSimpleTemplate, SavedEntriesLoadBackUnchanged) {
  fs::create_directories(medium / "Data");
  Start(true);
  TSimpleDBForm& editor = menu->Editor();
  Data().Edit();
  Data().FieldByName("Link").SetAsString("Docs\\a & b.txt");
  Data().FieldByName("Description").SetAsString("line one\r\nline \"two\"\t<end>");
  Data().Post();
  editor.AddActExecute();
  editor.SaveData();
  menu.reset();
  Start();
  EXPECT_EQ(Listed(), (std::vector<std::string>{"Title", "Title"}));
  EXPECT_EQ(Current("Link"), "Docs\\a & b.txt");
  EXPECT_EQ(Current("Description"), "line one\r\nline \"two\"\t<end>");
}

}  // namespace
