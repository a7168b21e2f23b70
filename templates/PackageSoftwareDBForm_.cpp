#include "templates/PackageSoftwareDBForm_.h"

#include <string>
#include <vector>

#include "controls/ActionButton.h"
#include "controls/DataAware.h"
#include "platform/ErrorReport.h"
#include "ui_PackageSoftwareDBForm_.h"

namespace orb {

TPackageSoftwareDBForm* PackageSoftwareDBForm = nullptr;

namespace {

// The nested record's fields: the five titles, then the five links.
std::vector<TFieldDef> SoftwaresFields() {
  std::vector<TFieldDef> fields;
  for (int slot = 1; slot <= TPackageSoftwareDBForm::kSlots; ++slot)
    fields.push_back(TFieldDef::String("Title" + std::to_string(slot), 120));
  for (int slot = 1; slot <= TPackageSoftwareDBForm::kSlots; ++slot)
    fields.push_back(TFieldDef::String("Link" + std::to_string(slot), 300));
  return fields;
}

}  // namespace

TPackageSoftwareDBForm::TPackageSoftwareDBForm(TComponent* owner)
    : TTemplateDBForm(owner, PackageData),
      PackageDataName(&PackageData.AddStringField("Name", 120)),
      PackageDataSerial(&PackageData.AddStringField("Serial", 300)),
      PackageDataDescription(&PackageData.AddMemoField("Description")),
      PackageDataSoftwares(&PackageData.AddNestedField("Softwares", SoftwaresFields())),
      ui_(std::make_unique<Ui::PackageSoftwareDBForm>()) {
  PackageData.SetIndex({"NameIndex", "Name", true});
  PackageData.AfterPost = [this](TDataSet& dataSet) { PackageDataAfterPost(dataSet); };
  SoftwaresData.SetDataSetField(PackageDataSoftwares);
  auto field = [this](const char* name) { return &SoftwaresData.FieldByName(name); };
  SoftwaresDataTitle1 = field("Title1");
  SoftwaresDataTitle2 = field("Title2");
  SoftwaresDataTitle3 = field("Title3");
  SoftwaresDataTitle4 = field("Title4");
  SoftwaresDataTitle5 = field("Title5");
  SoftwaresDataLink1 = field("Link1");
  SoftwaresDataLink2 = field("Link2");
  SoftwaresDataLink3 = field("Link3");
  SoftwaresDataLink4 = field("Link4");
  SoftwaresDataLink5 = field("Link5");
  DetailSrc.SetDataSet(&SoftwaresData);

  Ui::PackageSoftwareDBForm& ui = *ui_;
  ui.setupUi(this);
  for (TDBEdit* edit : {ui.NameEd, ui.SerialEd}) edit->SetDataSource(&MasterSrc);
  ui.DescriptionMemo->SetDataSource(&MasterSrc);
  for (TDBEdit* edit : {ui.TitleDBEd, ui.LinkDBEd}) edit->SetDataSource(&DetailSrc);
  auto keyDown = [this](int& key, Qt::KeyboardModifiers shift) { NameEdKeyDown(key, shift); };
  for (TDBEdit* edit : {ui.NameEd, ui.SerialEd, ui.TitleDBEd, ui.LinkDBEd}) edit->OnKeyDown = keyDown;
  ui.DescriptionMemo->OnKeyDown = keyDown;
  ui.OrbLinkButton->SetLinkField(SoftwaresDataLink1);

  BindToAction(*ui.DeleteBtn, *ui.DeleteAct);
  connect(ui.AddBtn, &QPushButton::clicked, this, Guarded(&TPackageSoftwareDBForm::AddBtnClick, this));
  connect(ui.DeleteAct, &QAction::triggered, this, Guarded(&TPackageSoftwareDBForm::DeleteActExecute, this));
  connect(ui.TabControl, &TTabControl::tabChanged, this, Guarded(&TPackageSoftwareDBForm::TabControlChange, this));
  connect(ui.OrbLinkButton, &TOrbLinkButton::linkChanged, this,
          Guarded(&TPackageSoftwareDBForm::OrbLinkButtonLinkChanged, this));

  PackageSoftwareDBForm = this;
  FormCreate();
}

TPackageSoftwareDBForm::~TPackageSoftwareDBForm() {
  if (PackageSoftwareDBForm == this) PackageSoftwareDBForm = nullptr;
}

std::array<TField*, TPackageSoftwareDBForm::kSlots> TPackageSoftwareDBForm::SlotLinks() const {
  return {SoftwaresDataLink1, SoftwaresDataLink2, SoftwaresDataLink3, SoftwaresDataLink4, SoftwaresDataLink5};
}

void TPackageSoftwareDBForm::SetUpLoadedData() {
  TOrbLinkButton& linkButton = *ui_->OrbLinkButton;
  linkButton.SetInternetVisible(false);
  linkButton.SetEmailVisible(false);
  linkButton.SetBaseFolder(ProgramFolder);
}

// Editing first, so that the insert posts or drops what is pending and
// exactly one new package results, also on an empty store.
void TPackageSoftwareDBForm::AddRecord() {
  ThenUpdateControls([this] {
    PackageData.Edit();
    PackageData.Insert();
    PackageDataName->SetAsString("Title");
    PackageData.Post();
  });
}

void TPackageSoftwareDBForm::DeleteActExecute() {
  ThenUpdateControls([this] {
    if (!SoftwaresData.IsEmpty()) SoftwaresData.Delete();
    if (!PackageData.IsEmpty()) PackageData.Delete();
  });
}

// Posting the package posts its pending program slot with it. The key is
// not consumed: in the description Enter still starts a new line.
void TPackageSoftwareDBForm::NameEdKeyDown(int& key, Qt::KeyboardModifiers) {
  if (!IsEnterKey(key)) return;
  PackageData.Edit();
  PackageData.Post();
}

// A nested record being edited is posted; one still being inserted (the
// package's first slot typed into) stays pending until the package is
// posted. The same three controls then show the selected slot.
void TPackageSoftwareDBForm::TabControlChange() {
  const Ui::PackageSoftwareDBForm& ui = *ui_;
  const int slot = ui.TabControl->TabIndex();
  if (SoftwaresData.State() == TDataSetState::Edit) SoftwaresData.Post();
  ui.TitleDBEd->SetDataField(QStringLiteral("Title%1").arg(slot + 1));
  ui.LinkDBEd->SetDataField(QStringLiteral("Link%1").arg(slot + 1));
  ui.OrbLinkButton->SetLinkField(SlotLinks()[std::size_t(slot)]);
}

// The link button posts the nested record only; the package is posted too,
// so that a chosen link is kept like every other change of the editor.
void TPackageSoftwareDBForm::OrbLinkButtonLinkChanged() {
  PackageData.Edit();
  PackageData.Post();
}

void TPackageSoftwareDBForm::PackageDataAfterPost(TDataSet&) { RefreshCurrentMenu(); }

void TPackageSoftwareDBForm::UpdateControls() {
  const bool empty = PackageData.IsEmpty();
  const Ui::PackageSoftwareDBForm& ui = *ui_;
  ui.DeleteAct->setEnabled(!empty);
  for (QWidget* control : std::initializer_list<QWidget*>{
           ui.NameEd, ui.NameLbl, ui.SerialEd, ui.SerialLbl, ui.DescriptionMemo, ui.DescriptionLbl, ui.TitleDBEd,
           ui.TitleLbl, ui.OrbLinkButton, ui.LinkDBEd, ui.TabControl})
    control->setEnabled(!empty);
}

}  // namespace orb
