#pragma once
// TCheckBox: a check box whose text is also its stored property "Caption",
// so that a medium's project can give it another text by name.

#include <QCheckBox>

namespace orb {

class TCheckBox : public QCheckBox {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ text WRITE setText)

 public:
  explicit TCheckBox(QWidget* parent = nullptr) : QCheckBox(parent) {}
};

}  // namespace orb
