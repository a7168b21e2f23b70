#include "templates/SimpleDBForm_.h"

#include <QCursor>

#include "controls/ActionButton.h"
#include "controls/DataAware.h"
#include "platform/ErrorReport.h"
#include "platform/FolderPicker.h"
#include "text/StoredPath.h"
#include "ui_SimpleDBForm_.h"

namespace orb {

TSimpleDBForm* SimpleDBForm = nullptr;

TSimpleDBForm::TSimpleDBForm(TComponent* owner)
    : TTemplateDBForm(owner, Data),
      DataTitle(&Data.AddStringField("Title", 80)),
      DataLink(&Data.AddStringField("Link", 256)),
      DataDescription(&Data.AddMemoField("Description")),
      ui_(std::make_unique<Ui::SimpleDBForm>()) {
  Data.SetIndex({"TitleIndex", "Title", true});
  Data.BeforePost = [this](TDataSet& dataSet) { DataBeforePost(dataSet); };
  Data.AfterPost = [this](TDataSet& dataSet) { DataAfterPost(dataSet); };

  Ui::SimpleDBForm& ui = *ui_;
  ui.setupUi(this);
  for (TDBEdit* edit : {ui.TitleEd, ui.LinkEd}) edit->SetDataSource(&Source);
  ui.DescriptionMemo->SetDataSource(&Source);
  auto keyDown = [this](int& key, Qt::KeyboardModifiers shift) { TitleEdKeyDown(key, shift); };
  ui.TitleEd->OnKeyDown = ui.LinkEd->OnKeyDown = ui.DescriptionMemo->OnKeyDown = keyDown;

  BindToAction(*ui.AddBtn, *ui.AddAct);
  BindToAction(*ui.DeleteBtn, *ui.DeleteAct);
  connect(ui.AddAct, &QAction::triggered, this, Guarded(&TSimpleDBForm::AddActExecute, this));
  connect(ui.DeleteAct, &QAction::triggered, this, Guarded(&TSimpleDBForm::DeleteActExecute, this));
  connect(ui.SelectFileAct, &QAction::triggered, this, Guarded(&TSimpleDBForm::SelectFileActExecute, this));
  connect(ui.SelectFolderAct, &QAction::triggered, this, Guarded(&TSimpleDBForm::SelectFolderActExecute, this));
  connect(ui.ClearAct, &QAction::triggered, this, Guarded(&TSimpleDBForm::ClearActExecute, this));
  connect(ui.LinkBtn, &QPushButton::clicked, this, Guarded(&TSimpleDBForm::LinkBtnClick, this));
  connect(ui.LinkBtn, &QWidget::customContextMenuRequested, this, Guarded(&TSimpleDBForm::LinkBtnClick, this));

  SimpleDBForm = this;
  FormCreate();
}

TSimpleDBForm::~TSimpleDBForm() {
  if (SimpleDBForm == this) SimpleDBForm = nullptr;
}

QFileDialog& TSimpleDBForm::OpenDialog() {
  if (!openDialog_) {
    openDialog_ = new QFileDialog(this);
    openDialog_->setObjectName("OpenDialog");
    openDialog_->setFileMode(QFileDialog::ExistingFile);
    openDialog_->setNameFilter("All files(*.*) (*)");
  }
  return *openDialog_;
}

void TSimpleDBForm::AddActExecute() {
  ThenUpdateControls([this] {
    Data.Edit();
    Data.Insert();
    DataTitle->SetAsString("Title");
    Data.Post();
  });
}

void TSimpleDBForm::DeleteActExecute() {
  ThenUpdateControls([this] {
    if (!Data.IsEmpty()) Data.Delete();
  });
}

void TSimpleDBForm::TitleEdKeyDown(int& key, Qt::KeyboardModifiers) {
  if (!IsEnterKey(key)) return;
  Data.Edit();
  Data.Post();
}

void TSimpleDBForm::LinkBtnClick() { ui_->PopupMenu->popup(QCursor::pos()); }

void TSimpleDBForm::SelectFileActExecute() {
  QFileDialog& dialog = OpenDialog();
  dialog.setDirectory(QString::fromStdString(ProgramFolder));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  Data.Edit();
  DataLink->SetAsString(StoredText(dialog.selectedFiles().first()));
  Data.Post();
}

void TSimpleDBForm::SelectFolderActExecute() {
  std::string folder;
  if (!PickFolder("Select Folder", ProgramFolder, folder)) return;
  Data.Edit();
  DataLink->SetAsString(folder);
  Data.Post();
}

void TSimpleDBForm::ClearActExecute() {
  Data.Edit();
  DataLink->SetAsString("");
  Data.Post();
}

void TSimpleDBForm::DataBeforePost(TDataSet&) {
  DataLink->SetAsString(StoredRelativePath(ProgramFolder, DataLink->AsString()));
}

void TSimpleDBForm::DataAfterPost(TDataSet&) { RefreshCurrentMenu(); }

void TSimpleDBForm::UpdateControls() {
  const bool empty = Data.IsEmpty();
  const Ui::SimpleDBForm& ui = *ui_;
  ui.DeleteAct->setEnabled(!empty);
  for (QWidget* control : std::initializer_list<QWidget*>{ui.LinkBtn, ui.TitleEd, ui.TitleLbl, ui.LinkEd,
                                                          ui.DescriptionMemo, ui.DescriptionLbl})
    control->setEnabled(!empty);
}

}  // namespace orb
