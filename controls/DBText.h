#pragma once
// TDBText: a label that shows one field of the current record of a data
// source, as plain text (a title holding "<" or "&" shows as written).

#include <QLabel>

#include "controls/DataAware.h"

namespace orb {

class TDBText : public QLabel, public TFieldControl {
  Q_OBJECT
  Q_PROPERTY(QString DataField READ DataField WRITE SetDataField)

 public:
  explicit TDBText(QWidget* parent = nullptr);

};

}  // namespace orb
