#include <gtest/gtest.h>

#include <QAbstractProxyModel>
#include <QFileSystemModel>
#include <QLabel>
#include <QTreeView>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/FolderPicker.h"
#include "tests/platform/DialogDriver.h"

using namespace orb;
using namespace orb::test;
namespace fs = std::filesystem;

namespace {

// A medium folder with subfolders, beside a folder the picker must not reach.
struct FolderPickerDialog : ::testing::Test {
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "orbpicker-XXXXXX").string();
    base = mkdtemp(pattern.data());
    medium = (base / "medium").string();
    fs::create_directories(base / "medium" / "Tools" / "Bin");
    fs::create_directories(base / "medium" / "Docs");
    fs::create_directories(base / "other");
    std::ofstream(base / "medium" / "Setup") << "MZ";
  }
  void TearDown() override { fs::remove_all(base); }

  fs::path base;
  std::string medium;
};

QTreeView* Tree(QDialog& dialog) { return dialog.findChild<QTreeView*>("FolderTree"); }

QString PathOf(const QModelIndex& item) { return item.data(QFileSystemModel::FilePathRole).toString(); }

// The top item of the tree: the one row below the view's root.
QModelIndex Top(QTreeView* tree) { return tree->model()->index(0, 0, tree->rootIndex()); }

// The item reached from the top item through the subfolders named, each
// opened as a user would: once the tree shows it with the mark of a folder
// that has subfolders. Invalid when the tree never lists one of them. The
// walk starts afresh each time, as the model reorders rows while it lists.
QModelIndex Reach(QTreeView* tree, const QStringList& names) {
  QModelIndex found;
  WaitUntil([&] {
    found = Top(tree);
    for (const QString& name : names) {
      if (tree->visualRect(found).isEmpty() || !tree->model()->hasChildren(found)) return false;
      tree->expand(found);
      QModelIndex parent = found;
      found = QModelIndex();
      for (int row = 0; row < tree->model()->rowCount(parent); ++row)
        if (tree->model()->index(row, 0, parent).data().toString() == name) found = tree->model()->index(row, 0, parent);
      if (!found.isValid()) return false;
    }
    return true;
  });
  return found;
}

TEST_F(FolderPickerDialog, TreeStartsAtTheRootWithTheTitleAboveAndASubfolderCanBeChosen) {
  WhenDialogShows([&](QDialog& dialog) {
    EXPECT_EQ(dialog.findChild<QLabel*>("Instruction")->text(), "Select Folder");
    QTreeView* tree = Tree(dialog);
    // Once the folder above the root is listed, the root's sibling is known
    // to the file system model; the tree must still show the root alone.
    auto* folders = qobject_cast<QFileSystemModel*>(qobject_cast<QAbstractProxyModel*>(tree->model())->sourceModel());
    QModelIndex above = folders->index(QString::fromStdString(base.string()));
    folders->fetchMore(above);
    ASSERT_TRUE(WaitUntil([&] { return folders->rowCount(above) == 2; }));
    ASSERT_EQ(tree->model()->rowCount(tree->rootIndex()), 1);
    EXPECT_EQ(PathOf(Top(tree)), QString::fromStdString(medium));
    EXPECT_EQ(tree->currentIndex(), Top(tree));
    QModelIndex bin = Reach(tree, {"Tools", "Bin"});
    ASSERT_TRUE(bin.isValid());
    tree->setCurrentIndex(bin);
    Button(dialog, QDialogButtonBox::Ok)->click();
  });
  std::string folder;
  EXPECT_TRUE(PickFolder("Select Folder", medium + "/", folder));
  EXPECT_EQ(folder, medium + "/Tools/Bin");
}

TEST_F(FolderPickerDialog, OnlyAChosenFolderCanBeConfirmedAndTheRootComesWithoutSeparator) {
  WhenDialogShows([&](QDialog& dialog) {
    QTreeView* tree = Tree(dialog);
    QPushButton* ok = Button(dialog, QDialogButtonBox::Ok);
    EXPECT_TRUE(ok->isEnabled());
    tree->setCurrentIndex(QModelIndex());
    EXPECT_FALSE(ok->isEnabled());
    tree->setCurrentIndex(Top(tree));
    ok->click();
  });
  std::string folder;
  EXPECT_TRUE(PickFolder("Select folder", medium + "/", folder));
  EXPECT_EQ(folder, medium);
}

TEST_F(FolderPickerDialog, CancelReturnsFalseAndLeavesTheFolderAlone) {
  WhenDialogShows([](QDialog& dialog) { Button(dialog, QDialogButtonBox::Cancel)->click(); });
  std::string folder = "unchanged";
  EXPECT_FALSE(PickFolder("Select Folder", medium, folder));
  EXPECT_EQ(folder, "unchanged");
}

TEST_F(FolderPickerDialog, WithoutAUsableRootTheTreeStartsAtTheTopOfTheFileSystem) {
  for (const std::string& root : {std::string(), (base / "missing").string(), medium + "/Setup"}) {
    WhenDialogShows([&](QDialog& dialog) {
      QTreeView* tree = Tree(dialog);
      EXPECT_EQ(tree->model()->rowCount(tree->rootIndex()), 1) << root;
      EXPECT_EQ(PathOf(Top(tree)), "/") << root;
      Button(dialog, QDialogButtonBox::Ok)->click();
    });
    std::string folder;
    EXPECT_TRUE(PickFolder("Select Folder", root, folder)) << root;
    EXPECT_EQ(folder, "/") << root;
  }
}

}  // namespace
