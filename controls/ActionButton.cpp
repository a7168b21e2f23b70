#include "controls/ActionButton.h"

#include <QAbstractButton>
#include <QAction>

namespace orb {

void BindToAction(QAbstractButton& button, QAction& action) {
  auto follow = [&button, &action] {
    button.setText(action.text());
    button.setEnabled(action.isEnabled());
  };
  follow();
  QObject::connect(&action, &QAction::changed, &button, follow);
  QObject::connect(&button, &QAbstractButton::clicked, &action, &QAction::trigger);
}

}  // namespace orb
