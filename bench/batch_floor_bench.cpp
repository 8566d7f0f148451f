// The horizon estimates of bench/batch_bench.sh's input alone, on the bundled reference files:
// the physics any run over those profiles must do. The batch's horizons per second are held
// against this figure (its floor) in the same run.
#include <benchmark/benchmark.h>

#include <vector>

#include "data/trace_unit.hpp"
#include "physics/soil_properties.hpp"
#include "support/batch_tables.hpp"

namespace {

// The horizons of the script's awk generator (the same formulas), placed one under another as
// the replay places them.
std::vector<vantrel::HorizonQuery> bench_horizons(int profiles) {
  std::vector<vantrel::HorizonQuery> horizons;
  for (int p = 0; p < profiles; ++p) {
    float top = 0;
    for (int h = 1; h <= 3; ++h) {
      const int sand = (p * 37 + h * 11) % 85 + 5;
      const int clay = (p * 17 + h * 7) % (95 - sand);
      const auto thickness = static_cast<float>(15 + (p + h) % 40);
      vantrel::HorizonQuery q;
      q.top = top;
      q.bottom = top + thickness;
      q.sand = static_cast<float>(sand);
      q.clay = static_cast<float>(clay);
      q.stones = static_cast<float>((p * h) % 30);
      q.keep_entries = true;  // the batch keeps them for its warnings
      horizons.push_back(q);
      top = q.bottom;
    }
  }
  return horizons;
}

void BM_BatchInputEstimates(benchmark::State& state) {
  const vantrel::testing::AdviceTables tables;
  const std::vector<vantrel::HorizonQuery> horizons = bench_horizons(10000);
  vantrel::NullSink no_trace;
  for (auto _ : state) {
    for (const vantrel::HorizonQuery& q : horizons) {
      vantrel::HorizonEstimate e = vantrel::estimate_horizon(*tables.curves, q, no_trace);
      benchmark::DoNotOptimize(e.fc);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long long>(horizons.size()));
}
BENCHMARK(BM_BatchInputEstimates)->Unit(benchmark::kMillisecond);

}  // namespace
