#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QLineEdit>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "controls/OpenPictureDialog.h"
#include "tests/platform/DialogDriver.h"

using namespace orb;
namespace fs = std::filesystem;

namespace {

using TTexts = std::vector<std::string>;

TTexts Texts(const QStringList& list) {
  TTexts texts;
  for (const QString& text : list) texts.push_back(text.toStdString());
  return texts;
}

// A folder of pictures and other files, and the dialog opened on it.
struct TPictureDialog : ::testing::Test {
  void SetUp() override {
    folder = fs::temp_directory_path() / ("orb-picturedialog-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const char* name : {"Logo.ico", "SHOT.BMP", "back.bmp", "photo.png", "notes.txt"})
      std::ofstream(folder / name) << "x";
    dialog.setDirectory(QString::fromStdString(folder.string()));
  }
  void TearDown() override { fs::remove_all(folder); }

  // The files the dialog lists under the chosen filter entry, then the
  // dialog answered with `choice` typed into its name box, or cancelled.
  TTexts ListedThenChoose(const std::string& choice) {
    TTexts listed;
    test::WhenDialogShows([&](QDialog& shown) {
      auto* view = shown.findChild<QAbstractItemView*>("listView");
      test::WaitUntil([&] { return view->model()->rowCount(view->rootIndex()) > 0; });
      for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
        listed.push_back(view->model()->index(row, 0, view->rootIndex()).data().toString().toStdString());
      std::sort(listed.begin(), listed.end());
      if (choice.empty()) return shown.reject();
      shown.findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(choice));
      shown.accept();
    });
    chosen = dialog.Execute();
    return listed;
  }

  fs::path folder;
  TOpenPictureDialog dialog;
  bool chosen = false;
};

}  // namespace

TEST(NameFiltersOf, OneEntryPerPairAndPatternsTheDialogCanRead) {
  EXPECT_EQ(Texts(NameFiltersOf("Icon (*.ico)|*.ico|Bitmap (*.bmp)|*.bmp")), (TTexts{"Icon (*.ico)", "Bitmap (*.bmp)"}))
      << "a description that already shows its pattern is not repeated";
  EXPECT_EQ(Texts(NameFiltersOf("Pictures|*.ico;*.bmp")), TTexts{"Pictures (*.ico *.bmp)"});
  EXPECT_EQ(Texts(NameFiltersOf("Icons (*.png)|*.ico")), TTexts{"Icons (*.png) (*.ico)"})
      << "the pattern decides, not what the description says";
  EXPECT_EQ(Texts(NameFiltersOf("Bitmap (*.bmp)|*.bmp|Lone")), TTexts{"Bitmap (*.bmp)"}) << "a description without pattern";
  EXPECT_EQ(Texts(NameFiltersOf("")), TTexts{});
}

TEST_F(TPictureDialog, TheFirstEntryFiltersTheFilesAndTheChosenOneIsGivenAsAFullPath) {
  dialog.SetFilter("Icon (*.ico)|*.ico|Bitmap (*.bmp)|*.bmp");
  EXPECT_EQ(dialog.Filter(), "Icon (*.ico)|*.ico|Bitmap (*.bmp)|*.bmp");
  EXPECT_EQ(ListedThenChoose("Logo.ico"), TTexts{"Logo.ico"});
  ASSERT_TRUE(chosen);
  EXPECT_EQ(dialog.FileName().toStdString(), (folder / "Logo.ico").string());

  dialog.SetFilter("Bitmap (*.bmp)|*.bmp");
  EXPECT_EQ(ListedThenChoose(""), (TTexts{"SHOT.BMP", "back.bmp"})) << "patterns match in any letter case";
  EXPECT_FALSE(chosen) << "cancelled";
}
