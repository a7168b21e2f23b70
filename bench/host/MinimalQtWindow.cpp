// The peer of the first-frame benchmark: a Qt program that shows one empty
// window of the given size (default 457x230, the Simple menu's) and runs
// until it is ended.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QWidget window;
  const QStringList size = argc > 1 ? QString(argv[1]).split('x') : QStringList{"457", "230"};
  window.resize(size.value(0).toInt(), size.value(1).toInt());
  window.show();
  return application.exec();
}
