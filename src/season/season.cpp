#include "season/season.hpp"

#include <algorithm>
#include <cmath>
#include <span>

#include "data/fields.hpp"
#include "data/number_text.hpp"
#include "data/table_header.hpp"
#include "data/text.hpp"
#include "season/season_choices.hpp"
#include "season/yield_response.hpp"

namespace vantrel {

namespace {

using namespace season_choices;

constexpr std::string_view kGiveStages =
    "give kc_ini, kc_mid, kc_end, l_ini, l_dev, l_mid and l_late";

// The crop's stages: the field's own columns when it gives all seven, else the table's.
std::optional<CropStages> stages_of(const SeasonColumns& columns, const ProfileInput& input,
                                    const std::string& crop, const CropStageTable& table,
                                    std::string& reason) {
  std::array<double, 7> v{};
  int given = 0;
  for (auto c = static_cast<std::size_t>(SeasonColumn::kc_ini);
       c <= static_cast<std::size_t>(SeasonColumn::l_late); ++c) {
    const Cell cell = cell_of(columns, input, static_cast<SeasonColumn>(c));
    if (cell.text.empty()) continue;
    const auto number = amount(columns, cell.text);
    if (!number) {
      reason = std::string(season_column_name(static_cast<SeasonColumn>(c))) + " " +
               in_quotes(cell.text) + " is not a number of 0 or more";
      return std::nullopt;
    }
    v[c - static_cast<std::size_t>(SeasonColumn::kc_ini)] = *number;
    ++given;
  }
  if (given == 7) return crop_stages_from(v, reason);
  if (given > 0) {
    reason = "give all seven of kc_ini, kc_mid, kc_end, l_ini, l_dev, l_mid and l_late, or none";
    return std::nullopt;
  }
  const auto found = table.find(crop);
  if (found != table.end()) return found->second;
  reason = crop.empty()
               ? "no crop stages: " + std::string(kGiveStages)
               : "no crop stages for crop " + in_quotes(crop) + ": " + std::string(kGiveStages);
  return std::nullopt;
}

// The field's station; the only station when the file has one and the field names none.
const StationWeather* station_of(const SeasonColumns& columns, const ProfileInput& input,
                                 const WeatherFile& weather, SeasonResult& s, int line) {
  const Cell station = cell_of(columns, input, SeasonColumn::station);
  const StationWeather* w = weather.find(station.text);
  if (w == nullptr && station.text.empty() && weather.stations.size() == 1)
    w = &weather.stations[0];
  if (w == nullptr) {
    say(s, "error",
        on_line(station.text.empty() ? line : station.line,
                "no weather for station " + in_quotes(station.text)));
  }
  return w;
}

// The starting depletion, mm below field capacity; nothing (with the reason said) when it
// cannot be a root zone's.
std::optional<double> initial_depletion(const SeasonColumns& columns, const ProfileInput& input,
                                        double taw, SeasonResult& s) {
  const Cell initial = cell_of(columns, input, SeasonColumn::initial_depletion_mm);
  if (initial.text.empty()) return 0.0;
  const auto depletion = amount(columns, initial.text);
  if (!depletion) {
    say(s, "error",
        on_line(initial.line, "initial_depletion_mm " + in_quotes(initial.text) +
                                  " is not a number of 0 or more"));
    return std::nullopt;
  }
  // Deeper than the total available water is drier than the wilting point, which no root
  // zone is; the first morning would then "irrigate" water the soil cannot hold.
  if (*depletion > taw) {
    say(s, "error",
        on_line(initial.line,
                "initial_depletion_mm " + in_quotes(initial.text) +
                    " is above the total available water of the planting day's root zone, " +
                    season_number(taw) + " mm"));
    return std::nullopt;
  }
  return *depletion;
}

// The field's given irrigations up to today as net depths by season day; each one outside the
// season, or after today, is named and left out.
void take_given(const SeasonTables& tables, DayNumber planting, int season_days, RootZone& zone,
                SeasonResult& s) {
  if (!tables.today) return;
  zone.today = static_cast<int>(*tables.today - planting) + 1;
  if (tables.given == nullptr) return;
  const auto found = tables.given->fields.find(s.profile);
  if (found == tables.given->fields.end()) return;
  for (const GivenIrrigation& g : found->second) {
    const int day = static_cast<int>(g.date - planting) + 1;
    const std::string where = "the irrigation of " + iso_date(g.date) + " (line " +
                              std::to_string(g.line) + " of the irrigations)";
    if (day < 1 || day > season_days) {
      say(s, "warning", where + " is outside the season and not counted");
    } else if (day > *zone.today) {
      say(s, "warning",
          where + " is after today, " + iso_date(*tables.today) + ", and not counted");
    } else {
      zone.given_net[day] += g.net_mm ? *g.net_mm : *g.gross_mm * zone.efficiency_pct / 100.0;
    }
  }
}

// Where the root zone is today, and the next irrigation the strategy plans.
void phone_answer(const SeasonTables& tables, SeasonResult& s) {
  const int today = tables.today ? static_cast<int>(*tables.today - s.first) + 1 : 0;
  if (tables.today && today >= 1 && today <= static_cast<int>(s.days.size())) {
    const BalanceDay& d = s.days[static_cast<std::size_t>(today - 1)];
    s.today = *tables.today;
    s.today_depletion = d.depletion;
    s.today_soil_water = d.soil_water;
  }
  for (const BalanceDay& d : s.days) {
    if (d.day <= today || d.net <= 0 || d.rule == IrrigationRule::given) continue;
    s.next_irrigation = s.first + d.day - 1;
    s.next_net = d.net;
    return;
  }
}

SeasonTotals totals_of(const std::vector<BalanceDay>& days) {
  SeasonTotals t;
  for (const BalanceDay& d : days) {
    t.etc += d.etc;
    t.rain += d.rain;
    t.net += d.net;
    t.gross += d.gross;
    t.deep_percolation += d.deep_percolation;
    t.runoff += d.runoff;
    t.etc_adj += d.etc_adj;
    t.irrigations += d.net > 0;
    t.stress_days += d.ks < 1;
  }
  t.effective_rain = t.rain - t.runoff - t.deep_percolation;
  return t;
}

}  // namespace

float season_value(double v) {
  return v == 0 ? 0.0F : static_cast<float>(v);  // a "-0" read is written 0
}

std::string season_number(double v) {
  return shortest_form(season_value(v));
}

SeasonResult season_of(const ProfileResult& field, const SeasonColumns& columns,
                       const ProfileInput& input, const SeasonTables& tables) {
  SeasonResult s;
  s.profile = field.name;
  s.first_line = field.first_line;
  s.fp = field.water.fp;
  if (field.status == ProfileStatus::error) {
    say(s, "error", field.message);
    return s;
  }
  if (field.status == ProfileStatus::warning) say(s, "warning", field.message);
  const Cell planting_cell = cell_of(columns, input, SeasonColumn::planting_date);
  s.planting = planting_cell.text;
  const auto planting = parse_iso_date(s.planting);
  if (!planting) {
    say(s, "error",
        on_line(s.planting.empty() ? field.first_line : planting_cell.line,
                "planting_date " + in_quotes(s.planting) + " is not a date as 2026-05-01"));
    return s;
  }
  std::string reason;
  auto crop = stages_of(columns, input, field.crop, tables.stages, reason);
  if (!crop) {
    say(s, "error", on_line(field.first_line, reason));
    return s;
  }
  if (!take_root_ini(columns, input, *crop, s) || !take_height(columns, input, *crop, s)) return s;
  const StationWeather* w = station_of(columns, input, tables.weather, s, field.first_line);
  if (w == nullptr) return s;
  if (*planting < w->first || *planting > w->last()) {
    say(s, "error",
        "the planting date " + iso_date(*planting) + " is outside the weather (" +
            iso_date(w->first) + " to " + iso_date(w->last()) + ")");
    return s;
  }
  RootZone zone;
  zone.taw = field.water.root_zone_taw;
  zone.p_table_pct = field.p_table;
  zone.efficiency_pct = field.efficiency;
  zone.full_point = field.water.fp;
  zone.root_max_cm = field.root_depth;
  // The day's root zone summed from the profile's horizons as the window sums them.
  zone.taw_at = [layers = field.layers](double root_depth) {
    return double{profile_water(layers, static_cast<float>(root_depth), 0.0F).root_zone_taw};
  };
  zone.fp_at = [layers = field.layers](double root_depth) {
    return double{profile_water(layers, static_cast<float>(root_depth), 0.0F).root_zone_fp};
  };
  if (!(zone.taw > 0)) {
    // Nothing to draw on and nothing to refill: a schedule would only count empty passes.
    say(s, "error",
        on_line(field.first_line, "the root zone holds no available water (TAW 0 mm over " +
                                      season_number(zone.root_max_cm) +
                                      " cm of roots): there is nothing to schedule"));
    return s;
  }
  if (!take_subsoil(columns, input, zone, s)) return s;
  if (!take_runoff(columns, input, zone, s) || !take_strategy(columns, input, zone, s) ||
      !take_stops(columns, input, *planting, zone, s)) {
    return s;
  }
  const double first_taw = zone.taw_at(root_depth_on(*crop, zone.root_max_cm, 1));
  const auto depletion = initial_depletion(columns, input, first_taw, s);
  if (!depletion) return s;
  zone.initial_depletion = *depletion;
  s.first = *planting;
  const auto offset = static_cast<std::size_t>(*planting - w->first);
  if (!tables.kc_as_table) *crop = crop_for_climate(*crop, std::span(w->days).subspan(offset));
  s.kc_mid = crop->kc_mid;
  s.kc_end = crop->kc_end;
  for (std::size_t k = 1; k <= 5 && k <= offset; ++k)
    zone.rain_before[k - 1] = w->days[offset - k].rain;
  take_given(tables, *planting, crop->season_days(), zone, s);
  s.days = water_balance(zone, *crop, std::span(w->days).subspan(offset));
  if (static_cast<int>(s.days.size()) < crop->season_days()) {
    say(s, "warning",
        "the weather ends on " + iso_date(w->last()) + ", day " + std::to_string(s.days.size()) +
            " of the season's " + std::to_string(crop->season_days()));
  }
  if (w->rs_from_temperature) {
    say(s, "warning", "solar radiation from the temperature range (FAO-56 eq. 50) on some days");
  }
  s.totals = totals_of(s.days);
  s.yield_reduction_pct = season_yield_reduction(crop->ky, s.days);
  s.yield_reduction_stages_pct = staged_yield_reduction(crop->ky_stage, s.days);
  phone_answer(tables, s);
  return s;
}

}  // namespace vantrel
