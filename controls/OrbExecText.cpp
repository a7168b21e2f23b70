#include "controls/OrbExecText.h"

#include <QMouseEvent>

#include "platform/ErrorReport.h"

namespace orb {

TOrbExecText::TOrbExecText(QWidget* parent) : TDBText(parent) { setCursor(Qt::PointingHandCursor); }

void TOrbExecText::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  TDBText::mousePressEvent(event);
}

// A click is a left press and release over the label, as on a button.
void TOrbExecText::mouseReleaseEvent(QMouseEvent* event) {
  const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  TDBText::mouseReleaseEvent(event);
  if (click) Guard(&TOrbExecText::Click, this);
}

void TOrbExecText::Click() {
  if (OnClick) OnClick();
  dbExecute_.Execute();
}

}  // namespace orb
