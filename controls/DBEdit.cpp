#include "controls/DBEdit.h"

#include <algorithm>

#include "platform/ErrorReport.h"
#include "store/DataSet.h"

namespace orb {
namespace {

constexpr int kNoLimit = 32767;  // what a line edit takes by default

}  // namespace

TDBEdit::TDBEdit(QWidget* parent) : QLineEdit(parent) {
  link_.OnDataChange = [this] { ShowField(); };
  link_.OnUpdateData = [this] {
    if (TField* field = link_.Field()) field->SetAsString(StoredText(text()));
  };
  connect(this, &QLineEdit::textEdited, this, Guarded(&TDBEdit::UserEdited, this));
}

void TDBEdit::ShowField() {
  TField* field = link_.Field();
  const bool limited = field && field->Kind() == TFieldKind::String && field->Size() > 0;
  setMaxLength(limited ? int(std::min<std::size_t>(field->Size(), kNoLimit)) : kNoLimit);
  QString shown = FieldText(link_);
  if (shown != text()) setText(shown);
}

void TDBEdit::UserEdited(const QString& typed) {
  const int position = cursorPosition();
  if (!EnterEditState(link_)) return;
  if (text() != typed) {
    setText(typed);
    setCursorPosition(position);
  }
  link_.Modified();
}

void TDBEdit::keyPressEvent(QKeyEvent* event) {
  if (HandleKeyDown(*event, OnKeyDown, link_, commitOnEnter_)) QLineEdit::keyPressEvent(event);
}

}  // namespace orb
