#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "exetrailer/ExeModifier_.h"
#include "platform/Application.h"
#include "platform/ErrorReport.h"
#include "platform/FolderPicker.h"
#include "templates/AutorunCDMenu_.h"
#include "templates/AutorunDBForm_.h"
#include "tests/controls/ControlTestSupport.h"
#include "tests/platform/DialogDriver.h"
#include "ui_AutorunDBForm_.h"

using namespace orb;
namespace fs = std::filesystem;

namespace {

const std::string kProgramBytes(64, 'P');

std::string Bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

void AppendTrailer(const fs::path& file, std::string_view text) {
  TExeBuf payload;
  StrToExeBuf(text, payload);
  AppendExeBuf(file.string(), payload);
}

std::string Trailer(const fs::path& file) {
  TExeBuf payload;
  ReadExeBuf(file.string(), payload);
  std::string text;
  ExeBufToStr(payload, text);
  return text;
}

// A medium folder holding Docs/Welcome.html and the program file Setup,
// which is also the file the application reports as running.
struct TAutorunTemplate : ::testing::Test {
  void SetUp() override {
    InitializeLowAPI();
    medium = fs::temp_directory_path() / ("orb-autorun-" + std::to_string(::getpid()));
    fs::remove_all(medium);
    fs::create_directories(medium / "Docs");
    std::ofstream(medium / "Docs" / "Welcome.html") << "<html/>";
    program = medium / ("Setup" + std::string(kProgramFileExtension));
    std::ofstream(program, std::ios::binary) << kProgramBytes;
    ProgramFolder = medium.string() + "/";
    ProgramBaseName = "Setup";
    application = std::make_unique<TApplication>(argc, argv);
    application->SetExeName(program.string());
    SetErrorReporter([this](const std::string&, const std::string& text) { reports.push_back(text); });
  }
  void TearDown() override {
    editor.reset();
    menu.reset();
    application.reset();
    SetErrorReporter({});
    SetFolderPicker(nullptr);
    InitializeLowAPI();
    fs::remove_all(medium);
    fs::remove(medium.string() + "-beside.txt");
  }

  void Start(bool editing = false) {
    HostMode = !editing;
    editor.reset();
    menu = std::make_unique<TAutorunCDMenu>(nullptr);
    // The editing environment owns the editor form, which has no owner.
    editor.reset(AutorunDBForm);
  }
  const Ui::AutorunDBForm& Editor() const { return editor->Components(); }
  QString Shown() {
    editor->hide();
    editor->show();
    return Editor().Edit->text();
  }
  bool AnyWindowShown() const {
    for (QWidget* window : QApplication::topLevelWidgets())
      if (window->isVisible()) return true;
    return false;
  }

  int argc = 1;
  char name[6] = "tests";
  char* argv[2] = {name, nullptr};
  fs::path medium, program;
  std::vector<std::string> reports;
  test::TRecordingShell shell;
  std::unique_ptr<TApplication> application;
  std::unique_ptr<TAutorunCDMenu> menu;
  std::unique_ptr<TAutorunDBForm> editor;
};

TEST_F(TAutorunTemplate, TheHostOpensTheStoredTargetBelowTheProgramFolderAndShowsNothing) {
  const std::pair<std::string, fs::path> targets[] = {
      {std::string("docs\\WELCOME.html\0ignored", 25), medium / "Docs" / "Welcome.html"},
      {"Docs", medium / "Docs"},
      {"Missing\\Guide.pdf", medium / "Missing" / "Guide.pdf"},
  };
  for (const auto& [stored, opened] : targets) {
    shell.opened.clear();
    AppendTrailer(program, stored);
    Start();
    EXPECT_EQ(shell.opened, std::vector<std::string>{opened.string()}) << stored;
  }
  EXPECT_EQ(menu->GetForm(), nullptr);
  EXPECT_EQ(AutorunDBForm, nullptr) << "the host never creates the editor";
  EXPECT_EQ(CurrentDBForm, nullptr);
  EXPECT_FALSE(AnyWindowShown());
  EXPECT_TRUE(reports.empty());
}

TEST_F(TAutorunTemplate, NoTargetOrAnUnreadableProgramFileOpensNothingAndReportsNothing) {
  std::string damaged = kProgramBytes + "Docs";
  damaged += std::string("\x7F\x00\x00\x00" "EB1.0\0\0\0", 12);  // the payload would start behind the file's end
  const std::pair<const char*, std::string> files[] = {
      {"no trailer", kProgramBytes},
      {"an empty payload", kProgramBytes + std::string("\x40\0\0\0" "EB1.0\0\0\0", 12)},
      {"nothing before the first zero byte", kProgramBytes + std::string("\0Docs\x40\0\0\0" "EB1.0\0\0\0", 17)},
      {"a damaged footer", damaged},
      {"shorter than a footer", "MZ"},
  };
  for (const auto& [what, bytes] : files) {
    std::ofstream(program, std::ios::binary | std::ios::trunc) << bytes;
    EXPECT_NO_THROW(Start()) << what;
  }
  for (const fs::path& unreadable : {medium / "Missing", medium / "Docs"}) {
    application->SetExeName(unreadable.string());
    EXPECT_NO_THROW(Start()) << unreadable;
  }
  EXPECT_TRUE(shell.opened.empty());
  EXPECT_TRUE(reports.empty());
  EXPECT_FALSE(AnyWindowShown());
}

TEST_F(TAutorunTemplate, EditingCreatesTheHiddenEditorWhichShowsTheStoredTextWhenShown) {
  AppendTrailer(program, std::string("Docs\\Welcome.html\0junk", 22));
  Start(true);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(CurrentDBForm, editor.get());
  EXPECT_FALSE(editor->isVisible());
  EXPECT_TRUE(shell.opened.empty()) << "editing opens nothing";
  EXPECT_EQ(Editor().Edit->text(), "") << "nothing is read before the form shows";

  EXPECT_EQ(Shown(), "Docs\\Welcome.html") << "up to the first zero byte";
  std::ofstream(program, std::ios::binary | std::ios::trunc) << kProgramBytes;
  EXPECT_EQ(Shown(), "") << "a program file without a trailer empties the edit";
  Editor().Edit->setText("kept");
  fs::remove(program);
  EXPECT_EQ(Shown(), "kept") << "without the program file the edit keeps its text";
  EXPECT_TRUE(reports.empty());
  std::ofstream(program, std::ios::binary) << kProgramBytes + std::string("\x7F\0\0\0" "EB1.0\0\0\0", 12);
  EXPECT_EQ(Shown(), "kept");
  EXPECT_EQ(reports.size(), 1u) << "a damaged trailer is reported by the standard report";

  editor->resize(300, 400);
  EXPECT_EQ(Editor().GroupBox->geometry(), QRect(0, 0, 300, 65)) << "the group box lies along the top";
  EXPECT_EQ(Editor().Edit->geometry(), QRect(8, 32, 300 - 11, 21)) << "the edit keeps its right margin";
}

TEST_F(TAutorunTemplate, TheLinkButtonOpensItsMenuAtTheMousePointer) {
  Start(true);
  editor->show();
  QMenu& popup = *Editor().PopupMenu1;
  QCursor::setPos(120, 90);
  Editor().Button1->click();
  EXPECT_TRUE(popup.isVisible());
  EXPECT_EQ(popup.pos(), QPoint(120, 90));
  popup.hide();
  QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5), Editor().Button1->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(Editor().Button1, &rightClick);
  EXPECT_TRUE(popup.isVisible()) << "a right click opens the same menu";
  popup.hide();
}

