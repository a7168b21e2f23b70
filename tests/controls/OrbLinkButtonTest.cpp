#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QCursor>
#include <QMenu>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "controls/OrbLinkButton.h"
#include "platform/FolderPicker.h"
#include "platform/InputQuery.h"
#include "store/DataSet.h"
#include "tests/platform/DialogDriver.h"

using namespace orb;
namespace fs = std::filesystem;

namespace {

// Answers the one-line input dialog and remembers how it was asked.
struct TInputAnswer : IInputQuery {
  TInputAnswer() { SetInputQuery(this); }
  ~TInputAnswer() override { SetInputQuery(nullptr); }
  bool Ask(const std::string& title, const std::string& prompt, std::string& text) override {
    asked.push_back(title + "|" + prompt + "|" + text);
    if (ok) text = answer;
    return ok;
  }
  bool ok = true;
  std::string answer;
  std::vector<std::string> asked;
};

// Answers the folder picker and remembers how it was asked.
struct TFolderAnswer : IFolderPicker {
  TFolderAnswer() { SetFolderPicker(this); }
  ~TFolderAnswer() override { SetFolderPicker(nullptr); }
  bool Pick(const std::string& title, const std::string& root, std::string& folder) override {
    asked.push_back(title + "|" + root + "|" + folder);
    if (!answer.empty()) folder = answer;
    return !answer.empty();
  }
  std::string answer;
  std::vector<std::string> asked;
};

// A medium folder with a program and a folder, a store with one record
// holding a link and its kind, and the button pointed at them.
struct TLinkButton : ::testing::Test {
  void SetUp() override {
    medium = fs::temp_directory_path() / ("orb-linkbutton-" + std::to_string(::getpid()));
    fs::create_directories(medium / "Setup");
    fs::create_directories(medium / "Tools");
    std::ofstream(medium / "Setup" / "run.exe") << "x";
    base = medium.string() + "/";

    Data.AddStringField("Title", 80);
    Data.AddStringField("Link", 300);
    Data.AddStringField("Action", 20);
    Data.CreateDataSet();
    Data.Append();
    Link().SetAsString("old\\link.txt");
    Action().SetAsString("File");
    Data.Post();

    button.SetLinkField(&Link());
    button.SetActionField(&Action());
    button.SetBaseFolder(base);
    QObject::connect(&button, &TOrbLinkButton::linkChanged, [this] { ++changes; });
  }
  void TearDown() override {
    button.PopupMenu().hide();
    fs::remove_all(medium);
  }

  TField& Link() const { return Data.FieldByName("Link"); }
  TField& Action() const { return Data.FieldByName("Action"); }
  // The record as "link|kind", and whether it was posted.
  std::string Record() const {
    return std::string(Link().AsString()) + "|" + std::string(Action().AsString()) +
           (Data.State() == TDataSetState::Browse ? "" : " (not posted)");
  }
  // Runs "File" with the dialog answered by typing the path of `file` into
  // its name box and pressing OK, or cancelled when it is empty; the folder
  // the dialog opened in.
  std::string ChooseFile(const fs::path& file) {
    std::string opened;
    test::WhenDialogShows([&](QDialog& dialog) {
      auto& files = static_cast<QFileDialog&>(dialog);
      opened = files.directory().absolutePath().toStdString();
      if (file.empty()) return files.reject();
      test::ChooseFile(files, QString::fromStdString(file.string()));
    });
    button.FileActExecute();
    return opened;
  }
  std::vector<std::string> MenuCaptions(bool visibleOnly) const {
    std::vector<std::string> captions;
    for (QAction* item : button.PopupMenu().actions())
      if (!visibleOnly || item->isVisible()) captions.push_back(item->isSeparator() ? "-" : item->text().toStdString());
    return captions;
  }

