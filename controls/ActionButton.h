#pragma once
// A push button that stands for a command: it shows the command's caption,
// is enabled exactly when the command is, and runs the command when clicked.

class QAbstractButton;
class QAction;

namespace orb {

void BindToAction(QAbstractButton& button, QAction& action);

}  // namespace orb
