#include "controls/DBText.h"

#include "controls/DataAware.h"

namespace orb {

TDBText::TDBText(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  link_.OnDataChange = [this] { ShowField(); };
}

void TDBText::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  ShowField();
}

void TDBText::ShowField() {
  setText(FieldText(link_));
  // Without text nothing shows, not even the margin of an empty label.
  if (autoSize_) resize(text().isEmpty() ? 0 : sizeHint().width(), height());
}

}  // namespace orb