  fs::path medium;
  std::string base;
  TDataSet Data;
  TOrbLinkButton button;
  int changes = 0;
};

using TCaptions = std::vector<std::string>;

TEST_F(TLinkButton, TheMenuListsTheKindsThenClearAndTheVisibilityPropertiesHideThem) {
  EXPECT_EQ(MenuCaptions(false), (TCaptions{"File", "Folder", "Internet", "e-mail", "-", "Clear"}));
  EXPECT_EQ(MenuCaptions(true), MenuCaptions(false)) << "a new button shows every kind";
  for (const char* property : {"FileVisible", "FolderVisible", "InternetVisible", "EmailVisible"})
    EXPECT_TRUE(button.property(property).toBool()) << property;

  // As the Package Software editor sets them, by name as a form definition would.
  button.setProperty("InternetVisible", false);
  button.setProperty("EmailVisible", false);
  EXPECT_EQ(MenuCaptions(true), (TCaptions{"File", "Folder", "-", "Clear"}));
  button.SetFileVisible(false);
  button.SetFolderVisible(false);
  EXPECT_EQ(MenuCaptions(true), (TCaptions{"-", "Clear"})) << "the separator and Clear always show";
  EXPECT_FALSE(button.FileVisible());
  button.SetEmailVisible(true);
  EXPECT_EQ(MenuCaptions(true), (TCaptions{"e-mail", "-", "Clear"}));
}

TEST_F(TLinkButton, AClickRunsTheFormsHandlerThenPopsTheMenuAtThePointerAlsoFromTheKeyboard) {
  button.setGeometry(10, 10, 35, 17);
  button.show();
  std::vector<bool> menuShownInHandler;
  button.OnClick = [&] { menuShownInHandler.push_back(button.PopupMenu().isVisible()); };
  const QPoint pointer(300, 200);
  QCursor::setPos(pointer);

  QTest::mouseClick(&button, Qt::LeftButton);
  EXPECT_EQ(menuShownInHandler, std::vector<bool>{false}) << "the handler runs first";
  EXPECT_TRUE(button.PopupMenu().isVisible());
  EXPECT_EQ(button.PopupMenu().pos(), pointer);
  button.PopupMenu().hide();

  button.setFocus();
  QTest::keyClick(&button, Qt::Key_Space);
  EXPECT_EQ(menuShownInHandler.size(), 2u);
  EXPECT_TRUE(button.PopupMenu().isVisible());
  EXPECT_EQ(button.PopupMenu().pos(), pointer) << "at the pointer, not at the button";
  button.PopupMenu().hide();

  const QPoint rightClick(120, 140);
  QContextMenuEvent context(QContextMenuEvent::Mouse, button.mapFromGlobal(rightClick), rightClick);
  QApplication::sendEvent(&button, &context);
  EXPECT_TRUE(button.PopupMenu().isVisible()) << "a right-click shows the same menu";
  EXPECT_EQ(button.PopupMenu().pos(), rightClick);
  EXPECT_EQ(menuShownInHandler.size(), 2u) << "a right-click is no click";
}

TEST_F(TLinkButton, FileStoresTheChosenFileRelativeToTheBaseFolder) {
  EXPECT_EQ(ChooseFile(medium / "Setup" / "run.exe"), medium.string()) << "the dialog starts at the base folder";
  EXPECT_EQ(Record(), "Setup\\run.exe|File");
  EXPECT_EQ(changes, 1);

  ChooseFile({});
  EXPECT_EQ(Record(), "Setup\\run.exe|File") << "a cancelled dialog changes nothing";
  EXPECT_EQ(changes, 1);

  const fs::path outside = medium.string() + "-other";
  fs::create_directories(outside);
  std::ofstream(outside / "x.pdf") << "x";
  ChooseFile(outside / "x.pdf");
  EXPECT_EQ(Record(), "..\\" + outside.filename().string() + "\\x.pdf|File");

  button.SetBaseFolder("");
  ChooseFile(outside / "x.pdf");
  EXPECT_EQ(Record(), (outside / "x.pdf").string() + "|File") << "without a base, the full path";
  fs::remove_all(outside);
}

TEST_F(TLinkButton, FolderStoresTheChosenFolderRelativeToTheBaseFolder) {
  TFolderAnswer picker;
  picker.answer = (medium / "Tools").string();
  button.FolderActExecute();
  EXPECT_EQ(picker.asked, std::vector<std::string>{"Select Folder|" + base + "|"}) << "rooted at the base, nothing chosen";
  EXPECT_EQ(Record(), "Tools|Folder");

  picker.answer = medium.string();
  button.FolderActExecute();
  EXPECT_EQ(Record(), ".|Folder") << "the base folder itself opens wherever the medium lies";

  picker.answer.clear();
  button.FolderActExecute();
  EXPECT_EQ(Record(), ".|Folder") << "a cancelled picker changes nothing";
  EXPECT_EQ(changes, 2);

  button.SetBaseFolder("");
  picker.asked.clear();
  picker.answer = (medium / "Tools").string();
  button.FolderActExecute();
  EXPECT_EQ(picker.asked, std::vector<std::string>{"Select Folder||"}) << "without a base, no root";
  EXPECT_EQ(Record(), (medium / "Tools").string() + "|Folder");
}

TEST_F(TLinkButton, InternetAndEmailAskForTheAddressAndStoreItExactlyAsTyped) {
  TInputAnswer input;
  input.answer = "http://www.example.org/ ";
  button.InternetActExecute();
  EXPECT_EQ(input.asked, std::vector<std::string>{"Internet address:|http://|"}) << "the box starts empty";
  EXPECT_EQ(Record(), "http://www.example.org/ |Internet") << "no scheme removed, nothing trimmed";

  input.answer = "info@example.org";
  button.EmailActExecute();
  EXPECT_EQ(input.asked.back(), "E-mail address:|Address|");
  EXPECT_EQ(Record(), "info@example.org|e-mail");

  input.answer = "";
  button.InternetActExecute();
  EXPECT_EQ(Record(), "|Internet") << "OK on an empty box stores an empty address";
  button.EmailActExecute();
  EXPECT_EQ(Record(), "|e-mail");
  EXPECT_EQ(changes, 4);

  input.ok = false;
  input.answer = "typed then cancelled";
  button.InternetActExecute();
  button.EmailActExecute();
  EXPECT_EQ(Record(), "|e-mail");
  EXPECT_EQ(changes, 4);
}

TEST_F(TLinkButton, ClearEmptiesTheLinkAndItsKind) {
  button.ClearActExecute();
  EXPECT_EQ(Record(), "|");
  EXPECT_EQ(changes, 1);
}

TEST_F(TLinkButton, WithoutAnActionFieldOnlyTheLinkIsWrittenAndInternetAndEmailDoNothing) {
  button.SetActionField(nullptr);
  TInputAnswer input;
  input.answer = "www.example.org";
  button.InternetActExecute();
  button.EmailActExecute();
  EXPECT_TRUE(input.asked.empty()) << "no prompt without an action field";
  EXPECT_EQ(Record(), "old\\link.txt|File");

  ChooseFile(medium / "Setup" / "run.exe");
  EXPECT_EQ(Record(), "Setup\\run.exe|File") << "the kind stays as it was";
  TFolderAnswer picker;
  picker.answer = (medium / "Tools").string();
  button.FolderActExecute();
  EXPECT_EQ(Record(), "Tools|File");
  button.ClearActExecute();
  EXPECT_EQ(Record(), "|File");
}

TEST_F(TLinkButton, WithoutALinkFieldNoCommandAsksOrChangesAnything) {
  button.SetLinkField(nullptr);
  TInputAnswer input;
  TFolderAnswer picker;
  picker.answer = (medium / "Tools").string();
  button.FileActExecute();
  button.FolderActExecute();
  button.InternetActExecute();
  button.EmailActExecute();
  button.ClearActExecute();
  EXPECT_EQ(button.findChild<QFileDialog*>(), nullptr) << "no file dialog was made";
  EXPECT_TRUE(picker.asked.empty());
  EXPECT_TRUE(input.asked.empty());
  EXPECT_EQ(Record(), "old\\link.txt|File");
  EXPECT_EQ(changes, 0);
}

TEST_F(TLinkButton, ACommandOnAnEmptyStoreAppendsARecordHoldingTheLink) {
  Data.Delete();
  ASSERT_TRUE(Data.IsEmpty());
  TInputAnswer input;
  input.answer = "www.example.org";
  button.InternetActExecute();
  EXPECT_EQ(Data.RecordCount(), 1u);
  EXPECT_EQ(Record(), "www.example.org|Internet");
  EXPECT_EQ(Data.FieldByName("Title").AsString(), "");
}

TEST_F(TLinkButton, ARefusedPostReachesTheCallerAndLeavesTheRecordEditingWithTheNewValues) {
  std::string seenAtPost;
  Data.BeforePost = [&](TDataSet&) {
    seenAtPost = Record();
    throw std::runtime_error("refused");
  };
  TInputAnswer input;
  input.answer = "info@example.org";
  EXPECT_THROW(button.EmailActExecute(), std::runtime_error);
  EXPECT_EQ(seenAtPost, "info@example.org|e-mail (not posted)") << "link and kind are both written before the post";
  EXPECT_EQ(Record(), "info@example.org|e-mail (not posted)");
  EXPECT_EQ(changes, 0);
}

}  // namespace
