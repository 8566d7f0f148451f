#include "season/water_balance.hpp"

#include <algorithm>

#include "profile/profile_math.hpp"

namespace vantrel {

std::string_view stage_name(Stage stage) {
  switch (stage) {
    case Stage::initial:
      return "initial";
    case Stage::development:
      return "development";
    case Stage::mid:
      return "mid";
    case Stage::late:
      return "late";
    case Stage::after:
      return "after";
  }
  return "after";
}

StageDay crop_coefficient(const CropStages& c, int day) {
  const int end_ini = c.l_ini, end_dev = end_ini + c.l_dev, end_mid = end_dev + c.l_mid;
  const int end_late = end_mid + c.l_late;
  const auto line = [](int i, int before, int length, double from, double to) {
    return length > 0 ? from + static_cast<double>(i - before) / length * (to - from) : to;
  };
  if (day <= end_ini) return {Stage::initial, c.kc_ini};
  if (day <= end_dev) return {Stage::development, line(day, end_ini, c.l_dev, c.kc_ini, c.kc_mid)};
  if (day <= end_mid) return {Stage::mid, c.kc_mid};
  if (day <= end_late) return {Stage::late, line(day, end_mid, c.l_late, c.kc_mid, c.kc_end)};
  return {Stage::after, c.kc_end};
}

std::vector<BalanceDay> water_balance(const RootZone& zone, const CropStages& crop,
                                      std::span<const WeatherDay> weather) {
  std::vector<BalanceDay> days;
  const int season = std::min<int>(crop.season_days(), static_cast<int>(weather.size()));
  days.reserve(static_cast<std::size_t>(std::max(season, 0)));
  double depletion = std::clamp(zone.initial_depletion, 0.0, zone.taw);
  for (int i = 1; i <= season; ++i) {
    const WeatherDay& w = weather[static_cast<std::size_t>(i - 1)];
    BalanceDay d;
    d.day = i;
    const StageDay stage = crop_coefficient(crop, i);
    d.stage = stage.stage;
    d.kc = stage.kc;
    d.et0 = w.et0;
    d.etc = d.kc * d.et0;
    d.rain = w.rain;
    d.p_pct = adjusted_depletion(static_cast<float>(zone.p_table_pct), static_cast<float>(d.etc));
    d.raw = d.p_pct / 100.0 * zone.taw;
    const double without = std::max(0.0, depletion - d.rain + d.etc);
    if (without > d.raw) {
      d.net = depletion;  // back to field capacity that morning
      d.gross = d.net * 100.0 / zone.efficiency_pct;
    }
    d.deep_percolation = std::max(0.0, d.rain + d.net - d.etc - depletion);
    // Water that percolates leaves the root zone at field capacity: exactly 0, not the
    // rounding of the sum (-2e-15 here, 0 there).
    depletion = d.deep_percolation > 0
                    ? 0.0
                    : std::max(0.0, depletion - d.rain - d.net + d.etc + d.deep_percolation);
    d.depletion = depletion;
    d.soil_water = zone.full_point - depletion;
    days.push_back(d);
  }
  return days;
}

}  // namespace vantrel
