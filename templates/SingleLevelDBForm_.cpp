#include "templates/SingleLevelDBForm_.h"

#include <QShowEvent>

#include <array>
#include <string_view>

#include "controls/DataAware.h"
#include "controls/OpenPictureDialog.h"
#include "controls/RightAnchor.h"
#include "platform/ErrorReport.h"
#include "ui_SingleLevelDBForm_.h"

namespace orb {

TSingleLevelDBForm* SingleLevelDBForm = nullptr;

namespace {

constexpr const char* kIconFilter = "Icon (*.ico)|*.ico|Bitmap (*.bmp)|*.bmp";
constexpr const char* kBitmapFilter = "Bitmap (*.bmp)|*.bmp";

// What choosing a property name shows: the memo or the edit bound to the
// field, and for the two pictures the button that picks a file, with its
// dialog's filter.
struct TPropertyEditor {
  std::string_view Label;
  bool Memo;
  const char* Field;
  const char* Filter;  // nullptr: no button, and the filter stays
};

constexpr std::array<TPropertyEditor, 8> kPropertyEditors{{
    {"Company", false, "Company", nullptr},
    {"Description", true, "", nullptr},
    {"E-mail", false, "email", nullptr},
    {"Icon", false, "Icon", kIconFilter},
    {"Internet", false, "Internet", nullptr},
    {"Key Registration", false, "Key", nullptr},
    {"Picture", false, "Picture", kBitmapFilter},
    {"Serial Number", false, "Serial", nullptr},
}};

}  // namespace

TSingleLevelDBForm::TSingleLevelDBForm(TComponent* owner)
    : TTemplateDBForm(owner, Data),
      DataTitle(&Data.AddStringField("Title", 300)),
      DataLink(&Data.AddStringField("Link", 300)),
      DataAction(&Data.AddStringField("Action", 300)),
      DataDescription(&Data.AddMemoField("Description")),
      DataIcon(&Data.AddStringField("Icon", 300)),
      DataPicture(&Data.AddStringField("Picture", 300)),
      DataSerial(&Data.AddStringField("Serial", 400)),
      DataKey(&Data.AddStringField("Key", 400)),
      DataCompany(&Data.AddStringField("Company", 100)),
      DataInternet(&Data.AddStringField("Internet", 300)),
      Dataemail(&Data.AddStringField("email", 100)),
      ui_(std::make_unique<Ui::SingleLevelDBForm>()) {
  Ui::SingleLevelDBForm& ui = *ui_;
  ui.setupUi(this);
  ui.DBLookupListBox1->SetListSource(&Source);
  for (TDBEdit* edit : std::initializer_list<TDBEdit*>{ui.TitleEd, ui.LinkEd, ui.DBEdit}) edit->SetDataSource(&Source);
  ui.ActionLbl->SetDataSource(&Source);
  ui.DescriptionMemo->SetDataSource(&Source);
  ui.LinkBtn->SetLinkField(DataLink);
  ui.LinkBtn->SetActionField(DataAction);
  for (QWidget* control : std::initializer_list<QWidget*>{ui.TitleEd, ui.LinkEd, ui.ItemsGB, ui.ListBox, ui.DBEdit,
                                                          ui.DescriptionMemo})
    AnchorRight(*control);

  connect(ui.AddBtn, &QPushButton::clicked, this, Guarded(&TSingleLevelDBForm::AddBtnClick, this));
  // A row chosen by mouse or keyboard; the row a focused list merely marks
  // as current is no choice.
  connect(ui.ListBox, &QListWidget::itemSelectionChanged, this, Guarded(&TSingleLevelDBForm::ListBoxClick, this));
  connect(ui.EditBtn, &QPushButton::clicked, this, Guarded(&TSingleLevelDBForm::EditBtnClick, this));

  SingleLevelDBForm = this;
  FormCreate();
}

TSingleLevelDBForm::~TSingleLevelDBForm() {
  if (SingleLevelDBForm == this) SingleLevelDBForm = nullptr;
}

TOpenPictureDialog& TSingleLevelDBForm::OpenPictureDialog() {
  if (!openPictureDialog_) {
    openPictureDialog_ = new TOpenPictureDialog(this);
    openPictureDialog_->setObjectName("OpenPictureDialog");
  }
  return *openPictureDialog_;
}

void TSingleLevelDBForm::SetUpLoadedData() { ui_->LinkBtn->SetBaseFolder(ProgramFolder); }

// Editing first, so that the insert posts or drops what is pending and
// exactly one new entry results, also on an empty store.
void TSingleLevelDBForm::AddRecord() {
  Data.Edit();
  Data.Insert();
  DataTitle->SetAsString("Title");
  Data.Post();
  DoAdd();
}

void TSingleLevelDBForm::DoAdd() {
  if (onAdd_) onAdd_(this);
}

void TSingleLevelDBForm::showEvent(QShowEvent* event) {
  TTemplateDBForm::showEvent(event);
  // The system's own show events (a minimized window restored) are no new showing.
  if (!event->spontaneous()) Guard(&TSingleLevelDBForm::FormShow, this);
}

void TSingleLevelDBForm::FormShow() {
  if (ui_->ListBox->count() == 0) ui_->ItemsGB->hide();
}

void TSingleLevelDBForm::ListBoxClick() {
  const Ui::SingleLevelDBForm& ui = *ui_;
  const QList<QListWidgetItem*> selected = ui.ListBox->selectedItems();
  if (selected.isEmpty()) return;
  const std::string label = selected.first()->text().toStdString();
  for (const TPropertyEditor& editor : kPropertyEditors) {
    if (editor.Label != label) continue;
    const QString caption = QString::fromUtf8(editor.Label.data(), editor.Label.size());
    ui.ItemsGB->setTitle(caption);
    ui.DBEdit->setVisible(!editor.Memo);
    ui.DescriptionMemo->setVisible(editor.Memo);
    ui.DBEdit->SetDataField(QString::fromUtf8(editor.Field));
    ui.EditBtn->setVisible(editor.Filter != nullptr);
    if (editor.Filter) {
      ui.EditBtn->setText(caption);
      OpenPictureDialog().SetFilter(QString::fromUtf8(editor.Filter));
    }
    return;
  }
}

// The chosen file is kept as its full path.
void TSingleLevelDBForm::EditBtnClick() {
  TOpenPictureDialog& dialog = OpenPictureDialog();
  if (!dialog.Execute()) return;
  TField& field = Data.FieldByName(ui_->DBEdit->DataField().toStdString());
  Data.Edit();
  field.SetAsString(StoredText(dialog.FileName()));
  Data.Post();
}

}  // namespace orb
