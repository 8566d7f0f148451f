#include "season/weather_file.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <set>

#include "data/csv_reader.hpp"
#include "data/fields.hpp"
#include "data/number_text.hpp"
#include "data/table_header.hpp"
#include "data/text.hpp"

namespace vantrel {

namespace {

enum Col {
  kDate,
  kStation,
  kEt0,
  kTmax,
  kTmin,
  kRhMax,
  kRhMin,
  kRhMean,
  kTdew,
  kWind,
  kWindHeight,
  kRs,
  kSunshine,
  kRain,
  kLatitude,
  kElevation,
  kColumns
};
constexpr CellKind kText = CellKind::text, kNumber = CellKind::number;
constexpr std::array<ColumnSpec, kColumns> kSpecs = {{
    {"date", true, kText},
    {"station", false, kText},
    {"et0_mm", false, kNumber},
    {"tmax_c", false, kNumber},
    {"tmin_c", false, kNumber},
    {"rh_max", false, kNumber},
    {"rh_min", false, kNumber},
    {"rh_mean", false, kNumber},
    {"tdew_c", false, kNumber},
    {"wind_m_s", false, kNumber},
    {"wind_height_m", false, kNumber},
    {"rs_mj_m2", false, kNumber},
    {"sunshine_h", false, kNumber},
    {"rain_mm", false, kNumber},
    {"latitude", false, kNumber},
    {"elevation_m", false, kNumber},
}};

std::string name_of(Col c) {
  return std::string(kSpecs[c].name);
}

class Row {
 public:
  Row(const TableHeader& header, const CsvRecord& record) : header_(header), record_(record) {}
  std::string text(Col c) const { return std::string(header_.text(record_.fields, c)); }
  // A number of the row, nothing when blank; false with the reason when not a number.
  bool number(Col c, std::optional<double>& value, std::string& reason) const {
    float v = 0;
    switch (read_table_number(header_.number_text(record_.fields, c), v)) {
      case TableNumber::blank:
        value.reset();
        return true;
      case TableNumber::value:
        value = v;
        return true;
      case TableNumber::invalid:
        reason = name_of(c) + " " + in_quotes(text(c)) + " is not a number";
        return false;
    }
    return false;
  }

