#include "controls/OrbLinkButton.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDir>
#include <QMenu>

#include <filesystem>

#include "platform/ErrorReport.h"
#include "platform/FolderPicker.h"
#include "platform/InputQuery.h"
#include "text/StoredPath.h"
#include "store/DataSet.h"

namespace orb {
namespace {

constexpr char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);

// A chosen folder as it is stored. The base folder itself is stored as the
// empty link, which opens it, not as "..\" and its own name, which would
// break when the medium is copied to a folder of another name.
std::string StoredFolder(const std::string& base, const std::string& folder) {
  std::string asFolder = folder.ends_with(kSeparator) ? folder : folder + kSeparator;
  if (!base.empty() && StoredRelativePath(base, asFolder).empty()) return {};
  return StoredRelativePath(base, folder);
}

}  // namespace

TOrbLinkButton::TOrbLinkButton(QWidget* parent) : QPushButton(parent) {
  popupMenu_ = new QMenu(this);
  popupMenu_->setObjectName(QStringLiteral("PopupMenu"));
  auto command = [this](const char* name, const char* caption, void (TOrbLinkButton::*execute)()) {
    auto* action = new QAction(QString::fromUtf8(caption), this);
    action->setObjectName(QString::fromUtf8(name));
    connect(action, &QAction::triggered, this, Guarded(execute, this));
    return action;
  };
  clearAct_ = command("ClearAct", "Clear", &TOrbLinkButton::ClearActExecute);
  fileAct_ = command("FileAct", "File", &TOrbLinkButton::FileActExecute);
  folderAct_ = command("FolderAct", "Folder", &TOrbLinkButton::FolderActExecute);
  internetAct_ = command("InternetAct", "Internet", &TOrbLinkButton::InternetActExecute);
  emailAct_ = command("EmailAct", "e-mail", &TOrbLinkButton::EmailActExecute);
  popupMenu_->addActions({fileAct_, folderAct_, internetAct_, emailAct_});
  popupMenu_->addSeparator();
  popupMenu_->addAction(clearAct_);

  connect(this, &QPushButton::clicked, this, Guarded(&TOrbLinkButton::Click, this));
}

bool TOrbLinkButton::FileVisible() const { return fileAct_->isVisible(); }
void TOrbLinkButton::SetFileVisible(bool visible) { fileAct_->setVisible(visible); }
bool TOrbLinkButton::FolderVisible() const { return folderAct_->isVisible(); }
void TOrbLinkButton::SetFolderVisible(bool visible) { folderAct_->setVisible(visible); }
bool TOrbLinkButton::InternetVisible() const { return internetAct_->isVisible(); }
void TOrbLinkButton::SetInternetVisible(bool visible) { internetAct_->setVisible(visible); }
bool TOrbLinkButton::EmailVisible() const { return emailAct_->isVisible(); }
void TOrbLinkButton::SetEmailVisible(bool visible) { emailAct_->setVisible(visible); }

QFileDialog& TOrbLinkButton::OpenDialog() {
  if (!openDialog_) {
    openDialog_ = new QFileDialog(this);
    openDialog_->setObjectName(QStringLiteral("OpenDialog"));
    openDialog_->setFileMode(QFileDialog::ExistingFile);
  }
  return *openDialog_;
}

// The pointer's position also when the click came from the keyboard.
void TOrbLinkButton::Click() {
  if (OnClick) OnClick();
  popupMenu_->popup(QCursor::pos());
}

void TOrbLinkButton::contextMenuEvent(QContextMenuEvent* event) {
  popupMenu_->popup(event->globalPos());
  event->accept();
}

void TOrbLinkButton::FileActExecute() {
  if (!linkField_) return;
  QFileDialog& dialog = OpenDialog();
  dialog.setDirectory(QString::fromStdString(baseFolder_));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const std::string file = QDir::toNativeSeparators(dialog.selectedFiles().first()).toStdString();
  WriteLink(StoredRelativePath(baseFolder_, file), "File");
}

void TOrbLinkButton::FolderActExecute() {
  if (!linkField_) return;
  std::string folder;
  if (!PickFolder("Select Folder", baseFolder_, folder)) return;
  WriteLink(StoredFolder(baseFolder_, folder), "Folder");
}

void TOrbLinkButton::InternetActExecute() {
  if (!linkField_ || !actionField_) return;
  std::string address;
  if (!InputQuery("Internet address:", "http://", address)) return;
  WriteLink(address, "Internet");
}

void TOrbLinkButton::EmailActExecute() {
  if (!linkField_ || !actionField_) return;
  std::string address;
  if (!InputQuery("E-mail address:", "Address", address)) return;
  WriteLink(address, "e-mail");
}

void TOrbLinkButton::ClearActExecute() {
  if (!linkField_) return;
  WriteLink("", "");
}

void TOrbLinkButton::WriteLink(const std::string& link, const std::string& kind) {
  TDataSet& dataSet = linkField_->DataSet();
  dataSet.Edit();
  linkField_->SetAsString(link);
  if (actionField_) actionField_->SetAsString(kind);
  dataSet.Post();
  emit linkChanged();
}

}  // namespace orb
