#include <gtest/gtest.h>

#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>

#include <filesystem>
#include <fstream>

#include "controls/DBEdit.h"
#include "controls/DBLookupListBox.h"
#include "controls/DBMemo.h"
#include "controls/DBText.h"
#include "controls/ListBox.h"
#include "controls/OpenPictureDialog.h"
#include "controls/OrbLinkButton.h"
#include "platform/ErrorReport.h"
#include "platform/FolderPicker.h"
#include "templates/SingleLevelDBForm_.h"
#include "tests/platform/DialogDriver.h"
#include "tests/support/CataloguePacket.h"
#include "tests/templates/TemplateFixture.h"
#include "ui_SingleLevelDBForm_.h"

using namespace orb;
using test::CataloguePacket;
namespace fs = std::filesystem;

namespace {

using TTexts = std::vector<std::string>;

// One entry with a different value in every field.
const std::string kArchiver =
    "<ROW Title=\"Orbit Archiver\" Link=\"Archiver&#092;install.sh\" Action=\"File\" "
    "Description=\"Packs archives.&#013;&#010;Checks them first.\" Icon=\"D:&#092;Icons&#092;arc.ico\" "
    "Picture=\"D:&#092;Shots&#092;arc.bmp\" Serial=\"ARC-1\" Key=\"KEY-1\" Company=\"Orbit Labs\" "
    "Internet=\"www.orbit.example\" email=\"help@orbit.example\"/>";

// A medium folder and the catalogue editor created and shown on it, as an
// editing environment shows it, with its additions counted.
struct TSingleLevelEditor : test::TTemplateMedium {
  TSingleLevelEditor() : TTemplateMedium("singlelevel") {}

  void TearDown() override {
    editor.reset();
    TTemplateMedium::TearDown();
  }
  void Start() {
    HostMode = false;
    editor = std::make_unique<TSingleLevelDBForm>(nullptr);
    editor->SetOnAdd([this](TComponent* sender) { addedBy.push_back(sender); });
    editor->show();
  }
  const Ui::SingleLevelDBForm& Form() const { return editor->Components(); }
  TDataSet& Data() const { return editor->Data; }
  std::string Current(const char* field) const { return std::string(Data().FieldByName(field).AsString()); }

  TTexts Listed() const {
    TTexts rows;
    const QAbstractItemModel* model = Form().DBLookupListBox1->model();
    for (int row = 0; row < model->rowCount(); ++row) rows.push_back(model->index(row, 0).data().toString().toStdString());
    return rows;
  }
  void ChooseRow(int row) {
    TDBLookupListBox& list = *Form().DBLookupListBox1;
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(list.model()->index(row, 0)).center());
  }
  void ChooseProperty(const QString& label) {
    TListBox& list = *Form().ListBox;
    const QList<QListWidgetItem*> items = list.findItems(label, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << label.toStdString();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(items[0]).center());
  }
  // Presses the Icon or Picture button with its dialog answered by typing
  // `file` into the name box, or cancelled when it is empty; the dialog's
  // entries as it showed them.
  TTexts PressEditBtn(const fs::path& file) {
    TTexts entries;
    test::WhenDialogShows([&](QDialog& dialog) {
      auto& files = static_cast<QFileDialog&>(dialog);
      for (const QString& entry : files.nameFilters()) entries.push_back(entry.toStdString());
      if (file.empty()) return files.reject();
      test::ChooseFile(files, QString::fromStdString(file.string()));
    });
    Form().EditBtn->click();
    return entries;
  }

  std::vector<TComponent*> addedBy;
  std::unique_ptr<TSingleLevelDBForm> editor;
};

TEST_F(TSingleLevelEditor, WithoutADataFileTheCatalogueHoldsOneEntryTitleAndNoPropertyIsChosen) {
  Start();
  EXPECT_EQ(Listed(), TTexts{"Title"});
  EXPECT_EQ(Form().TitleEd->text(), "Title");
  EXPECT_EQ(Form().LinkEd->text(), "");
  EXPECT_EQ(Form().ActionLbl->text(), "");
  EXPECT_EQ(Form().TitleEd->maxLength(), 300);
  EXPECT_FALSE(Form().ItemsGB->isHidden()) << "the property list has names to choose";
  EXPECT_EQ(Form().ItemsGB->title(), "");
  for (QWidget* editorControl : std::initializer_list<QWidget*>{Form().DBEdit, Form().DescriptionMemo, Form().EditBtn})
    EXPECT_TRUE(editorControl->isHidden()) << editorControl->objectName().toStdString();
  EXPECT_TRUE(addedBy.empty()) << "the first entry comes before anyone listens";
  EXPECT_FALSE(fs::exists(medium / "Data")) << "nothing is created on disk";
  EXPECT_EQ(SingleLevelDBForm, editor.get());
  EXPECT_TRUE(reports.empty());
}

