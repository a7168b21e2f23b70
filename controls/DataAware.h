#pragma once
// What the data-aware controls share: the key-down event that a form
// handles for them, the Enter test, and the conversion between a field's
// bytes and the text a control shows.

#include <QKeyEvent>
#include <QString>
#include <Qt>

#include <functional>
#include <string>

#include "store/DataSource.h"

namespace orb {

// The link of a control that shows one field of a data source; the control
// declares DataField as its Qt property, so a .ui file can name the field.
class TFieldControl {
 public:
  TDataSource* DataSource() const { return link_.DataSource(); }
  void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
  QString DataField() const { return QString::fromStdString(link_.FieldName()); }
  // Shows another field. Input the control holds for the field shown so
  // far is written into it first, so it is neither lost nor taken for the
  // new field.
  void SetDataField(const QString& name) {
    link_.UpdateData();
    link_.SetFieldName(name.toStdString());
  }

 protected:
  TFieldDataLink link_;
};

// A form's key-down handler for a control: it may change the key, or clear
// it (0) so that the control ignores the key.
using TKeyDownEvent = std::function<void(int& key, Qt::KeyboardModifiers shift)>;

// Return and the keypad's Enter are one key to the user.
inline bool IsEnterKey(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

// The text of the link's field in the current record, as a control shows it;
// empty when no field is bound.
QString FieldText(const TFieldDataLink& link);

// Text as the store keeps it.
std::string StoredText(const QString& text);

// Puts the store behind the link into edit state (which appends a record to
// an empty store) and posts it: the commit of the Enter key.
void CommitRecord(TFieldDataLink& link);

// The key-down handling of a data-aware edit or memo before the control sees
// the key: the form's handler, Escape giving up the typed text, and with
// commitOnEnter the commit of Enter. Runs inside the guard; returns whether
// the key should still reach the control (not when the handling failed or
// the form's handler cleared the key).
bool HandleKeyDown(QKeyEvent& event, const TKeyDownEvent& onKeyDown, TFieldDataLink& link, bool commitOnEnter);

// The user changed a control's text: puts the store into edit state and
// returns true. Entering edit state may show the field again (an empty store
// appends a record), so the control puts back what was typed before it calls
// the link's Modified. Where the store cannot edit, the field's text comes
// back and the result is false.
bool EnterEditState(TFieldDataLink& link);

}  // namespace orb
