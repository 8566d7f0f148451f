// The season's readers and balance on arbitrary bytes: a weather file, then after a form feed a
// crop stages file; every readable station runs each readable crop's season, which must stay
// finite, keep its depletion within 0 and the total available water, its stress and runoff within
// their bounds, and close its balance.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "schedule/schedule_run.hpp"
#include "season/weather_file.hpp"

namespace {

void check_season(const vantrel::RootZone& zone, const vantrel::CropStages& crop,
                  const vantrel::StationWeather& station) {
  const auto days = vantrel::water_balance(zone, crop, station.days);
  double in = 0, out = 0, depletion = zone.initial_depletion;
  for (const vantrel::BalanceDay& d : days) {
    for (const double v :
         {d.kc, d.etc, d.etc_adj, d.runoff, d.depletion, d.net, d.gross, d.deep_percolation})
      if (!std::isfinite(v) || v < 0) __builtin_trap();
    if (d.depletion > zone.taw + d.etc + 1e-6 * (1 + d.etc)) __builtin_trap();
    if (d.ks < 0 || d.ks > 1 || d.etc_adj > d.etc * (1 + 1e-12) || d.runoff > d.rain)
      __builtin_trap();
    in += d.rain - d.runoff + d.net;
    out += d.etc_adj + d.deep_percolation;
    depletion = d.depletion;
  }
  // Sum of ETc adj = rain - runoff + irrigation - percolation + the depletion's rise.
  const double error = out - in - (depletion - zone.initial_depletion);
  if (std::abs(error) > 1e-6 * (1 + in + out)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vantrel;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t feed = bytes.find('\f');
  std::istringstream weather_text(bytes.substr(0, feed));
  const WeatherFile weather = read_weather(weather_text, Station{45, 100});
  CropStageTable stages;
  std::string error;
  if (feed != std::string::npos) {
    std::istringstream stages_text(bytes.substr(feed + 1));
    if (!read_crop_stages(stages_text, stages, error)) stages.clear();
  }
  if (!weather.problems.empty()) return 0;
  stages.emplace("", CropStages{0.3, 1.2, 0.6, 10, 20, 30, 20});
  RootZone zone{120, 50, 80, 10, 300};
  zone.curve_number = 80;  // runoff on the storms the fuzzer writes
  int runs = 0;
  for (const StationWeather& station : weather.stations) {
    for (const auto& [name, crop] : stages) {
      if (++runs > 8) return 0;
      check_season(zone, crop, station);
    }
  }
  return 0;
}
