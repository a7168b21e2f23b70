#include "controls/LookupListModel.h"

#include "platform/DisplayText.h"
#include "store/DataSet.h"

namespace orb {

TLookupListModel::TLookupListModel(QObject* parent) : QAbstractListModel(parent) {}

void TLookupListModel::SetListField(std::string name) {
  listField_ = std::move(name);
  Reset();
}

TField* TLookupListModel::Field() const {
  TDataSet* dataSet = DataSet();
  return dataSet && dataSet->Active() && !listField_.empty() ? dataSet->FindField(listField_) : nullptr;
}

int TLookupListModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !Field()) return 0;
  return int(DataSet()->RecordCount());
}

QVariant TLookupListModel::data(const QModelIndex& index, int role) const {
  TField* field = Field();
  if (role != Qt::DisplayRole || !field || index.row() < 0) return {};
  return DisplayText(DataSet()->RowValue(std::size_t(index.row()), *field));
}

void TLookupListModel::Reset() {
  changing_ = true;
  beginResetModel();
  endResetModel();
  changing_ = false;
  if (OnRowsChanged) OnRowsChanged();
}

void TLookupListModel::ActiveChanged() { Reset(); }

void TLookupListModel::DataSetDestroyed() { Reset(); }

void TLookupListModel::RowsChanging(const TRowChange& change) {
  if (!Field()) return;
  changing_ = true;
  const int row = int(change.Row);
  switch (change.Kind) {
    case TRowChange::Inserted:
      beginInsertRows(QModelIndex(), row, row);
      break;
    case TRowChange::Removed:
      beginRemoveRows(QModelIndex(), row, row);
      break;
    case TRowChange::Moved: {
      // Qt names the row before which the record goes, counted before the move.
      const int to = int(change.ToRow);
      beginMoveRows(QModelIndex(), row, row, QModelIndex(), to > row ? to + 1 : to);
      break;
    }
    case TRowChange::Reset:
      beginResetModel();
      break;
    case TRowChange::Changed:
      break;
  }
}

void TLookupListModel::RowsChanged(const TRowChange& change) {
  if (!changing_) return;
  switch (change.Kind) {
    case TRowChange::Inserted:
      endInsertRows();
      break;
    case TRowChange::Removed:
      endRemoveRows();
      break;
    case TRowChange::Moved:
      endMoveRows();
      break;
    case TRowChange::Reset:
      endResetModel();
      break;
    case TRowChange::Changed:
      emit dataChanged(index(int(change.Row)), index(int(change.Row)), {Qt::DisplayRole});
      break;
  }
  changing_ = false;
  if (OnRowsChanged) OnRowsChanged();
}

}  // namespace orb
