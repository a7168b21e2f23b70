#pragma once
// TOrbExecText: a label that shows one field of the current record and
// launches a stored link when clicked. Its own click handler runs first,
// then the launcher. It shows the hand cursor.

#include <functional>

#include "controls/DBText.h"
#include "controls/OrbDBExecute.h"

namespace orb {

class TOrbExecText : public TDBText {
  Q_OBJECT
  // The launcher's kind word.
  Q_PROPERTY(QString ExecuteStr READ ExecuteStr WRITE SetExecuteStr)

 public:
  explicit TOrbExecText(QWidget* parent = nullptr);

  QString ExecuteStr() const { return QString::fromStdString(dbExecute_.ExecuteStr()); }
  void SetExecuteStr(const QString& kind) { dbExecute_.SetExecuteStr(kind.toStdString()); }

  TOrbDBExecute& DBExecute() { return dbExecute_; }

  // The form's click handler; it runs before the launch.
  std::function<void()> OnClick;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void Click();

  TOrbDBExecute dbExecute_;
  bool pressed_ = false;
};

}  // namespace orb
