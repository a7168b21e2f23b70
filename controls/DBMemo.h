#pragma once
// TDBMemo: a multi-line edit that shows and edits one field (usually a memo
// field) of the current record of a data source. Line breaks are stored as
// carriage return and line feed, as memo text written on Windows has them.
//
// TOrbDBMemo: the same, and Enter (with any modifier) commits the record at
// once, after the form's key handler; the key still starts a new line.

#include <QPlainTextEdit>

#include "controls/DataAware.h"
#include "store/DataSource.h"

namespace orb {

class TDBMemo : public QPlainTextEdit {
  Q_OBJECT
  Q_PROPERTY(QString DataField READ DataField WRITE SetDataField)

 public:
  explicit TDBMemo(QWidget* parent = nullptr);

  TDataSource* DataSource() const { return link_.DataSource(); }
  void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
  QString DataField() const { return QString::fromStdString(link_.FieldName()); }
  void SetDataField(const QString& name) { link_.SetFieldName(name.toStdString()); }

  // The form's key-down handler; it runs before the control's own reactions.
  TKeyDownEvent OnKeyDown;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

  bool commitOnEnter_ = false;

 private:
  void ShowField();
  // Puts text into the memo without counting as typing.
  void Show(const QString& text);
  void TextChanged();

  TFieldDataLink link_;
  bool showing_ = false;
};

class TOrbDBMemo : public TDBMemo {
  Q_OBJECT

 public:
  explicit TOrbDBMemo(QWidget* parent = nullptr) : TDBMemo(parent) { commitOnEnter_ = true; }
};

}  // namespace orb
