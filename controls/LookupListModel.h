#pragma once
// TLookupListModel: the rows of a store, in its index order, as a list
// model: row r is the store's row r, and its text is the list field's value
// there, read when the view asks for it. Nothing is copied, so a store of
// 100,000 records lists at once. The model follows the store's row changes
// one row at a time, so a view keeps its selection and scroll position
// across a post; opening, closing or reordering the store resets it.

#include <QAbstractListModel>

#include <functional>
#include <string>

#include "store/DataSource.h"

namespace orb {

class TLookupListModel : public QAbstractListModel, public TDataLink {
  Q_OBJECT

 public:
  explicit TLookupListModel(QObject* parent = nullptr);

  // The field whose values the rows show.
  const std::string& ListField() const { return listField_; }
  void SetListField(std::string name);
  // The field, or nullptr while the store is closed or lacks it.
  TField* Field() const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // Whether the rows are being changed: the view's current row may move
  // while it is, and nobody must act on that.
  bool Changing() const { return changing_; }

  // Told after the rows changed or were reset, when the view's selection
  // may need to follow.
  std::function<void()> OnRowsChanged;

  void ActiveChanged() override;
  void RowsChanging(const TRowChange& change) override;
  void RowsChanged(const TRowChange& change) override;
  void DataSetDestroyed() override;

 private:
  void Reset();

  std::string listField_;
  bool changing_ = false;
};

}  // namespace orb
