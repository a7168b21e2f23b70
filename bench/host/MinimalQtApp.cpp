// The peer of the start-up benchmark: a Qt program that creates its
// application object and ends.
#include <QApplication>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  return 0;
}
