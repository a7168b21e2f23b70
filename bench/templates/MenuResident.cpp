// The probe of the memory benchmark: `bench_menu_resident menu|store MEDIUM`
// holds the Simple menu of the medium's catalogue on screen, or only the
// store loaded from it, and prints its resident size in kilobytes.
#include <QApplication>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "bench/store/SimpleCatalogue.h"
#include "framework/LowAPI_.h"
#include "templates/SimpleCDForm_.h"

namespace {

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  orb::ProgramFolder = std::string(argv[2]) + "/";
  orb::HostMode = true;
  if (std::strcmp(argv[1], "menu") == 0) {
    orb::TSimpleCDForm menu(nullptr);
    menu.show();
    QCoreApplication::processEvents();
    std::printf("%ld\n", ResidentKilobytes());
    return 0;
  }
  orb::TDataSet store;
  orb::bench::DeclareSimple(store);
  store.LoadFromFile(orb::ProgramFolder + "Data/db.xml");
  std::printf("%ld\n", ResidentKilobytes());
  return 0;
}
