// The horizon-property search on a full 200 x 20 table. Target: under 1 ms for a typical
// horizon; the widening and absurd cases must stay within a few milliseconds.
#include <benchmark/benchmark.h>

#include <memory>

#include "physics/soil_properties.hpp"
#include "support/line_log.hpp"
#include "support/retention_builder.hpp"

namespace {

using vantrel::RetentionCurves;

std::unique_ptr<RetentionCurves> full_table() {
  auto table = std::make_unique<RetentionCurves>();
  vantrel::testing::fill_spread(*table, 200);
  return table;
}

void run(benchmark::State& state, const RetentionCurves& table, float top, float bottom, float sand,
         float clay) {
  vantrel::testing::LineLog side;
  float density = 0, saturated = 0, fc = 0, sp = 0, wp = 0;
  int count = 0;
  for (auto _ : state) {
    count = vantrel::SOIL_PROPERTIES(table, side, top, bottom, 1.3F, sand, clay, 10.0F, density,
                                     saturated, fc, sp, wp, false);
    benchmark::DoNotOptimize(fc);
  }
  state.counters["entries"] = count;
}

// A loam topsoil of 0-30 cm: found within the first passes.
void BM_TypicalHorizon(benchmark::State& state) {
  const auto table = full_table();
  run(state, *table, 0, 30, 40, 20);
}
BENCHMARK(BM_TypicalHorizon)->Unit(benchmark::kMicrosecond);

// The whole depth of a full table in which only two entries have a usable curve: the search
// widens until every entry that could ever qualify has, the longest search there is.
void BM_HorizonWideningToTheEnd(benchmark::State& state) {
  const auto table = full_table();
  for (int k = 1; k <= 200; ++k) {
    for (int j = 1; j <= 20; ++j)
      table->alpha(k, j) = -1.0F;  // non-integral n: no curve
  }
  table->alpha(7, 3) = 0.05F;
  table->alpha(150, 18) = 0.05F;
  run(state, *table, 0, 200, 40, 20);
}
BENCHMARK(BM_HorizonWideningToTheEnd)->Unit(benchmark::kMicrosecond);

// Every entry of the full depth, far from the horizon: the search must jump, not step.
void BM_FullWindowFarAway(benchmark::State& state) {
  const auto table = full_table();
  run(state, *table, 0, 200, 1e6F, 20);
}
BENCHMARK(BM_FullWindowFarAway)->Unit(benchmark::kMicrosecond);

}  // namespace
