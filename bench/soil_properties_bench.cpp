// The horizon-property search on a full 200 x 20 table. Target: under 1 ms for a typical
// horizon; the widening and absurd cases must stay within a few milliseconds.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
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
  vantrel::testing::LineLog trace;
  float density = 0, saturated = 0, fc = 0, sp = 0, wp = 0;
  int count = 0;
  for (auto _ : state) {
    count = vantrel::SOIL_PROPERTIES(table, trace, top, bottom, 1.3F, sand, clay, 10.0F, density,
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

// The floor: the least work any estimate of the same horizon needs. One pass over the window
// computes the tolerance each entry needs; the third smallest admits three; the entries it
// admits are evaluated at the three suctions and averaged. The typical horizon above must
// stay within three times this.
void BM_TypicalHorizonFloor(benchmark::State& state) {
  const auto table = full_table();
  const float sand = 40, clay = 20, stones = 10;
  const vantrel::LayerWindow w = vantrel::layer_window(0, 30);
  const int width = w.last - w.first + 1;
  const std::size_t size = static_cast<std::size_t>(table->profile_count * width);
  std::vector<float> need(size);
  for (auto _ : state) {
    std::array<float, 3> least = {1e30F, 1e30F, 1e30F};
    for (int k = 1; k <= table->profile_count; ++k) {
      for (int j = w.first; j <= w.last; ++j) {
        float t =
            std::max(std::fabs(table->clay(k, j) - clay), std::fabs(table->sand(k, j) - sand));
        need[static_cast<std::size_t>((k - 1) * width + j - w.first)] = t;
        for (float& slot : least) {
          if (t < slot) std::swap(t, slot);
        }
      }
    }
    const float admit = std::max(5.0F, 5.0F + 2.0F * std::ceil((least[2] - 5.0F) / 2.0F));
    float sums[3] = {0, 0, 0};
    int count = 0;
    for (int k = 1; k <= table->profile_count; ++k) {
      for (int j = w.first; j <= w.last; ++j) {
        if (need[static_cast<std::size_t>((k - 1) * width + j - w.first)] > admit) continue;
        ++count;
        const double suctions[3] = {10, 100, 1500};
        for (int s = 0; s < 3; ++s) {
          sums[s] += static_cast<float>(
              vantrel::van_genuchten(table->theta_s(k, j), table->theta_r(k, j), table->alpha(k, j),
                                     table->n(k, j), table->m(k, j), suctions[s]));
        }
      }
    }
    const float fine_earth = 1.0F - stones / 100.0F;
    float fc = fine_earth * sums[0] / static_cast<float>(count);
    benchmark::DoNotOptimize(fc);
    state.counters["entries"] = count;
  }
}
BENCHMARK(BM_TypicalHorizonFloor)->Unit(benchmark::kMicrosecond);

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
