#include "controls/OrbLinkButton.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDir>
#include <QMenu>


#include "platform/ErrorReport.h"
#include "platform/FolderPicker.h"
#include "platform/InputQuery.h"
#include "store/DataSet.h"
#include "text/StoredPath.h"

namespace orb {

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
  WriteLink(StoredRelativePath(baseFolder_, folder), "Folder");
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
