#include "season/water_balance.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

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

double root_depth_on(const CropStages& crop, double root_max_cm, int day) {
  const int growing = crop.l_ini + crop.l_dev;
  if (!crop.root_ini_cm || *crop.root_ini_cm >= root_max_cm || growing <= 0) return root_max_cm;
  const double grown = std::min(1.0, static_cast<double>(std::max(day - 1, 0)) / growing);
  return *crop.root_ini_cm + (root_max_cm - *crop.root_ini_cm) * grown;
}

std::string_view strategy_name(Strategy strategy) {
  switch (strategy) {
    case Strategy::refill:
      return "refill";
    case Strategy::fixed_depth:
      return "fixed-depth";
    case Strategy::interval:
      return "interval";
    case Strategy::deficit:
      return "deficit";
    case Strategy::rainfed:
      return "rainfed";
  }
  return "refill";
}

double climate_kc(double kc, double u2, double rh_min, double height_m) {
  const double wind = std::clamp(u2, 1.0, 6.0), dry = std::clamp(rh_min, 20.0, 80.0);
  const double height = std::clamp(height_m, 0.1, 10.0);
  return kc + (0.04 * (wind - 2.0) - 0.004 * (dry - 45.0)) * std::pow(height / 3.0, 0.3);
}

namespace {

// The mean u2 and RHmin of days [from, to] (1 is the planting day) that give both.
std::optional<std::pair<double, double>> stage_climate(std::span<const WeatherDay> season, int from,
                                                       int to) {
  double u2 = 0, rh_min = 0;
  int n = 0;
  for (int day = std::max(from, 1); day <= to && day <= static_cast<int>(season.size()); ++day) {
    const WeatherDay& w = season[static_cast<std::size_t>(day - 1)];
    if (!w.u2 || !w.rh_min) continue;
    u2 += *w.u2;
    rh_min += *w.rh_min;
    ++n;
  }
  if (n == 0) return std::nullopt;
  return std::pair{u2 / n, rh_min / n};
}

}  // namespace

CropStages crop_for_climate(const CropStages& crop, std::span<const WeatherDay> season) {
  CropStages local = crop;
  if (!crop.height_m) return local;
  const int mid_start = crop.l_ini + crop.l_dev + 1, late_start = mid_start + crop.l_mid;
  if (const auto mid = stage_climate(season, mid_start, late_start - 1))
    local.kc_mid = climate_kc(crop.kc_mid, mid->first, mid->second, *crop.height_m);
  const auto late = stage_climate(season, late_start, late_start + crop.l_late - 1);
  if (late && crop.kc_end >= 0.45)
    local.kc_end = climate_kc(crop.kc_end, late->first, late->second, *crop.height_m);
  return local;
}

double curve_number_runoff(double rain, double curve_number, double rain_5_days) {
  double cn = std::clamp(curve_number, 1.0, 100.0);
  if (rain_5_days < 36.0) {
    cn = cn / (2.281 - 0.01281 * cn);
  } else if (rain_5_days > 53.0) {
    cn = cn / (0.427 + 0.00573 * cn);
  }
  cn = std::min(cn, 100.0);
  const double storage = 25400.0 / cn - 254.0;
  const double abstraction = 0.2 * storage;
  if (!(rain > abstraction)) return 0.0;
  return (rain - abstraction) * (rain - abstraction) / (rain + 0.8 * storage);
}

namespace {

// Whether the strategy lets the day be irrigated at all.
bool may_irrigate(const RootZone& zone, int day, int season_days) {
  if (zone.strategy == Strategy::rainfed) return false;
  if (zone.stop_days > 0 && day > season_days - zone.stop_days) return false;
  return !zone.last_irrigation_day || day <= *zone.last_irrigation_day;
}

// The water stress coefficient at a depletion (eq. 84): 1 within the readily available water,
// falling straight to 0 at the wilting point.
double stress_coefficient(double depletion, double taw, double raw) {
  if (!(depletion > raw) || !(taw > raw)) return 1.0;
  return std::clamp((taw - depletion) / (taw - raw), 0.0, 1.0);
}

struct Irrigation {
  double net = 0;
  IrrigationRule rule = IrrigationRule::none;
  bool capped = false;
};

// The morning's irrigation by the field's strategy: `without` is where the day would end
// without any, `raw` the day's trigger.
Irrigation irrigation_of(const RootZone& zone, int day, double depletion, double without,
                         double raw, double taw) {
  Irrigation i;
  if (zone.strategy == Strategy::interval) {
    if (zone.every_days <= 0 || day % zone.every_days != 0) return {};
    i = {zone.depth_mm > 0 ? zone.depth_mm : depletion, IrrigationRule::interval};
  } else if (!(without > raw)) {
    return {};
  } else if (zone.strategy == Strategy::fixed_depth) {
    i = {zone.depth_mm, IrrigationRule::fixed_depth};
  } else if (zone.strategy == Strategy::deficit) {
    i = {std::max(0.0, depletion - (1.0 - zone.refill_to_pct / 100.0) * taw),
         IrrigationRule::deficit};
  } else {
    i = {depletion, IrrigationRule::refill};  // back to field capacity that morning
  }
  if (zone.max_mm_day && i.net > *zone.max_mm_day) i = {*zone.max_mm_day, i.rule, true};
  return i.net > 0 ? i : Irrigation{};
}

// The stage's own trigger, where the field gives one.
std::optional<double> stage_trigger(const RootZone& zone, Stage stage) {
  const auto index = static_cast<std::size_t>(std::min(stage, Stage::late));
  return zone.mad_pct[index];
}

// The morning's irrigation: the given one up to today, else the strategy's.
void morning_irrigation(const RootZone& zone, int season_days, double depletion, double without,
                        BalanceDay& d) {
  if (zone.today && d.day <= *zone.today) {
    const auto given = zone.given_net.find(d.day);
    if (given == zone.given_net.end()) return;
    d.net = given->second;
    d.rule = IrrigationRule::given;
  } else if (may_irrigate(zone, d.day, season_days)) {
    const Irrigation planned = irrigation_of(zone, d.day, depletion, without, d.raw, d.taw);
    d.net = planned.net;
    d.rule = planned.rule;
    d.capped = planned.capped;
  }
  d.gross = d.net * 100.0 / zone.efficiency_pct;
}

// The rain of the five days before each day, for the runoff's antecedent moisture.
class RecentRain {
 public:
  explicit RecentRain(const std::array<double, 5>& before_planting) {
    for (int k = 1; k <= 5; ++k)  // day j's rain in slot j mod 5
      rain_[static_cast<std::size_t>((1 - k + 5) % 5)] = before_planting[k - 1];
  }
  double before() const {
    double sum = 0.0;
    for (const double r : rain_)
      sum += r;
    return sum;
  }
  void add(int day, double rain) { rain_[static_cast<std::size_t>(day % 5)] = rain; }

