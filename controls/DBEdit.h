#pragma once
// TDBEdit: a one-line edit that shows and edits one field of the current
// record of a data source. Typing puts the store into edit state; the text
// is written into the field when the record is posted. A string field's
// width limits what can be typed.
//
// TOrbDBEdit: the same, and Enter (with any modifier) commits the record at
// once, after the form's key handler and before the edit sees the key.

#include <QLineEdit>

#include "controls/DataAware.h"

namespace orb {

class TDBEdit : public QLineEdit, public TFieldControl {
  Q_OBJECT
  Q_PROPERTY(QString DataField READ DataField WRITE SetDataField)

 public:
  explicit TDBEdit(QWidget* parent = nullptr);

  // The form's key-down handler; it runs before the control's own reactions.
  TKeyDownEvent OnKeyDown;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

  bool commitOnEnter_ = false;

 private:
  void ShowField();
  void UserEdited(const QString& typed);
};

class TOrbDBEdit : public TDBEdit {
  Q_OBJECT

 public:
  explicit TOrbDBEdit(QWidget* parent = nullptr) : TDBEdit(parent) { commitOnEnter_ = true; }
};

}  // namespace orb
