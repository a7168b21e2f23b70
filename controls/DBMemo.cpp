#include "controls/DBMemo.h"

#include "platform/ErrorReport.h"
#include "store/DataSet.h"

namespace orb {

TDBMemo::TDBMemo(QWidget* parent) : QPlainTextEdit(parent) {
  link_.OnDataChange = [this] { ShowField(); };
  link_.OnUpdateData = [this] {
    if (TField* field = link_.Field()) field->SetAsString(StoredText(toPlainText().replace('\n', "\r\n")));
  };
  connect(this, &QPlainTextEdit::textChanged, this, Guarded(&TDBMemo::TextChanged, this));
}

void TDBMemo::ShowField() { Show(FieldText(link_).replace("\r\n", "\n")); }

void TDBMemo::Show(const QString& text) {
  // The same text again keeps the caret and the scroll position.
  if (text == toPlainText()) return;
  showing_ = true;
  setPlainText(text);
  showing_ = false;
}

void TDBMemo::TextChanged() {
  if (showing_ || isReadOnly()) return;
  const QString typed = toPlainText();
  const int position = textCursor().position();
  if (!EnterEditState(link_)) return;
  if (toPlainText() != typed) {
    Show(typed);
    QTextCursor cursor = textCursor();
    cursor.setPosition(position);
    setTextCursor(cursor);
  }
  link_.Modified();
}

void TDBMemo::keyPressEvent(QKeyEvent* event) {
  if (HandleKeyDown(*event, OnKeyDown, link_, commitOnEnter_)) QPlainTextEdit::keyPressEvent(event);
}

}  // namespace orb
