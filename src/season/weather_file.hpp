// The weather file of a season: per station, one row a day with the date and either the
// reference evapotranspiration or the daily data the Penman-Monteith equation needs, and rain.
#pragma once

#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "data/table_header.hpp"
#include "season/calendar.hpp"
#include "season/et0.hpp"
#include "season/water_balance.hpp"

namespace vantrel {

// One station's days, consecutive from `first`.
struct StationWeather {
  std::string station;  // empty for a file without a station column
  DayNumber first = 0;
  std::vector<WeatherDay> days;
  bool rs_from_temperature = false;  // some day's radiation came from its temperature range
  DayNumber last() const { return first + static_cast<DayNumber>(days.size()) - 1; }
};

using WeatherProblem = TableProblem;

struct WeatherFile {
  std::vector<StationWeather> stations;
  std::vector<WeatherProblem> problems;  // any problem makes the file unusable
  std::vector<WeatherProblem> notes;     // worth saying, not a problem: unknown columns
  const StationWeather* find(const std::string& station) const;
};

// Reads the file. Columns, in any order and case: date (ISO 8601), and et0_mm, or tmax_c,
// tmin_c, a humidity (rh_max with rh_min, rh_mean, or tdew_c), wind_m_s (with wind_height_m,
// default 2) and a radiation (rs_mj_m2 or sunshine_h; without one, from the temperature
// range); rain_mm (default 0); station; latitude and elevation_m, else `station_place`.
// A missing day, a repeated or earlier date, or a value that is not a number is a problem
// named with its line.
WeatherFile read_weather(std::istream& in, const std::optional<Station>& station_place);

}  // namespace vantrel
