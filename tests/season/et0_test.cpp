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

// Below Rs/Rso 0.3 eq. 39 would have an overcast surface gain long-wave radiation: the ratio is
// held at 0.3, so the darkest days all lose what a day at 0.3 loses, and a clear day more.
TEST(Et0, OvercastDaysLoseLongWaveRadiationAsAtRsRso03) {
  DailyWeather day;
  day.day_of_year = 187;
  day.tmax_c = 21.5;
  day.tmin_c = 12.3;
  day.tdew_c = 10;
  const Station uccle{50.8, 100};
  const double rso = penman_monteith(day, uccle).rso;  // 30.90 MJ/m2 (FAO-56 Example 18)
  const auto rnl_at = [&](double share) {
    DailyWeather d = day;
    d.rs_mj_m2 = share * rso;
    return penman_monteith(d, uccle).rnl;
  };
  EXPECT_GT(rnl_at(0.3), 0.0);
  EXPECT_DOUBLE_EQ(rnl_at(0.05), rnl_at(0.3));
  EXPECT_DOUBLE_EQ(rnl_at(0.2), rnl_at(0.3));
  EXPECT_GT(rnl_at(0.31), rnl_at(0.3));
  EXPECT_DOUBLE_EQ(rnl_at(1.2), rnl_at(1.0));  // and never beyond a clear sky
  // (1.35 x 0.3 - 0.35) / (1.35 - 0.35): 0.055 of a clear sky's loss.
  EXPECT_NEAR(rnl_at(0.3) / rnl_at(1.0), 0.055, 1e-12);
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
