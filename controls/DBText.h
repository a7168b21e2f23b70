#pragma once
// TDBText: a label that shows one field of the current record of a data
// source, as plain text (a title holding "<" or "&" shows as written).
// With AutoSize its width follows the text.

#include <QLabel>

#include "store/DataSource.h"

namespace orb {

class TDBText : public QLabel {
  Q_OBJECT
  Q_PROPERTY(QString DataField READ DataField WRITE SetDataField)
  Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)

 public:
  explicit TDBText(QWidget* parent = nullptr);

  TDataSource* DataSource() const { return link_.DataSource(); }
  void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
  QString DataField() const { return QString::fromStdString(link_.FieldName()); }
  void SetDataField(const QString& name) { link_.SetFieldName(name.toStdString()); }
  // Whether the label takes the width of its text whenever the text changes.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);

 private:
  void ShowField();

  TFieldDataLink link_;
  bool autoSize_ = false;
};

}  // namespace orb
