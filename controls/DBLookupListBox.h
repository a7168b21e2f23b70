#pragma once
// TDBLookupListBox: a list of the list field's values of every record of a
// data source's store, in index order. Choosing a row, by mouse or keyboard,
// makes that row's record current and takes its key field's value as the
// list's key value. The selection shows the key value: it follows a move of
// the current record made elsewhere only when a new key value is set.

#include <QListView>

#include <string>

#include "controls/LookupListModel.h"

namespace orb {

class TDBLookupListBox : public QListView {
  Q_OBJECT
  Q_PROPERTY(QString ListField READ ListField WRITE SetListField)
  Q_PROPERTY(QString KeyField READ KeyField WRITE SetKeyField)

 public:
  explicit TDBLookupListBox(QWidget* parent = nullptr);

  TDataSource* ListSource() const { return model_.DataSource(); }
  void SetListSource(TDataSource* source) { model_.SetDataSource(source); }
  QString ListField() const { return QString::fromStdString(model_.ListField()); }
  void SetListField(const QString& name) { model_.SetListField(name.toStdString()); }
  QString KeyField() const { return QString::fromStdString(keyField_); }
  void SetKeyField(const QString& name);

  const std::string& KeyValue() const { return keyValue_; }
  // Takes the value as the key value. Only when it differs from the current
  // record's key is the first record with that key made current (or, when
  // none has it, the first record).
  void SetKeyValue(const std::string& value);

  const TLookupListModel& Model() const { return model_; }

 private:
  // The key field, or nullptr while the store is closed or lacks it.
  TField* KeyFieldOfStore() const;
  std::string KeyOfRow(std::size_t row) const;
  std::string KeyOfCurrent() const;
  void RowChosen();
  // Selects the row that shows the key value: the selected row while its key
  // is that value, else the current record when it has it (or always, when
  // preferCurrent), else the first record that has it; otherwise none.
  void ShowKeyValue(bool preferCurrent);
  // Selects the row, or nothing for npos.
  void SelectRow(std::size_t row);

  TLookupListModel model_;
  std::string keyField_;
  std::string keyValue_;
  bool selecting_ = false;
};

}  // namespace orb