 private:
  std::array<double, 5> rain_{};
};

}  // namespace

std::vector<BalanceDay> water_balance(const RootZone& zone, const CropStages& crop,
                                      std::span<const WeatherDay> weather) {
  std::vector<BalanceDay> days;
  const int season = std::min<int>(crop.season_days(), static_cast<int>(weather.size()));
  days.reserve(static_cast<std::size_t>(std::max(season, 0)));
  const auto taw_at = [&](double root_depth) {
    return zone.taw_at ? zone.taw_at(root_depth) : zone.taw;
  };
  double root_depth = root_depth_on(crop, zone.root_max_cm, 1);
  double taw = taw_at(root_depth);
  double depletion = std::clamp(zone.initial_depletion, 0.0, taw);
  const double start_share = taw > 0 ? depletion / taw : 0.0;
  RecentRain recent(zone.rain_before);
  for (int i = 1; i <= season; ++i) {
    const WeatherDay& w = weather[static_cast<std::size_t>(i - 1)];
    if (i > 1 && zone.taw_at) {
      root_depth = root_depth_on(crop, zone.root_max_cm, i);
      const double grown = taw_at(root_depth);
      // The soil the roots reach brings its water: none missing at field capacity.
      if (zone.new_soil == NewSoil::as_start && grown > taw)
        depletion += (grown - taw) * start_share;
      taw = grown;
    }
    BalanceDay d;
    d.day = i;
    d.root_depth = root_depth;
    d.taw = taw;
    const StageDay stage = crop_coefficient(crop, i);
    d.stage = stage.stage;
    d.kc = stage.kc;
    d.et0 = w.et0;
    d.etc = d.kc * d.et0;
    d.rain = w.rain;
    if (zone.curve_number)
      d.runoff = curve_number_runoff(w.rain, *zone.curve_number, recent.before());
    recent.add(i, w.rain);
    const double infiltrated = d.rain - d.runoff;
    const std::optional<double> mad = stage_trigger(zone, d.stage);
    d.by_mad = mad.has_value();
    d.p_pct =
        mad ? *mad
            : adjusted_depletion(static_cast<float>(zone.p_table_pct), static_cast<float>(d.etc));
    d.raw = d.p_pct / 100.0 * taw;
    const double without = std::max(0.0, depletion - infiltrated + d.etc);
    morning_irrigation(zone, crop.season_days(), depletion, without, d);
    d.ks = stress_coefficient(depletion - d.net, taw, d.raw);
    d.etc_adj = d.ks * d.etc;
    d.deep_percolation = std::max(0.0, infiltrated + d.net - d.etc_adj - depletion);
    // Water that percolates leaves the root zone at field capacity: exactly 0, not the
    // rounding of the sum (-2e-15 here, 0 there).
    double next = depletion - infiltrated - d.net + d.etc_adj + d.deep_percolation;
    if (d.deep_percolation > 0) next = 0.0;
    if (next > taw) {  // a stressed crop takes no water past the wilting point
      d.etc_adj -= next - taw;
      next = taw;
    }
    depletion = std::max(0.0, next);
    d.depletion = depletion;
    d.soil_water = std::max(0.0, zone.full_point - depletion);  // a root zone holds no less
    d.root_fp = zone.fp_at ? zone.fp_at(root_depth) : zone.full_point;
    days.push_back(d);
  }
  return days;
}

}  // namespace vantrel
