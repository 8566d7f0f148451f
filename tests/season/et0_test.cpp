// The daily Penman-Monteith ET0 beyond the paper's examples: every form of humidity, and days
// of polar light and darkness.
#include "season/et0.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace vantrel {
namespace {

// FAO-56's worked examples, step by step, are case files: tests/reference/fao56_*.csv.

TEST(Et0, HumidityFromAnyOfItsForms) {
  DailyWeather base;
  base.day_of_year = 187;
  base.tmax_c = 21.5;
  base.tmin_c = 12.3;
  base.sunshine_h = 9.25;
  DailyWeather dew = base;
  dew.tdew_c = 12.3;  // the dew point at the minimum: ea is e°(Tmin)
  DailyWeather none = base;
  DailyWeather mean = base;
  mean.rh_mean = 100;  // saturated: ea is es
  const Station uccle{50.8, 100};
  EXPECT_NEAR(penman_monteith(dew, uccle).ea, saturation_vapour_pressure(12.3), 1e-12);
  EXPECT_NEAR(penman_monteith(none, uccle).ea, saturation_vapour_pressure(12.3), 1e-12);
  EXPECT_NEAR(penman_monteith(mean, uccle).ea, penman_monteith(mean, uccle).es, 1e-12);
}

TEST(Et0, PolarDaysAndNightsStayFinite) {
  for (const double latitude : {-89.0, -66.0, 0.0, 66.0, 89.0}) {
    for (const int day : {1, 172, 355}) {
      DailyWeather d;
      d.day_of_year = day;
      d.tmax_c = 5;
      d.tmin_c = -5;
      const Et0Steps s = penman_monteith(d, {latitude, 0});
      EXPECT_GE(s.ra, 0) << latitude << " " << day;
      EXPECT_TRUE(std::isfinite(s.et0)) << latitude << " " << day;
      EXPECT_GE(s.daylight_hours, 0);
      EXPECT_LE(s.daylight_hours, 24);
    }
  }
}

}  // namespace
}  // namespace vantrel
