// The peers of the first-frame benchmark: a Qt program that shows one empty
// window of the given size (default 457x230, the Simple menu's) and runs
// until it is ended. With "--widgets" the window holds plain Qt widgets in
// the Simple menu's places instead: a list of as many titles as it shows, a
// bold label, a text box of three lines and a button. That peer shows what
// Qt itself takes to paint text, so the ratio against it is the menu's own
// work: project, data, picture and controls.
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

namespace {

void AddSimpleMenuWidgets(QWidget& window) {
  auto* list = new QListWidget(&window);
  list->setGeometry(0, 0, 177, 230);
  for (int row = 0; row < 16; ++row) list->addItem(QString("Office Tools %1 Setup").arg(row * 7919 % 100000));
  list->setCurrentRow(0);
  auto* title = new QLabel("Office Tools 0 Setup", &window);
  title->setGeometry(184, 16, 265, 17);
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  auto* description = new QPlainTextEdit("Suite for \"Reader\" & <Pro> it's ready\nViewer for \"Lite\"\nPlayer", &window);
  description->setGeometry(184, 56, 265, 137);
  description->setReadOnly(true);
  auto* button = new QPushButton("Install", &window);
  button->setGeometry(368, 200, 79, 25);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QWidget window;
  const QStringList arguments = application.arguments().mid(1);
  const bool widgets = arguments.contains("--widgets");
  const QStringList sizes = arguments.filter("x");
  const QStringList size = sizes.isEmpty() ? QStringList{"457", "230"} : sizes.first().split('x');
  window.resize(size.value(0).toInt(), size.value(1).toInt());
  if (widgets) AddSimpleMenuWidgets(window);
  window.show();
  return application.exec();
}
