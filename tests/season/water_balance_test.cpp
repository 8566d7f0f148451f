// The season's balance: the crop coefficient by day, hand-computed seasons, and the
// invariants over random ones.
#include "season/water_balance.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace vantrel {
namespace {

TEST(CropCoefficient, StagesAndTheirLinesByDay) {
  const CropStages crop{0.3, 1.2, 0.6, 10, 20, 30, 10};
  struct Case {
    int day;
    Stage stage;
    double kc;
  } cases[] = {
      {1, Stage::initial, 0.3},      {10, Stage::initial, 0.3}, {11, Stage::development, 0.345},
      {30, Stage::development, 1.2}, {31, Stage::mid, 1.2},     {60, Stage::mid, 1.2},
      {61, Stage::late, 1.14},       {70, Stage::late, 0.6},    {71, Stage::after, 0.6},
  };
  for (const Case& c : cases) {
    const StageDay d = crop_coefficient(crop, c.day);
    EXPECT_EQ(d.stage, c.stage) << c.day;
    EXPECT_NEAR(d.kc, c.kc, 1e-12) << c.day;
  }
  // A stage of no days: no division by zero, the next stage's value.
  const CropStages no_development{0.4, 1.1, 0.5, 5, 0, 5, 5};
  EXPECT_EQ(crop_coefficient(no_development, 6).stage, Stage::mid);
  EXPECT_TRUE(std::isfinite(crop_coefficient(no_development, 5).kc));
  EXPECT_EQ(crop.season_days(), 70);
}

// Kc 1 throughout and ET0 5 mm: ETc 5 mm a day, p stays the table's 50 %, RAW 50 mm.
const CropStages kFlat{1.0, 1.0, 1.0, 10, 10, 10, 10};

TEST(WaterBalance, ADrySeasonIrrigatesEveryTenDaysBackToFieldCapacity) {
  const std::vector<WeatherDay> dry(40, {5.0, 0.0});
  const RootZone zone{100, 50, 80, 0, 300};
  const auto days = water_balance(zone, kFlat, dry);
  ASSERT_EQ(days.size(), 40u);
  std::vector<int> irrigated;
  for (const BalanceDay& d : days) {
    if (d.net > 0) {
      irrigated.push_back(d.day);
      EXPECT_DOUBLE_EQ(d.net, 50.0);    // the depletion that morning
      EXPECT_DOUBLE_EQ(d.gross, 62.5);  // at 80 %
      EXPECT_DOUBLE_EQ(d.depletion, 5.0);
    }
    EXPECT_DOUBLE_EQ(d.raw, 50.0);
    EXPECT_DOUBLE_EQ(d.soil_water, 300.0 - d.depletion);
  }
  EXPECT_EQ(irrigated, (std::vector<int>{11, 21, 31}));
  EXPECT_DOUBLE_EQ(days[9].depletion, 50.0);  // day 10 reaches RAW but does not pass it
}

TEST(WaterBalance, RainBeyondTheDepletionPercolatesAndTheSeasonEndsWithItsWeather) {
  std::vector<WeatherDay> wet(25, {5.0, 0.0});
  wet[2].rain = 20;  // day 3, after two dry days: depletion 10
  const RootZone zone{100, 50, 100, 0, 300};
  const auto days = water_balance(zone, kFlat, wet);
  EXPECT_EQ(days.size(), 25u);  // the weather ends before the season's 40 days
  EXPECT_DOUBLE_EQ(days[1].depletion, 10.0);
  EXPECT_DOUBLE_EQ(days[2].deep_percolation, 5.0);  // 20 - 5 - 10
  EXPECT_DOUBLE_EQ(days[2].depletion, 0.0);
  // A season that starts half depleted irrigates sooner.
  const RootZone half{100, 50, 100, 40, 300};
  const auto sooner = water_balance(half, kFlat, std::vector<WeatherDay>(10, {5.0, 0.0}));
  EXPECT_DOUBLE_EQ(sooner[1].depletion, 50.0);  // 40, then 45 and 50
  EXPECT_DOUBLE_EQ(sooner[2].net, 50.0);        // day 3 would end at 55: back from 50
}

TEST(WaterBalance, RandomSeasonsCloseTheirBalanceAndStayWithinTheTrigger) {
  std::mt19937 random(20260);
  std::uniform_real_distribution<double> et0(0.5, 9.0), rain_amount(0.0, 40.0), unit(0.0, 1.0);
  for (int season = 0; season < 200; ++season) {
    const CropStages crop{0.3 + 0.4 * unit(random),
                          0.9 + 0.4 * unit(random),
                          0.3 + 0.7 * unit(random),
                          10 + season % 20,
                          20,
                          40,
                          20 + season % 7};
    const RootZone zone{20 + 180 * unit(random), 20 + 50 * unit(random), 50 + 50 * unit(random),
                        30 * unit(random), 400};
    std::vector<WeatherDay> weather(150);
    for (WeatherDay& w : weather)
      w = {et0(random), unit(random) < 0.2 ? rain_amount(random) : 0.0};
    const auto days = water_balance(zone, crop, weather);
    double etc = 0, rain = 0, net = 0, dp = 0;
    double before = std::clamp(zone.initial_depletion, 0.0, zone.taw);
    for (const BalanceDay& d : days) {
      etc += d.etc;
      rain += d.rain;
      net += d.net;
      dp += d.deep_percolation;
      EXPECT_GE(d.depletion, 0.0);  // never a rounding below field capacity
      if (d.deep_percolation > 0) {
        EXPECT_EQ(d.depletion, 0.0);
      }
      // The day's readily available water as FAO-56 sets it (the note below Table 22):
      // p = p_table + 0.04 (5 - ETc), within 0.1 and 0.8, of the root zone's TAW.
      const double p = std::clamp(zone.p_table_pct / 100.0 + 0.04 * (5.0 - d.etc), 0.1, 0.8);
      const double raw = p * zone.taw;
      EXPECT_NEAR(d.raw, raw, 1e-5 * zone.taw) << "season " << season << " day " << d.day;
      EXPECT_LE(d.depletion, raw + d.etc + 1e-3);
      const bool due = std::max(0.0, before - d.rain + d.etc) > raw;
      EXPECT_EQ(d.net > 0, due && before > 0) << "season " << season << " day " << d.day;
      before = d.depletion;
    }
    const double start = std::clamp(zone.initial_depletion, 0.0, zone.taw);
    const double end = days.empty() ? start : days.back().depletion;
    EXPECT_NEAR(etc, rain + net - dp + end - start, 1e-6) << "season " << season;
  }
}

}  // namespace
}  // namespace vantrel
