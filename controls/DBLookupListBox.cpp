#include "controls/DBLookupListBox.h"

#include <QScopedValueRollback>

#include "platform/ErrorReport.h"
#include "store/DataSet.h"

namespace orb {
namespace {

constexpr std::size_t kNoRow = std::size_t(-1);

}  // namespace

TDBLookupListBox::TDBLookupListBox(QWidget* parent) : QListView(parent) {
  setUniformItemSizes(true);  // a row's height is known without asking every row
  setEditTriggers(NoEditTriggers);
  setSelectionMode(SingleSelection);
  setModel(&model_);
  model_.OnRowsChanged = [this] {
    if (!selecting_) ShowKeyValue(false);
  };
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this, Guarded(&TDBLookupListBox::RowChosen, this));
}

void TDBLookupListBox::SetKeyField(const QString& name) {
  keyField_ = name.toStdString();
  ShowKeyValue(false);
}

TField* TDBLookupListBox::KeyFieldOfStore() const {
  TDataSet* dataSet = model_.DataSet();
  return dataSet && dataSet->Active() && !keyField_.empty() ? dataSet->FindField(keyField_) : nullptr;
}

std::string TDBLookupListBox::KeyOfRow(std::size_t row) const {
  TField* field = KeyFieldOfStore();
  return field ? std::string(field->DataSet().RowValue(row, *field)) : std::string();
}

std::string TDBLookupListBox::KeyOfCurrent() const {
  TField* field = KeyFieldOfStore();
  return field ? std::string(field->AsString()) : std::string();
}

void TDBLookupListBox::RowChosen() {
  TDataSet* dataSet = model_.DataSet();
  if (selecting_ || model_.Changing() || !dataSet || !dataSet->Active()) return;
  // Leaving the current record may post it and move rows: the chosen row is
  // followed through that, and the selection is left alone meanwhile.
  const QPersistentModelIndex chosen = currentIndex();
  {
    QScopedValueRollback<bool> leaving(selecting_, true);
    dataSet->CheckBrowseMode();
  }
  if (!chosen.isValid()) return;
  const std::size_t row = std::size_t(chosen.row());
  dataSet->MoveTo(row);
  keyValue_ = KeyOfRow(row);
  SelectRow(row);
}

void TDBLookupListBox::SetKeyValue(const std::string& value) {
  keyValue_ = value;
  if (KeyFieldOfStore() && KeyOfCurrent() != value) model_.DataSet()->Locate(keyField_, value);
  ShowKeyValue(true);
}

void TDBLookupListBox::ShowKeyValue(bool preferCurrent) {
  if (!KeyFieldOfStore() || model_.DataSet()->IsEmpty()) {
    SelectRow(kNoRow);
    return;
  }
  TDataSet& dataSet = *model_.DataSet();
  const int selected = currentIndex().row();
  if (!preferCurrent && selected >= 0 && KeyOfRow(std::size_t(selected)) == keyValue_) return;
  const std::size_t current = dataSet.CurrentRow();
  if (current < dataSet.RecordCount() && KeyOfCurrent() == keyValue_) {
    SelectRow(current);
    return;
  }
  const std::size_t found = dataSet.FindRow(keyField_, keyValue_);
  SelectRow(found < dataSet.RecordCount() ? found : kNoRow);
}

void TDBLookupListBox::SelectRow(std::size_t row) {
  QScopedValueRollback<bool> selecting(selecting_, true);
  if (row == kNoRow) {
    selectionModel()->clear();
  } else {
    QModelIndex index = model_.index(int(row));
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  }
}

}  // namespace orb
