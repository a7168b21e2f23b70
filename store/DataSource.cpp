#include "store/DataSource.h"

#include <algorithm>

#include "store/DataSet.h"

namespace orb {

// ---- TDataSource

TDataSource::~TDataSource() {
  SetDataSet(nullptr);
  for (TDataLink* link : links_) link->dataSource_ = nullptr;
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
  if (dataSet_ == dataSet) return;
  if (dataSet_) dataSet_->RemoveObserver(this);
  dataSet_ = dataSet;
  if (dataSet_) dataSet_->AddObserver(this);
  ActiveChanged();
}

template <typename F>
void TDataSource::ForEachLink(F&& call) {
  std::vector<TDataLink*> links = links_;
  for (TDataLink* link : links)
    if (std::find(links_.begin(), links_.end(), link) != links_.end()) call(*link);
}

void TDataSource::ActiveChanged() { ForEachLink([](TDataLink& l) { l.ActiveChanged(); }); }
void TDataSource::RecordMoved() { ForEachLink([](TDataLink& l) { l.RecordMoved(); }); }
void TDataSource::DataChanged() { ForEachLink([](TDataLink& l) { l.DataChanged(); }); }
void TDataSource::FieldChanged(const TField& field) { ForEachLink([&](TDataLink& l) { l.FieldChanged(field); }); }
void TDataSource::StateChanged() { ForEachLink([](TDataLink& l) { l.StateChanged(); }); }
void TDataSource::RowsChanging(const TRowChange& change) { ForEachLink([&](TDataLink& l) { l.RowsChanging(change); }); }
void TDataSource::RowsChanged(const TRowChange& change) { ForEachLink([&](TDataLink& l) { l.RowsChanged(change); }); }
void TDataSource::UpdateData() { ForEachLink([](TDataLink& l) { l.UpdateData(); }); }

void TDataSource::DataSetDestroyed() {
  dataSet_ = nullptr;
  ForEachLink([](TDataLink& l) { l.DataSetDestroyed(); });
}

// ---- TDataLink

TDataLink::~TDataLink() {
  if (dataSource_) std::erase(dataSource_->links_, this);
}

void TDataLink::SetDataSource(TDataSource* dataSource) {
  if (dataSource_ == dataSource) return;
  if (dataSource_) std::erase(dataSource_->links_, this);
  dataSource_ = dataSource;
  if (dataSource_) dataSource_->links_.push_back(this);
  ActiveChanged();
}

bool TDataLink::Active() const {
  TDataSet* dataSet = DataSet();
  return dataSet && dataSet->Active();
}

bool TDataLink::Editing() const {
  TDataSet* dataSet = DataSet();
  return dataSet && (dataSet->State() == TDataSetState::Edit || dataSet->State() == TDataSetState::Insert);
}

bool TDataLink::Edit() {
  if (!Active()) return false;
  DataSet()->Edit();
  return Editing();
}

// ---- TFieldDataLink

void TFieldDataLink::SetFieldName(std::string name) {
  fieldName_ = std::move(name);
  ResolveField();
  FireDataChange();
}

void TFieldDataLink::ResolveField() {
  TDataSet* dataSet = DataSet();
  field_ = dataSet && dataSet->Active() && !fieldName_.empty() ? dataSet->FindField(fieldName_) : nullptr;
}

void TFieldDataLink::FireDataChange() {
  modified_ = false;
  if (OnDataChange) OnDataChange();
}

void TFieldDataLink::Reset() { FireDataChange(); }

void TFieldDataLink::ActiveChanged() {
  ResolveField();
  editing_ = Editing();
  if (OnActiveChange) OnActiveChange();
  FireDataChange();
}

void TFieldDataLink::RecordMoved() { FireDataChange(); }

void TFieldDataLink::DataChanged() {
  // A packet that defines its fields anew replaces the field objects.
  ResolveField();
  FireDataChange();
}

void TFieldDataLink::FieldChanged(const TField& field) {
  if (&field == field_) FireDataChange();
}

void TFieldDataLink::StateChanged() {
  bool editing = Editing();
  if (editing == editing_) return;
  editing_ = editing;
  if (OnEditingChange) OnEditingChange();
}

void TFieldDataLink::UpdateData() {
  if (!modified_) return;
  modified_ = false;
  if (OnUpdateData) OnUpdateData();
}

void TFieldDataLink::DataSetDestroyed() {
  field_ = nullptr;
  editing_ = false;
  if (OnActiveChange) OnActiveChange();
}

}  // namespace orb
