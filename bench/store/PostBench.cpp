// Posting records one by one into an indexed store: the cost per record with
// 100,000 records against the cost with 1,000. Both cases post 100,000
// records per iteration, into one store or into a hundred stores of 1,000, so
// the printed ratio is the ratio of the costs per record. Destroying the
// stores afterwards is not posting and is left out of the time.
#include <benchmark/benchmark.h>

#include "bench/store/SimpleCatalogue.h"

namespace {

using namespace orb;

constexpr std::size_t Total = 100000;

void PostRecords(benchmark::State& state, std::size_t perStore) {
  std::vector<std::vector<bench::TEntry>> batches;
  for (std::size_t first = 0; first < Total; first += perStore) batches.push_back(bench::MakeEntries(perStore, 2 + static_cast<unsigned>(first)));
  for (auto _ : state) {
    std::vector<std::unique_ptr<TDataSet>> stores;
    for (const std::vector<bench::TEntry>& batch : batches) {
      TDataSet& store = *stores.emplace_back(std::make_unique<TDataSet>());
      bench::DeclareSimple(store);
      store.CreateDataSet();
      bench::PostEntries(store, batch);
      benchmark::DoNotOptimize(store.RecordCount());
    }
    state.PauseTiming();
    stores.clear();
    state.ResumeTiming();
  }
}

BENCHMARK_CAPTURE(PostRecords, in100000, Total)->Name("PostPerRecord/ours")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PostRecords, in1000, 1000)->Name("PostPerRecord/at1000")->Unit(benchmark::kMillisecond);

}  // namespace