TEST_F(TSingleLevelEditor, EachPropertyNameShowsOneEditorBoundToItsField) {
  WriteData(CataloguePacket(kArchiver));
  Start();
  struct TExpected {
    const char* Label;
    const char* Field;  // "" for the description's memo
    const char* Shown;
    bool Button;
  };
  const TExpected rows[] = {
      {"Company", "Company", "Orbit Labs", false},      {"Description", "", "Packs archives.\nChecks them first.", false},
      {"E-mail", "email", "help@orbit.example", false}, {"Icon", "Icon", "D:\\Icons\\arc.ico", true},
      {"Internet", "Internet", "www.orbit.example", false}, {"Key Registration", "Key", "KEY-1", false},
      {"Picture", "Picture", "D:\\Shots\\arc.bmp", true}, {"Serial Number", "Serial", "ARC-1", false},
  };
  for (const TExpected& row : rows) {
    SCOPED_TRACE(row.Label);
    ChooseProperty(row.Label);
    const bool memo = *row.Field == '\0';
    EXPECT_EQ(Form().ItemsGB->title(), row.Label);
    EXPECT_EQ(Form().DescriptionMemo->isHidden(), !memo);
    EXPECT_EQ(Form().DBEdit->isHidden(), memo);
    EXPECT_EQ(Form().DBEdit->DataField(), row.Field);
    EXPECT_EQ(memo ? Form().DescriptionMemo->toPlainText() : Form().DBEdit->text(), row.Shown);
    EXPECT_EQ(Form().EditBtn->isHidden(), !row.Button);
    if (row.Button) {
      EXPECT_EQ(Form().EditBtn->text(), row.Label);
    }
  }

  ChooseProperty("Description");
  ChooseProperty("Company");
  EXPECT_EQ(Form().DBEdit->DataField(), "Company") << "the edit is bound again after the memo";
  EXPECT_FALSE(Form().DBEdit->isHidden());
  EXPECT_TRUE(Form().DescriptionMemo->isHidden());
  EXPECT_EQ(Form().DBEdit->text(), "Orbit Labs");
  QTest::keyClick(Form().ListBox, Qt::Key_Down);
  EXPECT_EQ(Form().ItemsGB->title(), "Description") << "a row chosen by keyboard counts too";
  EXPECT_FALSE(Form().DescriptionMemo->isHidden());
}

TEST_F(TSingleLevelEditor, OnlyAChosenPropertyNameChangesTheEditor) {
  Start();
  // What focusing the list does: a row is marked as current, none is chosen.
  Form().ListBox->setCurrentRow(0, QItemSelectionModel::NoUpdate);
  EXPECT_EQ(Form().ItemsGB->title(), "");
  EXPECT_TRUE(Form().DBEdit->isHidden());
  ChooseProperty("Serial Number");
  Form().ListBox->clearSelection();
  EXPECT_EQ(Form().ItemsGB->title(), "Serial Number") << "no choice left, nothing changes";
  EXPECT_EQ(Form().DBEdit->DataField(), "Serial");
}

TEST_F(TSingleLevelEditor, ThePictureButtonOffersTheLastChosenFilterAndStoresTheFullPath) {
  WriteData(CataloguePacket(kArchiver));
  fs::create_directories(medium / "Shots");
  fs::create_directories(medium / "Icons");
  std::ofstream(medium / "Shots" / "main.bmp") << "x";
  std::ofstream(medium / "Icons" / "app.ico") << "x";
  Start();
  ChooseProperty("Icon");
  EXPECT_EQ(editor->OpenPictureDialog().Filter(), "Icon (*.ico)|*.ico|Bitmap (*.bmp)|*.bmp");
  ChooseProperty("Picture");
  QTest::keyClicks(Form().DBEdit, " typed");
  EXPECT_EQ(PressEditBtn(medium / "Shots" / "main.bmp"), TTexts{"Bitmap (*.bmp)"});
  EXPECT_EQ(Current("Picture"), (medium / "Shots" / "main.bmp").string()) << "not made relative, and not what was typed";
  EXPECT_EQ(Data().State(), TDataSetState::Browse);
  EXPECT_EQ(Form().DBEdit->text().toStdString(), (medium / "Shots" / "main.bmp").string());
  EXPECT_EQ(Current("Icon"), "D:\\Icons\\arc.ico");

  PressEditBtn("");
  EXPECT_EQ(Current("Picture"), (medium / "Shots" / "main.bmp").string()) << "a cancelled dialog changes nothing";

  ChooseProperty("Icon");
  EXPECT_EQ(PressEditBtn(medium / "Icons" / "app.ico"), (TTexts{"Icon (*.ico)", "Bitmap (*.bmp)"}));
  EXPECT_EQ(Current("Icon"), (medium / "Icons" / "app.ico").string());
  ChooseProperty("Company");
  EXPECT_EQ(editor->OpenPictureDialog().Filter(), "Icon (*.ico)|*.ico|Bitmap (*.bmp)|*.bmp") << "left as it was";
  EXPECT_TRUE(reports.empty());
}

