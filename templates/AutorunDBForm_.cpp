#include "templates/AutorunDBForm_.h"

#include <QCursor>
#include <QShowEvent>

#include <filesystem>
#include <system_error>

#include "controls/DataAware.h"
#include "controls/RightAnchor.h"
#include "exetrailer/ExeModifier_.h"
#include "platform/DisplayText.h"
#include "platform/ErrorReport.h"
#include "platform/FolderPicker.h"
#include "text/StoredPath.h"
#include "ui_AutorunDBForm_.h"

namespace orb {

TAutorunDBForm* AutorunDBForm = nullptr;

const std::string_view kProgramFileExtension = ORB_PROGRAM_FILE_EXTENSION;

std::string EditedProgramFileName() { return ProgramFolder + ChangeFileExt(ProgramBaseName, kProgramFileExtension); }

std::string_view UpToFirstZero(std::string_view text) { return text.substr(0, text.find('\0')); }

TAutorunDBForm::TAutorunDBForm(TComponent* owner) : TDBForm(owner), ui_(std::make_unique<Ui::AutorunDBForm>()) {
  Ui::AutorunDBForm& ui = *ui_;
  ui.setupUi(this);
  // The group box lies along the top of the form, and the edit follows its width.
  AnchorRight(*ui.GroupBox);
  AnchorRight(*ui.Edit);

  connect(ui.Button1, &QPushButton::clicked, this, Guarded(&TAutorunDBForm::Button1Click, this));
  connect(ui.Button1, &QWidget::customContextMenuRequested, this, Guarded(&TAutorunDBForm::Button1Click, this));
  connect(ui.File1, &QAction::triggered, this, Guarded(&TAutorunDBForm::File1Click, this));
  connect(ui.Folder1, &QAction::triggered, this, Guarded(&TAutorunDBForm::Folder1Click, this));

  AutorunDBForm = this;
}

TAutorunDBForm::~TAutorunDBForm() {
  if (AutorunDBForm == this) AutorunDBForm = nullptr;
}

QFileDialog& TAutorunDBForm::OpenDialog() {
  if (!openDialog_) {
    openDialog_ = new QFileDialog(this);
    openDialog_->setObjectName("OpenDialog");
    openDialog_->setFileMode(QFileDialog::ExistingFile);
  }
  return *openDialog_;
}

void TAutorunDBForm::showEvent(QShowEvent* event) {
  TDBForm::showEvent(event);
  // The system's own show events (a minimized window restored) are no new showing.
  if (!event->spontaneous()) Guard(&TAutorunDBForm::FormShow, this);
}

void TAutorunDBForm::FormShow() {
  const std::string program = EditedProgramFileName();
  std::error_code error;
  if (!std::filesystem::exists(program, error)) return;
  TExeBuf payload;
  ReadExeBuf(program, payload);
  std::string text;
  ExeBufToStr(payload, text);
  ui_->Edit->setText(DisplayText(UpToFirstZero(text)));
}

void TAutorunDBForm::Button1Click() { ui_->PopupMenu1->popup(QCursor::pos()); }

void TAutorunDBForm::File1Click() {
  QFileDialog& dialog = OpenDialog();
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  SetTarget(StoredText(dialog.selectedFiles().first()));
}

void TAutorunDBForm::Folder1Click() {
  std::string folder;
  if (!PickFolder("Select folder", ProgramFolder, folder)) return;
  SetTarget(folder);
}

void TAutorunDBForm::SetTarget(const std::string& path) { ui_->Edit->setText(DisplayText(StoredRelativePath(ProgramFolder, path))); }

}  // namespace orb