 private:
  const TableHeader& header_;
  const CsvRecord& record_;
};

// What a measured value can be: what no station measures is a missing-value code (-999) or
// another unit (degrees F, W/m2), never weather. Outside, the arithmetic would still give a
// number (a negative humidity a NaN ET0, taken as 0), so the day is refused instead.
struct Bounds {
  Col col;
  double low, high;
};
constexpr double kNone = std::numeric_limits<double>::infinity();
constexpr double kLargestEt0 = 25;   // mm/day
constexpr double kLargestWind = 60;  // m/s at 2 m
constexpr Bounds kBounds[] = {
    {kEt0, 0, kLargestEt0}, {kRain, 0, 500},          {kTmax, -60, 60}, {kTmin, -60, 60},
    {kTdew, -60, 60},       {kRhMax, 0, 100},         {kRhMin, 0, 100}, {kRhMean, 0, 100},
    {kWind, 0, kNone},      {kWindHeight, 0.1, 50},   {kRs, 0, kNone},  {kSunshine, 0, 24},
    {kLatitude, -90, 90},   {kElevation, -500, 9000},
};
// A sunshine recorder's resolution, and a pyranometer's rounding.
constexpr double kSunshineTolerance = 0.1;   // h
constexpr double kRadiationTolerance = 0.1;  // MJ/m2/day

std::string number_text(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", v);
  return text;
}

// Values no station measures: outside the bounds, or a wind above 60 m/s at 2 m.
bool within_bounds(const Row& row, const std::array<std::optional<double>, kColumns>& v,
                   const WeatherDay& day, std::string& reason) {
  for (const Bounds& b : kBounds) {
    const std::optional<double>& value = v[b.col];
    if (!value || (*value >= b.low && *value <= b.high)) continue;
    reason = name_of(b.col) + " " + in_quotes(row.text(b.col)) +
             (*value < b.low ? " is below " + shortest_form(static_cast<float>(b.low))
                             : " is above " + shortest_form(static_cast<float>(b.high)));
    if (b.col == kTmax || b.col == kTmin || b.col == kTdew) {
      reason += " C: a missing-value code or degrees F, not a temperature in C";
    }
    return false;
  }
  if (day.u2 && *day.u2 > kLargestWind) {
    reason = "wind_m_s " + in_quotes(row.text(kWind)) + " is above " + number_text(kLargestWind) +
             " m/s at 2 m";
    return false;
  }
  return true;
}

// The sun's limits of the day: sunshine no longer than the day, radiation no more than the top
// of the atmosphere's.
bool within_the_suns_limits(const Row& row, const DailyWeather& w, const Station& station,
                            std::string& reason) {
  const double n = daylight_hours(station.latitude_deg, w.day_of_year);
  if (w.sunshine_h && *w.sunshine_h > n + kSunshineTolerance) {
    reason = "sunshine_h " + in_quotes(row.text(kSunshine)) + " is longer than the day (" +
             number_text(n) + " h)";
    return false;
  }
  const double ra = extraterrestrial_radiation(station.latitude_deg, w.day_of_year);
  if (w.rs_mj_m2 && *w.rs_mj_m2 > ra + kRadiationTolerance) {
    reason = "rs_mj_m2 " + in_quotes(row.text(kRs)) +
             " is above the day's extraterrestrial radiation Ra (" + number_text(ra) +
             " MJ/m2/day); W/m2 x 0.0864 gives MJ/m2/day";
    return false;
  }
  return true;
}

// The humidity the day gives, in one of its forms; false with the reason when none is whole.
bool has_humidity(const std::array<std::optional<double>, kColumns>& v, std::string& reason) {
  if (v[kRhMax] && v[kRhMin] && *v[kRhMin] > *v[kRhMax]) {
    reason = "rh_min is above rh_max";
    return false;
  }
  if (v[kTdew] || v[kRhMean] || (v[kRhMax] && v[kRhMin])) return true;
  reason = v[kRhMax] || v[kRhMin]
               ? "rh_max and rh_min come together"
               : "no humidity (rh_max with rh_min, rh_mean or tdew_c) to compute ET0";
  return false;
}

// The wind at 2 m and the minimum humidity Kc's climate adjustment reads, where the row gives
// them: RHmin from its column, else from the dew point at the day's maximum (FAO-56 eq. 63).
void climate_of(const std::array<std::optional<double>, kColumns>& v, WeatherDay& day) {
  if (v[kWind]) {
    const double height = v[kWindHeight].value_or(2.0);
    day.u2 = height == 2 ? *v[kWind] : *v[kWind] * 4.87 / std::log(67.8 * height - 5.42);
  }
  if (v[kRhMin]) {
    day.rh_min = *v[kRhMin];
  } else if (v[kTdew] && v[kTmax]) {
    day.rh_min = std::min(
        100.0, 100 * saturation_vapour_pressure(*v[kTdew]) / saturation_vapour_pressure(*v[kTmax]));
  }
}

// The day's ET0 and rain from a row; false with the reason.
bool read_day(const Row& row, const std::optional<Station>& place, int doy, WeatherDay& day,
              bool& from_temperature, std::string& reason) {
  std::array<std::optional<double>, kColumns> v;
  for (int c = kEt0; c < kColumns; ++c) {
    if (!row.number(static_cast<Col>(c), v[static_cast<std::size_t>(c)], reason)) return false;
  }
  day.rain = v[kRain].value_or(0.0);
  climate_of(v, day);
  if (!within_bounds(row, v, day, reason)) return false;
  if (v[kEt0]) {
    day.et0 = *v[kEt0];
    return true;
  }
  if (!v[kTmax] || !v[kTmin]) {
    reason = "no et0_mm, nor tmax_c and tmin_c to compute it";
    return false;
  }
  Station station;
  if (v[kLatitude] && v[kElevation]) {
    station = {*v[kLatitude], *v[kElevation]};
  } else if (place) {
    station = *place;
  } else {
    reason =
        "no latitude and elevation (columns latitude and elevation_m, or --latitude and "
        "--elevation) to compute ET0";
    return false;
  }
  DailyWeather w;
  w.day_of_year = doy;
  w.tmax_c = *v[kTmax];
  w.tmin_c = *v[kTmin];
  if (w.tmin_c > w.tmax_c) {
    reason = "tmin_c is above tmax_c";
    return false;
  }
  if (!has_humidity(v, reason)) return false;
  if (v[kTdew] && *v[kTdew] > w.tmax_c) {
    reason = "tdew_c is above tmax_c";
    return false;
  }
  w.rh_max = v[kRhMax];
  w.rh_min = v[kRhMin];
  w.rh_mean = v[kRhMean];
  w.tdew_c = v[kTdew];
  if (!v[kWind]) {
    reason = "no wind_m_s to compute ET0";
    return false;
  }
  w.wind_m_s = *v[kWind];
  w.wind_height_m = v[kWindHeight].value_or(2.0);
  w.rs_mj_m2 = v[kRs];
  w.sunshine_h = v[kSunshine];
  if (!within_the_suns_limits(row, w, station, reason)) return false;
  const Et0Steps steps = penman_monteith(w, station);
  if (steps.et0 > kLargestEt0) {
    reason = "the ET0 computed from the row, " + number_text(steps.et0) + " mm/day, is above " +
             number_text(kLargestEt0) + " mm/day: check the units";
    return false;
  }
  day.et0 = std::max(0.0, steps.et0);
  from_temperature = steps.rs_from_temperature;
  return true;
}

}  // namespace

const StationWeather* WeatherFile::find(const std::string& station) const {
  for (const StationWeather& s : stations)
    if (s.station == station) return &s;
  return nullptr;
}

namespace {

// A reason many rows share (a file that gives no place for ET0, say) is said once, at its
// first row, with how many more rows it concerns, rather than once a row.
void said_once(std::vector<WeatherProblem>& problems) {
  std::vector<WeatherProblem> once;
  std::map<std::string, std::pair<std::size_t, int>> seen;  // reason: its place, more rows
  std::vector<int> last;
  for (const WeatherProblem& p : problems) {
    const auto [at, fresh] = seen.try_emplace(p.reason, once.size(), 0);
    if (fresh) {
      once.push_back(p);
      last.push_back(p.line);
    } else {
      ++at->second.second;
      last[at->second.first] = p.line;
    }
  }
  for (const auto& [reason, place] : seen) {
    if (place.second == 0) continue;
    once[place.first].reason += " (and on " + std::to_string(place.second) + " more row" +
                                (place.second == 1 ? "" : "s") + ", to line " +
                                std::to_string(last[place.first]) + ")";
  }
  problems = std::move(once);
}

}  // namespace

namespace {

// The rows read so far, by station.
struct WeatherReading {
  WeatherFile& file;
  const std::optional<Station>& place;
  std::map<std::string, std::size_t> index;
  std::set<std::string> broken;  // stations whose dates jumped: their weather ends there

