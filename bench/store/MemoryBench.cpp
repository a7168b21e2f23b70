// Memory of a loaded 100,000-record Simple catalogue against the file's size:
// the peak while loading and what the loaded store keeps. Every allocation of
// this program is counted, pugixml's included.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdlib>
#include <new>

#include <pugixml.hpp>

#include "bench/store/SimpleCatalogue.h"

namespace {

std::size_t liveBytes = 0;
std::size_t peakBytes = 0;

void* Counted(std::size_t size) {
  void* block = std::malloc(size ? size : 1);
  if (!block) return nullptr;
  liveBytes += malloc_usable_size(block);
  if (liveBytes > peakBytes) peakBytes = liveBytes;
  return block;
}

void Uncounted(void* block) {
  if (!block) return;
  liveBytes -= malloc_usable_size(block);
  std::free(block);
}

}  // namespace

void* operator new(std::size_t size) {
  if (void* block = Counted(size)) return block;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* block) noexcept { Uncounted(block); }
void operator delete[](void* block) noexcept { Uncounted(block); }
void operator delete(void* block, std::size_t) noexcept { Uncounted(block); }
void operator delete[](void* block, std::size_t) noexcept { Uncounted(block); }

namespace {

using namespace orb;

void LoadedMemory(benchmark::State& state) {
  pugi::set_memory_management_functions(Counted, Uncounted);
  const std::string path = bench::CatalogueFile(100000);
  double fileSize = static_cast<double>(std::filesystem::file_size(path));
  double peak = 0, kept = 0;
  for (auto _ : state) {
    std::size_t before = liveBytes;
    peakBytes = liveBytes;
    {
      TDataSet store;
      bench::DeclareSimple(store);
      store.LoadFromFile(path);
      kept = static_cast<double>(liveBytes - before);
    }
    peak = static_cast<double>(peakBytes - before);
  }
  state.counters["file_MB"] = fileSize / 1e6;
  state.counters["peak_per_file"] = peak / fileSize;
  state.counters["kept_per_file"] = kept / fileSize;
}

BENCHMARK(LoadedMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
