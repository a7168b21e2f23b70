#pragma once
// TOrbExecButton: a push button that launches a stored link when pressed.
// Its own click handler runs first, then the launcher. Bound to a string
// field, the caption follows that field; bound to any other field it is
// empty; without a data source it keeps the caption its form gives it.

#include <QPushButton>

#include <functional>

#include "controls/DataAware.h"
#include "controls/OrbDBExecute.h"

namespace orb {

class TOrbExecButton : public QPushButton, public TFieldControl {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ text WRITE setText)
  Q_PROPERTY(QString DataField READ DataField WRITE SetDataField)
  // The launcher's kind word.
  Q_PROPERTY(QString ExecuteStr READ ExecuteStr WRITE SetExecuteStr)

 public:
  explicit TOrbExecButton(QWidget* parent = nullptr);

  QString ExecuteStr() const { return QString::fromStdString(dbExecute_.ExecuteStr()); }
  void SetExecuteStr(const QString& kind) { dbExecute_.SetExecuteStr(kind.toStdString()); }

  TOrbDBExecute& DBExecute() { return dbExecute_; }

  // The form's click handler; it runs before the launch.
  std::function<void()> OnClick;

 private:
  void Click();
  void DataChange();

  TOrbDBExecute dbExecute_;
};

}  // namespace orb
