#include "controls/OrbExecButton.h"

#include "controls/DataAware.h"
#include "platform/ErrorReport.h"
#include "store/DataSet.h"

namespace orb {

TOrbExecButton::TOrbExecButton(QWidget* parent) : QPushButton(parent) {
  link_.OnDataChange = [this] { DataChange(); };
  connect(this, &QPushButton::clicked, this, Guarded(&TOrbExecButton::Click, this));
}

void TOrbExecButton::Click() {
  if (OnClick) OnClick();
  dbExecute_.Execute();
}

void TOrbExecButton::DataChange() {
  TField* field = link_.Field();
  setText(field && field->Kind() == TFieldKind::String ? FieldText(link_) : QString());
}

}  // namespace orb
