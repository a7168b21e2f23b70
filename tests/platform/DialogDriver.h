// Drives modal dialogs from the event loop they run, the way a user would.
#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QLineEdit>
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

// Chooses a file in a file dialog as a user types its name, and confirms it.
// The dialog reads its folder in the background and may put back the file
// chosen the last time once it is done, so the name is typed again until it
// stays.
inline void ChooseFile(QFileDialog& dialog, const QString& file) {
  auto* edit = dialog.findChild<QLineEdit*>("fileNameEdit");
  for (int unchanged = 0; unchanged < 3;) {
    unchanged = edit->text() == file ? unchanged + 1 : 0;
    if (unchanged == 0) edit->setText(file);
    QEventLoop pause;
    QTimer::singleShot(20, &pause, &QEventLoop::quit);
    pause.exec();
  }
  static_cast<QDialog&>(dialog).accept();
}

inline QPushButton* Button(QDialog& dialog, QDialogButtonBox::StandardButton which) {
  return dialog.findChild<QDialogButtonBox*>()->button(which);
}

}  // namespace orb::test
