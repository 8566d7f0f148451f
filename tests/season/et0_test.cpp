// The daily Penman-Monteith ET0 against FAO-56's worked examples, each step to the rounding
// the paper prints.
#include "season/et0.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace vantrel {
namespace {

// FAO-56 Example 18: 6 July (day 187) at Uccle, Brussels, 50°48'N, 100 m: Tmax 21.5 °C,
// Tmin 12.3 °C, RHmax 84 %, RHmin 63 %, wind 10 km/h at 10 m, 9.25 hours of sunshine.
TEST(Et0, TheWorkedExampleOfUccleStepByStep) {
  DailyWeather day;
  day.day_of_year = 187;
  day.tmax_c = 21.5;
  day.tmin_c = 12.3;
  day.rh_max = 84;
  day.rh_min = 63;
  day.wind_m_s = 10.0 / 3.6;
  day.wind_height_m = 10;
  day.sunshine_h = 9.25;
  const Et0Steps s = penman_monteith(day, {50.8, 100});
  struct Step {
    const char* name;
    double value, expected, rounding;
  } steps[] = {
      {"u2", s.u2, 2.078, 0.0005},         {"Tmean", s.t_mean, 16.9, 0.05},
      {"delta", s.delta, 0.122, 0.0005},   {"P", s.pressure, 100.1, 0.05},
      {"gamma", s.gamma, 0.0666, 0.00005}, {"es", s.es, 1.997, 0.0005},
      {"ea", s.ea, 1.409, 0.0005},         {"Ra", s.ra, 41.09, 0.005},
      {"N", s.daylight_hours, 16.1, 0.05}, {"Rs", s.rs, 22.07, 0.005},
      {"Rso", s.rso, 30.90, 0.005},        {"Rns", s.rns, 17.00, 0.005},
      {"Rnl", s.rnl, 3.71, 0.005},         {"Rn", s.rn, 13.28, 0.005},
      {"ET0", s.et0, 3.9, 0.05},
  };
  for (const Step& step : steps)
    EXPECT_NEAR(step.value, step.expected, step.rounding) << step.name;
  EXPECT_FALSE(s.rs_from_temperature);
}

// FAO-56 Example 15: solar radiation from the temperature range at Lyon (45°43'N, 200 m) in
// mid-July (day 196): Tmax 26.6 °C, Tmin 14.8 °C; Ra 40.6 MJ/m2/day, Rs 22.3 MJ/m2/day.
TEST(Et0, WithoutRadiationSolarRadiationComesFromTheTemperatureRange) {
  DailyWeather day;
  day.day_of_year = 196;
  day.tmax_c = 26.6;
  day.tmin_c = 14.8;
  day.rh_mean = 60;
  const Et0Steps s = penman_monteith(day, {45.0 + 43.0 / 60.0, 200});
  EXPECT_NEAR(s.ra, 40.6, 0.05);
  EXPECT_NEAR(s.rs, 22.3, 0.05);
  EXPECT_TRUE(s.rs_from_temperature);
}

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
