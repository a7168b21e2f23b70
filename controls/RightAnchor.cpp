#include "controls/RightAnchor.h"

#include <QEvent>
#include <QWidget>

namespace orb {
namespace {

// Follows the parent's resizes; owned by the control.
class TRightAnchor : public QObject {
 public:
  explicit TRightAnchor(QWidget& control)
      : QObject(&control),
        control_(control),
        margin_(control.parentWidget()->width() - control.x() - control.width()) {
    control.parentWidget()->installEventFilter(this);
  }

  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Resize)
      control_.resize(control_.parentWidget()->width() - control_.x() - margin_, control_.height());
    return false;
  }

 private:
  QWidget& control_;
  int margin_;
};

}  // namespace

void AnchorRight(QWidget& control) { new TRightAnchor(control); }

}  // namespace orb
