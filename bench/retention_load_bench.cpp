// Loading a full 200-profile Soil_WRC.csv. Target: well under 10 ms.
#include <benchmark/benchmark.h>

#include <memory>
#include <sstream>

#include "data/retention_curves.hpp"
#include "support/temp_dir.hpp"
#include "support/wrc_text.hpp"

namespace {

void BM_LoadFullRetentionFile(benchmark::State& state) {
  const vantrel::testing::TempDir dir;
  const auto path = dir.write("Soil_WRC.csv", vantrel::testing::wrc_file(200));
  auto table = std::make_unique<vantrel::RetentionCurves>();
  std::ostringstream warnings;
  for (auto _ : state) {
    vantrel::load_retention_curves(path, *table, warnings);
    benchmark::DoNotOptimize(table->profile_count);
  }
  state.counters["profiles"] = table->profile_count;
}
BENCHMARK(BM_LoadFullRetentionFile)->Unit(benchmark::kMillisecond);

}  // namespace
