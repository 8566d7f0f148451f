// One field's season: its profile's advice, then its days from the planting date on its
// station's weather, or why it has none. No command line and no output format.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "advice/field_advice.hpp"
#include "season/calendar.hpp"
#include "season/crop_stages.hpp"
#include "season/irrigation_log.hpp"
#include "season/water_balance.hpp"
#include "season/weather_file.hpp"

namespace vantrel {

struct SeasonTotals {
  double etc = 0, rain = 0, effective_rain = 0, net = 0, gross = 0, deep_percolation = 0;
  double runoff = 0, etc_adj = 0;  // mm
  int irrigations = 0;
  int stress_days = 0;  // days with Ks below 1
};

struct SeasonResult {
  std::string profile, status = "ok", message, planting;
  DayNumber first = 0;  // the planting date
  std::vector<BalanceDay> days;
  SeasonTotals totals;
  double fp = 0;                  // the profile's full point, mm
  double kc_mid = 0, kc_end = 0;  // as the season used them
  // FAO-33's relative yield reduction 1 - Ya/Ym, %, of the season and by stage; nothing for a
  // crop without the factors.
  std::optional<double> yield_reduction_pct, yield_reduction_stages_pct;
  Strategy strategy = Strategy::refill;
  int every_days = 0;  // an interval strategy's
  // The answer an advisor gives on the phone: the root zone on `today` (the checkbook's day),
  // and the next irrigation the strategy plans after it (after the planting day without one).
  std::optional<DayNumber> today;
  double today_depletion = 0, today_soil_water = 0;  // mm
  std::optional<DayNumber> next_irrigation;
  double next_net = 0;  // mm
  int first_line = 0;
  bool computed() const { return status != "error"; }
};

// The season's columns of a profile file, beside the field's own.
enum class SeasonColumn {
  planting_date,
  initial_depletion_mm,
  station,
  kc_ini,
  kc_mid,
  kc_end,
  l_ini,
  l_dev,
  l_mid,
  l_late,
  root_ini_cm,
  subsoil_water,
  curve_number,
  strategy,
  stop_days,
  last_irrigation_date,
  depth_mm,
  max_mm_day,
  every_days,
  refill_to_pct,
  mad_ini_pct,
  mad_dev_pct,
  mad_mid_pct,
  mad_late_pct,
  height_m,
  ky,
  ky_ini,
  ky_dev,
  ky_mid,
  ky_late,
};
inline constexpr std::size_t kSeasonColumnCount = 30;
std::string_view season_column_name(SeasonColumn c);

// Where each season column stands in the header (index from 0), if it is there.
struct SeasonColumns {
  std::array<std::optional<std::size_t>, kSeasonColumnCount> index{};
  bool decimal_comma = false;  // as in the field's columns
  // Finds the season's columns among the header's names (any case, blanks around them).
  void read(const std::vector<std::string>& header);
  // Whether the header name `name` is one of the season's columns.
  static bool known(std::string_view name);
};

// What a season is computed from besides its profile.
struct SeasonTables {
  const CropStageTable& stages;
  const WeatherFile& weather;
  const IrrigationLog* given = nullptr;  // the irrigations actually given, by field
  std::optional<DayNumber> today{};      // up to it the given ones count, after it the plan
  bool kc_as_table = false;              // Kc mid and Kc end as the stages give them
};

// The season of one field from its advice: the planting date, the crop's stages (the
// profile's own seven columns, else the table's for its crop), its station's weather and the
// starting depletion. A field in error has no season; each reason is in the message.
SeasonResult season_of(const ProfileResult& field, const SeasonColumns& columns,
                       const ProfileInput& input, const SeasonTables& tables);

// An amount of water or a coefficient as the outputs write it: the shortest text that reads
// back as the same single-precision number.
std::string season_number(double v);
// The single-precision value that text is the shortest form of.
float season_value(double v);

}  // namespace vantrel
