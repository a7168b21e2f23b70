#pragma once
// TDBText: a label that shows one field of the current record of a data
// source, as plain text (a title holding "<" or "&" shows as written).
// With AutoSize its width follows the text.

#include <QLabel>

#include "controls/DataAware.h"

namespace orb {

class TDBText : public QLabel, public TFieldControl {
  Q_OBJECT
  Q_PROPERTY(QString DataField READ DataField WRITE SetDataField)
  Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)

 public:
  explicit TDBText(QWidget* parent = nullptr);

  // Whether the label takes the width of its text whenever the text changes.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);

 private:
  void ShowField();

  bool autoSize_ = false;
};

}  // namespace orb
