#pragma once
// TDBMemo: a multi-line edit that shows and edits one field (usually a memo
// field) of the current record of a data source. Line breaks are stored as
// carriage return and line feed, as memo text written on Windows has them.
//
// TOrbDBMemo: the same, and Enter (with any modifier) commits the record at
// once, after the form's key handler; the key still starts a new line.

#include <QPlainTextEdit>

#include "controls/DataAware.h"

namespace orb {

class TDBMemo : public QPlainTextEdit, public TFieldControl {
  Q_OBJECT
  Q_PROPERTY(QString DataField READ DataField WRITE SetDataField)

 public:
  explicit TDBMemo(QWidget* parent = nullptr);

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

  bool showing_ = false;
};

class TOrbDBMemo : public TDBMemo {
  Q_OBJECT

 public:
  explicit TOrbDBMemo(QWidget* parent = nullptr) : TDBMemo(parent) { commitOnEnter_ = true; }
};

}  // namespace orb