  // A station's days, made on its first row.
  StationWeather& station_of(const std::string& station, DayNumber first) {
    auto found = index.find(station);
    if (found == index.end()) {
      found = index.emplace(station, file.stations.size()).first;
      file.stations.push_back({station, first, {}, false});
    }
    return file.stations[found->second];
  }

  void take(const Row& row, int line) {
    const std::string station = row.text(kStation);
    if (broken.count(station) > 0) return;  // after its gap, said once
    const auto date = parse_iso_date(row.text(kDate));
    if (!date) {
      file.problems.push_back(
          {line, "date " + in_quotes(row.text(kDate)) + " is not a date as 2026-05-01"});
      // Taken as the day after the one before, blank, so that the days after it still follow.
      const auto known = index.find(station);
      if (known != index.end()) file.stations[known->second].days.emplace_back();
      return;
    }
    StationWeather& s = station_of(station, *date);
    if (!s.days.empty() && *date != s.last() + 1) {
      const DayNumber gap = *date - s.last() - 1;
      file.problems.push_back(
          {line, "date " + iso_date(*date) + " follows " + iso_date(s.last()) +
                     (gap > 0 ? ": " + std::to_string(gap) + " day(s) missing"
                              : ": dates must go forward one day at a time") +
                     "; the weather" + (station.empty() ? "" : " of " + station) + " ends there"});
      broken.insert(station);
      return;
    }
    WeatherDay day;
    bool from_temperature = false;
    std::string reason;
    if (!read_day(row, place, day_of_year(*date), day, from_temperature, reason)) {
      file.problems.push_back({line, reason});
      // The day is kept so that one bad value is not also reported as a gap.
      day = {};
    }
    s.rs_from_temperature = s.rs_from_temperature || from_temperature;
    s.days.push_back(day);
  }
};

}  // namespace

WeatherFile read_weather(std::istream& in, const std::optional<Station>& place) {
  WeatherFile file;
  CsvReader reader(in, CsvReader::kMaxLine, kFindSeparator);
  CsvRecord record;
  if (!reader.next(record)) {
    file.problems.push_back({1, "no header row"});
    return file;
  }
  TableHeader header(kSpecs);
  if (!record.error.empty()) {
    file.problems.push_back({record.line, record.error});
    return file;
  }
  if (const auto problem = header.read(record.fields)) {
    file.problems.push_back({record.line, *problem});
    return file;
  }
  for (const std::string& name : header.unknown())
    file.notes.push_back({record.line, "column " + in_quotes(name) + " is not used"});
  header.decimal_comma = reader.separator() == ';';
  WeatherReading reading{file, place, {}, {}};
  while (reader.next(record)) {
    if (!record.error.empty()) {
      file.problems.push_back({record.line, record.error});
      continue;
    }
    reading.take(Row(header, record), record.line);
  }
  said_once(file.problems);
  return file;
}

}  // namespace vantrel