TEST_F(TAutorunTemplate, ChosenFilesAndFoldersAreStoredRelativeToTheProgramFolder) {
  const fs::path beside = medium.string() + "-beside.txt";
  std::ofstream(beside) << "beside";
  Start(true);
  auto chooseFile = [&](const fs::path& file) {
    test::WhenDialogShows([file](QDialog& dialog) {
      test::ChooseFile(static_cast<QFileDialog&>(dialog), QString::fromStdString(file.string()));
    });
    Editor().File1->trigger();
    return Editor().Edit->text().toStdString();
  };
  EXPECT_EQ(chooseFile(medium / "Docs" / "Welcome.html"), "Docs\\Welcome.html");
  EXPECT_EQ(chooseFile(beside), "..\\" + beside.filename().string());
  test::WhenDialogShows([](QDialog& dialog) { dialog.reject(); });
  Editor().File1->trigger();
  EXPECT_EQ(Editor().Edit->text().toStdString(), "..\\" + beside.filename().string()) << "cancel changes nothing";

  struct TAnswer : IFolderPicker {
    bool Pick(const std::string& title, const std::string& root, std::string& folder) override {
      asked = title + " at " + root;
      if (!answer.empty()) folder = answer;
      return !answer.empty();
    }
    std::string answer, asked;
  } picker;
  SetFolderPicker(&picker);
  picker.answer = (medium / "Docs").string();
  Editor().Folder1->trigger();
  EXPECT_EQ(picker.asked, "Select folder at " + ProgramFolder);
  EXPECT_EQ(Editor().Edit->text(), "Docs");
  picker.answer = medium.string();
  Editor().Folder1->trigger();
  EXPECT_EQ(Editor().Edit->text(), ".") << "the program folder itself, wherever the medium lies";
  picker.answer.clear();
  Editor().Folder1->trigger();
  EXPECT_EQ(Editor().Edit->text(), ".") << "cancel changes nothing";
  EXPECT_TRUE(reports.empty());
}

TEST_F(TAutorunTemplate, SaveMenuAppendsTheTextAsTheTrailerTheHostThenOpens) {
  AppendTrailer(program, "Docs");
  const std::string before = Bytes(program);
  Start(true);
  Editor().Edit->setText("Docs\\Welcome.html");
  static_cast<ICDMenu&>(*menu).Save();
  const std::string after = Bytes(program);
  EXPECT_EQ(after.size(), before.size() + 17 + 12);
  EXPECT_EQ(after.substr(0, before.size()), before) << "nothing already in the file changes";
  EXPECT_EQ(Trailer(program), "Docs\\Welcome.html");

  Start(true);
  EXPECT_EQ(Shown(), "Docs\\Welcome.html") << "a new editor reads the saved text back";
  Start();
  EXPECT_EQ(shell.opened, std::vector<std::string>{(medium / "Docs" / "Welcome.html").string()});
}

TEST_F(TAutorunTemplate, SaveMenuFailsWithoutAnEditorOrAProgramFileAndChangesNothing) {
  const std::string before = Bytes(program);
  Start();
  EXPECT_THROW(menu->SaveMenu(), std::logic_error) << "the host's menu has no editor";
  EXPECT_EQ(Bytes(program), before);
  Start(true);
  Editor().Edit->setText("Docs");
  ProgramBaseName = "Other";
  EXPECT_THROW(menu->SaveMenu(), EExeTrailerError);
  EXPECT_FALSE(fs::exists(medium / ("Other" + std::string(kProgramFileExtension)))) << "the file is never created";
  EXPECT_EQ(Bytes(program), before);
}

}  // namespace
