// Penman-Monteith on 6,575 measured days (AZMET Maricopa 2003-2020, tests/reference): every
// route to ET0 stays within what a day can be.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "data/csv_reader.hpp"
#include "season/calendar.hpp"
#include "season/et0.hpp"

namespace vantrel {
namespace {

struct Measured {
  int day_of_year = 0;
  double rs = 0, tmax = 0, tmin = 0, tdew = 0, rh_max = 0, rh_min = 0, wind = 0;
};

std::vector<Measured> maricopa() {
  std::ifstream in(VANTREL_SOURCE_DIR "/tests/reference/maricopa_2003_2020.csv");
  CsvReader reader(in);
  std::vector<Measured> days;
  CsvRecord row;
  if (!reader.next(row)) return days;  // the header
  while (reader.next(row)) {
    EXPECT_EQ(row.error, "") << row.line;
    if (!row.error.empty()) continue;
    const auto& f = row.fields;
    days.push_back({day_of_year(*parse_iso_date(f[0])), std::stod(f[1]), std::stod(f[2]),
                    std::stod(f[3]), std::stod(f[4]), std::stod(f[5]), std::stod(f[6]),
                    std::stod(f[7])});
  }
  return days;
}

TEST(Et0OnRealDays, EveryRouteStaysWithinWhatADayCanBe) {
  const std::vector<Measured> days = maricopa();
  ASSERT_EQ(days.size(), 6575U);
  const Station station{33.069, 361};
  enum Route { kDewPoint, kHumidityPair, kRsFromTemperature, kRoutes };
  const char* names[kRoutes] = {"dew point", "rh_max and rh_min", "Rs from the temperature range"};
  double sum[kRoutes] = {};
  for (const Measured& m : days) {
    for (int route = 0; route < kRoutes; ++route) {
      DailyWeather d;
      d.day_of_year = m.day_of_year;
      d.tmax_c = m.tmax;
      d.tmin_c = m.tmin;
      d.wind_m_s = m.wind;
      d.wind_height_m = 3;
      if (route == kHumidityPair) {
        d.rh_max = m.rh_max;
        d.rh_min = m.rh_min;
      } else {
        d.tdew_c = m.tdew;
      }
      if (route != kRsFromTemperature) d.rs_mj_m2 = m.rs;
      const Et0Steps s = penman_monteith(d, station);
      SCOPED_TRACE(std::string(names[route]) + ", day " + std::to_string(m.day_of_year));
      ASSERT_TRUE(std::isfinite(s.et0));
      EXPECT_GE(s.et0, 0.0);
      EXPECT_LE(s.et0, 25.0);
      EXPECT_LE(s.rs, s.ra);  // no more sun than above the atmosphere
      EXPECT_GT(s.rnl, 0.0);  // Rs/Rso at 0.3 or more: a surface always loses long-wave
      EXPECT_LE(s.rn, s.rns);
      EXPECT_LE(s.ea, s.es * 1.25);  // AZMET's humidity and dew point need not agree exactly
      sum[route] += s.et0;
    }
  }
  // A hot, dry desert: about 5 mm a day on average by every route, which agree within 10 %.
  for (int route = 0; route < kRoutes; ++route) {
    const double mean = sum[route] / static_cast<double>(days.size());
    EXPECT_GT(mean, 4.0) << names[route];
    EXPECT_LT(mean, 7.0) << names[route];
    EXPECT_NEAR(mean, sum[kDewPoint] / static_cast<double>(days.size()), 0.1 * mean)
        << names[route];
  }
}

}  // namespace
}  // namespace vantrel
