#include "controls/DBText.h"

#include "controls/DataAware.h"

namespace orb {

TDBText::TDBText(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  link_.OnDataChange = [this] { setText(FieldText(link_)); };
}

}  // namespace orb
