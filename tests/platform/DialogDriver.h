// Drives modal dialogs from the event loop they run, the way a user would.
#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace orb::test {

// Runs the event loop until the condition holds or five seconds have passed;
// whether it holds.
inline bool WaitUntil(const std::function<bool()>& condition) {
  QDeadlineTimer deadline(5000);
  while (!condition()) {
    if (deadline.hasExpired()) return false;
    QEventLoop pause;
    QTimer::singleShot(10, &pause, &QEventLoop::quit);
    pause.exec();
  }
  return true;
}

// Once the next modal dialog shows, answers it with `answer`. A dialog that
// the answer leaves open (a failed assertion) is cancelled, so no test hangs.
inline void WhenDialogShows(std::function<void(QDialog&)> answer) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll, answer = std::move(answer)] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    answer(*dialog);
    if (dialog->isVisible()) dialog->reject();
  });
  poll->start(10);
}

inline QPushButton* Button(QDialog& dialog, QDialogButtonBox::StandardButton which) {
  return dialog.findChild<QDialogButtonBox*>()->button(which);
}

}  // namespace orb::test
