// Loading and saving a 100,000-record Simple catalogue, against pugixml alone
// parsing and writing the same file.
#include <benchmark/benchmark.h>

#include <pugixml.hpp>

#include "bench/store/SimpleCatalogue.h"

namespace {

using namespace orb;

constexpr std::size_t Records = 100000;

const std::string& File() {
  static const std::string path = bench::CatalogueFile(Records);
  return path;
}

void Load_Ours(benchmark::State& state) {
  File();  // written before the clock runs
  for (auto _ : state) {
    TDataSet store;
    bench::DeclareSimple(store);
    store.LoadFromFile(File());
    benchmark::DoNotOptimize(store.RecordCount());
  }
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(File())) / 1e6;
}

void Load_Pugixml(benchmark::State& state) {
  File();
  for (auto _ : state) {
    pugi::xml_document document;
    benchmark::DoNotOptimize(document.load_file(File().c_str()));
  }
}

void Save_Ours(benchmark::State& state) {
  TDataSet store;
  bench::DeclareSimple(store);
  store.LoadFromFile(File());
  std::string target = File() + ".ours";
  for (auto _ : state) store.SaveToFile(target);
  std::filesystem::remove(target);
}

void Save_Pugixml(benchmark::State& state) {
  pugi::xml_document document;
  document.load_file(File().c_str());
  std::string target = File() + ".pugixml";
  for (auto _ : state) benchmark::DoNotOptimize(document.save_file(target.c_str(), "", pugi::format_raw));
  std::filesystem::remove(target);
}

BENCHMARK(Load_Ours)->Name("Load100k/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(Load_Pugixml)->Name("Load100k/pugixml")->Unit(benchmark::kMillisecond);
BENCHMARK(Save_Ours)->Name("Save100k/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(Save_Pugixml)->Name("Save100k/pugixml")->Unit(benchmark::kMillisecond);

}  // namespace
