// The folder picker where the platform has no browse dialog of its own: a
// Qt dialog with the instruction text above a tree of folders whose one top
// item is the root folder.

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QVBoxLayout>

#include "platform/DisplayText.h"
#include "platform/FolderPickerBackend.h"

namespace orb {
namespace {

bool IsWithin(const QString& path, const QString& folder) {
  return path == folder || path.startsWith(folder.endsWith(u'/') ? folder : folder + u'/');
}

// Keeps of the file system only the top folder, what lies inside it, and the
// folders above it, through which the model reaches it; the top folder's
// siblings, and so every way out of it, are left out.
class TSubtreeFilter : public QSortFilterProxyModel {
 public:
  explicit TSubtreeFilter(QString top) : top_(std::move(top)) {}

 protected:
  bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override {
    auto* folders = static_cast<const QFileSystemModel*>(sourceModel());
    QString path = folders->filePath(folders->index(sourceRow, 0, sourceParent));
    return IsWithin(path, top_) || IsWithin(top_, path);
  }

 private:
  QString top_;
};

// The root as a clean absolute path, or the top of the file system when the
// root is empty or not a folder.
QString TopFolder(const std::string& root) {
  QFileInfo info(QFile::decodeName(QByteArray::fromStdString(root)));
  if (root.empty() || !info.isDir()) return QDir::rootPath();
  return QDir::cleanPath(info.absoluteFilePath());
}

}  // namespace

bool SystemPickFolder(const std::string& title, const std::string& root, std::string& folder) {
  QString top = TopFolder(root);
  QFileSystemModel folders;
  folders.setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
  folders.setRootPath(top);
  TSubtreeFilter tree(top);
  tree.setSourceModel(&folders);

  QDialog dialog(QApplication::activeWindow());
  dialog.setWindowTitle(QStringLiteral("Browse for Folder"));
  auto* instruction = new QLabel(DisplayText(title));
  instruction->setObjectName(QStringLiteral("Instruction"));
  instruction->setWordWrap(true);
  auto* view = new QTreeView;
  view->setObjectName(QStringLiteral("FolderTree"));
  view->setModel(&tree);
  view->setHeaderHidden(true);
  for (int column = 1; column < folders.columnCount(); ++column) view->hideColumn(column);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(instruction);
  layout->addWidget(view);
  layout->addWidget(buttons);
  dialog.resize(340, 420);

  auto chosen = [&] {
    QModelIndex current = tree.mapToSource(view->currentIndex());
    return current.isValid() && folders.isDir(current) ? folders.filePath(current) : QString();
  };
  QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
  ok->setEnabled(false);
  QObject::connect(view->selectionModel(), &QItemSelectionModel::currentChanged, ok,
                   [&] { ok->setEnabled(!chosen().isEmpty()); });
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

  QModelIndex topItem = tree.mapFromSource(folders.index(top));
  view->setRootIndex(topItem.parent());
  view->setCurrentIndex(topItem);
  view->expand(topItem);

  if (dialog.exec() != QDialog::Accepted) return false;
  folder = QFile::encodeName(QDir::toNativeSeparators(chosen())).toStdString();
  return true;
}

}  // namespace orb
