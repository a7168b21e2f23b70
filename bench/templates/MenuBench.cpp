// Opening a 100,000-entry catalogue in the Simple menu against the store's
// own load of the same file, and the resident memory of the running menu
// against that of a process holding the loaded store alone. Both memory
// figures come from a probe process (MenuResident.cpp), each with its Qt
// application object on the offscreen platform, so that only the menu differs.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/store/SimpleCatalogue.h"
#include "framework/LowAPI_.h"
#include "templates/SimpleCDForm_.h"
#include "templates/SimpleDBForm_.h"

namespace {

namespace fs = std::filesystem;
using namespace orb;

constexpr std::size_t Records = 100000;

// A medium whose Data/db.xml holds the catalogue, made once per run.
const fs::path& Medium() {
  static const fs::path medium = [] {
    fs::path folder = fs::temp_directory_path() / ("orb-bench-menu-" + std::to_string(getpid()));
    fs::create_directories(folder / "Data");
    fs::copy_file(bench::CatalogueFile(Records), folder / "Data" / "db.xml", fs::copy_options::overwrite_existing);
    return folder;
  }();
  return medium;
}

QApplication& Qt() {
  static int argc = 1;
  static char name[] = "bench_menu";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Never destroyed: at exit Qt's own statics may already be gone.
  static QApplication* application = new QApplication(argc, argv);
  return *application;
}

void OpenMenu() {
  ProgramFolder = Medium().string() + "/";
  HostMode = true;
  TSimpleCDForm menu(nullptr);
  menu.show();
  QCoreApplication::processEvents();
  benchmark::DoNotOptimize(menu.Editor().Data.RecordCount());
}

void LoadStore() {
  TDataSet store;
  bench::DeclareSimple(store);
  store.LoadFromFile((Medium() / "Data" / "db.xml").string());
  benchmark::DoNotOptimize(store.RecordCount());
}

void Open_Ours(benchmark::State& state) {
  Qt();
  for (auto _ : state) OpenMenu();
}

void Open_Store(benchmark::State& state) {
  Medium();
  for (auto _ : state) LoadStore();
}

// Resident kilobytes of the probe holding the menu or the store alone.
double ResidentOfChild(const char* mode) {
  std::string command = std::string(ORB_MENU_RESIDENT) + " " + mode + " '" + Medium().string() + "' 2>/dev/null";
  FILE* child = popen(command.c_str(), "r");
  double kilobytes = 0;
  if (child && std::fscanf(child, "%lf", &kilobytes) != 1) kilobytes = 0;
  if (child) pclose(child);
  return kilobytes;
}

// The manual time of the memory cases is the resident size in megabytes, so
// that the ratio printed is the ratio of the sizes.
void Memory(benchmark::State& state, const char* mode) {
  Medium();
  for (auto _ : state) {
    double kilobytes = ResidentOfChild(mode);
    if (kilobytes <= 0) {
      state.SkipWithError("the child process failed");
      return;
    }
    state.SetIterationTime(kilobytes / 1024.0);
    state.counters["resident_MB"] = kilobytes / 1024.0;
  }
}

void Memory_Ours(benchmark::State& state) { Memory(state, "menu"); }
void Memory_Store(benchmark::State& state) { Memory(state, "store"); }

}  // namespace

BENCHMARK(Open_Ours)->Name("OpenCatalogue100k/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(Open_Store)->Name("OpenCatalogue100k/store-load")->Unit(benchmark::kMillisecond);
BENCHMARK(Memory_Ours)->Name("ResidentMB100k/ours")->UseManualTime()->Iterations(3)->Unit(benchmark::kSecond);
BENCHMARK(Memory_Store)->Name("ResidentMB100k/store-alone")->UseManualTime()->Iterations(3)->Unit(benchmark::kSecond);