TEST_F(TSingleLevelEditor, AddTwiceGivesTwoMoreEntriesTitleEachReachableByItsRow) {
  WriteData(CataloguePacket(kArchiver));
  Start();
  Form().AddBtn->click();
  Form().AddBtn->click();
  EXPECT_EQ(Listed(), (TTexts{"Title", "Title", "Orbit Archiver"})) << "each goes in at the current position";
  EXPECT_EQ(addedBy, (std::vector<TComponent*>{editor.get(), editor.get()}));
  EXPECT_EQ(Data().State(), TDataSetState::Browse);
  EXPECT_EQ(Current("Company"), "") << "a new entry holds only its title";

  ChooseProperty("Company");
  ChooseRow(1);
  QTest::keyClicks(Form().DBEdit, "Second");
  QTest::keyClick(Form().DBEdit, Qt::Key_Return);
  const std::pair<int, const char*> rows[] = {{0, ""}, {2, "Orbit Labs"}, {1, "Second"}};
  for (const auto& [row, company] : rows) {
    ChooseRow(row);
    EXPECT_EQ(Form().DBEdit->text(), company) << row;
    EXPECT_EQ(Data().CurrentRow(), std::size_t(row));
  }
  EXPECT_EQ(Form().TitleEd->text(), "Title");
}

TEST_F(TSingleLevelEditor, EnterPostsTheTitleAndTheLinkButtonStoresALinkWithItsKind) {
  fs::create_directories(medium / "Drivers");
  WriteData(CataloguePacket(kArchiver));
  Start();
  Form().TitleEd->selectAll();
  QTest::keyClicks(Form().TitleEd, "Orbit Archiver 6");
  QTest::keyClick(Form().TitleEd, Qt::Key_Return);
  EXPECT_EQ(Listed(), TTexts{"Orbit Archiver 6"});
  EXPECT_EQ(Data().State(), TDataSetState::Browse);

  test::TFolderAnswer picker;
  picker.answer = (medium / "Drivers").string();
  Form().LinkBtn->FolderActExecute();
  EXPECT_EQ(picker.roots, TTexts{ProgramFolder}) << "the base folder is the program folder";
  EXPECT_EQ(Current("Link"), "Drivers");
  EXPECT_EQ(Current("Action"), "Folder");
  EXPECT_EQ(Form().LinkEd->text(), "Drivers");
  EXPECT_EQ(Form().ActionLbl->text(), "Folder");
  EXPECT_TRUE(Form().LinkEd->isReadOnly());
}

TEST_F(TSingleLevelEditor, ASavedCatalogueLoadsBackWithAllElevenFieldsInOrder) {
  fs::create_directories(medium / "Data");
  Start();
  const std::pair<const char*, const char*> values[] = {
      {"Title", "Orbit Archiver"},  {"Link", "Archiver\\install.sh"},
      {"Action", "File"},           {"Description", "Packs \"zip\" & <tar>\r\n\ttoo"},
      {"Icon", "/media/cd/a.ico"},  {"Picture", "/media/cd/a.bmp"},
      {"Serial", "ARC-1"},          {"Key", "KEY-1"},
      {"Company", "Orbit Labs"},    {"Internet", "www.orbit.example"},
      {"email", "help@orbit.example"},
  };
  Data().Edit();
  for (const auto& [field, value] : values) Data().FieldByName(field).SetAsString(value);
  Data().Post();
  editor->SaveData();
  EXPECT_NE(SavedData().find("<DATAPACKET"), std::string::npos) << "the XML packet, since the name ends in .xml";

  editor.reset();
  Start();
  ASSERT_EQ(Data().RecordCount(), 1u);
  for (const auto& [field, value] : values) EXPECT_EQ(Current(field), value) << field;
  TTexts declared;
  for (const TFieldDef& def : Data().FieldDefs()) declared.push_back(def.Name + " " + std::to_string(def.Size));
  EXPECT_EQ(declared, (TTexts{"Title 300", "Link 300", "Action 300", "Description 0", "Icon 300", "Picture 300",
                              "Serial 400", "Key 400", "Company 100", "Internet 300", "email 100"}));
}

TEST_F(TSingleLevelEditor, AnUnreadableDataFileIsReportedAndTheEditorComesUpEmpty) {
  const std::string simple =
      "<?xml version=\"1.0\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
      "<FIELD attrname=\"Title\" fieldtype=\"string\" WIDTH=\"80\"/><FIELD attrname=\"Link\" fieldtype=\"string\" "
      "WIDTH=\"256\"/></FIELDS></METADATA><ROWDATA><ROW Title=\"a\" Link=\"b\"/></ROWDATA></DATAPACKET>";
  WriteData(simple);
  Start();
  EXPECT_EQ(reports, TTexts{"Field 'Action' not found."});
  EXPECT_EQ(Listed(), TTexts{});
  EXPECT_EQ(Form().TitleEd->text(), "");

  Form().AddBtn->click();
  EXPECT_EQ(reports.size(), 2u) << "a closed catalogue refuses the new entry";
  EXPECT_TRUE(addedBy.empty()) << "and nobody is told of an entry that was not added";
  editor->SaveData();
  EXPECT_EQ(SavedData(), simple) << "a failed load saves nothing";
}

}  // namespace
