#include "templates/PackageSoftwareCDForm_.h"

#include "templates/PackageSoftwareDBForm_.h"
#include "ui_PackageSoftwareCDForm_.h"

namespace orb {

TPackageSoftwareCDForm* PackageSoftwareCDForm = nullptr;

TPackageSoftwareCDForm::TPackageSoftwareCDForm(TComponent* owner)
    : TCDMenuForm(owner), ui_(std::make_unique<Ui::PackageSoftwareCDForm>()) {
  Ui::PackageSoftwareCDForm& ui = *ui_;
  ui.setupUi(this);
  editor_ = new TPackageSoftwareDBForm(this);

  ui.NameListBox->SetListSource(&editor_->MasterSrc);
  ui.DBEdit1->SetDataSource(&editor_->MasterSrc);
  ui.DBMemo1->SetDataSource(&editor_->MasterSrc);
  TOrbExecText* programs[] = {ui.OrbExecText1, ui.OrbExecText2, ui.OrbExecText3, ui.OrbExecText4, ui.OrbExecText5};
  for (std::size_t slot = 0; slot < std::size(programs); ++slot) {
    programs[slot]->SetDataSource(&editor_->DetailSrc);
    programs[slot]->DBExecute().SetLinkField(editor_->SlotLinks()[slot]);
  }

  CurrentDBForm = editor_;
  PackageSoftwareCDForm = this;
  RefreshMenu();
}

TPackageSoftwareCDForm::~TPackageSoftwareCDForm() {
  if (PackageSoftwareCDForm == this) PackageSoftwareCDForm = nullptr;
}

void TPackageSoftwareCDForm::RefreshMenu() {
  TCDMenuForm::RefreshMenu();
  ui_->NameListBox->SetKeyValue(std::string(editor_->PackageDataName->AsString()));
}

}  // namespace orb
