#include "templates/SimpleCDForm_.h"

#include "templates/SimpleDBForm_.h"
#include "ui_SimpleCDForm_.h"

namespace orb {

TSimpleCDForm* SimpleCDForm = nullptr;

TSimpleCDForm::TSimpleCDForm(TComponent* owner) : TCDMenuForm(owner), ui_(std::make_unique<Ui::SimpleCDForm>()) {
  Ui::SimpleCDForm& ui = *ui_;
  ui.setupUi(this);
  editor_ = new TSimpleDBForm(this);

  ui.TitleListBox->SetListSource(&editor_->Source);
  ui.OrbExecText->SetDataSource(&editor_->Source);
  ui.OrbExecText->DBExecute().SetLinkField(editor_->DataLink);
  ui.DBMemo1->SetDataSource(&editor_->Source);
  ui.Install->DBExecute().SetLinkField(editor_->DataLink);

  CurrentDBForm = editor_;
  SimpleCDForm = this;
  RefreshMenu();
}

TSimpleCDForm::~TSimpleCDForm() {
  if (SimpleCDForm == this) SimpleCDForm = nullptr;
}

void TSimpleCDForm::RefreshMenu() {
  TCDMenuForm::RefreshMenu();
  ui_->TitleListBox->SetKeyValue(std::string(editor_->DataTitle->AsString()));
}

}  // namespace orb
