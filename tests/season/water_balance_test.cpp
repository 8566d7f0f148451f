// The season's balance: the crop coefficient by day, hand-computed seasons, and the
// invariants over random ones.
#include "season/water_balance.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <random>
#include <tuple>
#include <utility>
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

// Roots from 10 cm on the planting day to 50 cm at the start of the mid-season stage (day 5)
// over a soil of 1 mm of available water a cm; ETc 5 mm a day, so p stays 50 %.
TEST(WaterBalance, RootsGrowAndTheSoilTheyReachBringsItsWater) {
  CropStages crop{1.0, 1.0, 1.0, 2, 2, 10, 0};
  crop.root_ini_cm = 10;
  RootZone zone{0, 50, 100, 5, 300};
  zone.root_max_cm = 50;
  zone.taw_at = [](double depth) { return depth; };
  const std::vector<WeatherDay> dry(14, {5.0, 0.0});
  struct Case {
    NewSoil new_soil;
    std::vector<std::pair<int, double>> irrigations;  // day, net mm
  } cases[] = {
      // At field capacity the deeper soil adds room, not depletion: after the first morning's
      // refill of the 5 mm missing, the depletion reaches RAW each day without passing it.
      {NewSoil::field_capacity, {{1, 5}, {6, 25}, {11, 25}}},
      // Missing half its water as the planting day's root zone did, it adds depletion too.
      {NewSoil::as_start, {{1, 5}, {2, 10}, {4, 20}, {8, 25}, {13, 25}}},
  };
  for (const Case& c : cases) {
    zone.new_soil = c.new_soil;
    const auto days = water_balance(zone, crop, dry);
    ASSERT_EQ(days.size(), 14u);
    std::vector<std::pair<int, double>> given;
    for (const BalanceDay& d : days) {
      if (d.net > 0) given.emplace_back(d.day, d.net);
      const double depth = std::min(50.0, 10.0 + 10.0 * (d.day - 1));
      EXPECT_DOUBLE_EQ(d.root_depth, depth) << d.day;
      EXPECT_DOUBLE_EQ(d.taw, depth) << d.day;
      EXPECT_DOUBLE_EQ(d.raw, depth / 2) << d.day;
    }
    EXPECT_EQ(given, c.irrigations);
  }
}

TEST(WaterBalance, RootDepthByDay) {
  CropStages annual{1.0, 1.0, 1.0, 10, 30, 40, 20};
  const CropStages perennial = [] {
    CropStages c{1.0, 1.0, 1.0, 10, 30, 40, 20};
    c.root_ini_cm.reset();
    return c;
  }();
  EXPECT_DOUBLE_EQ(root_depth_on(annual, 95, 1), 15.0);  // FAO-56's 0.15 m at planting
  EXPECT_DOUBLE_EQ(root_depth_on(annual, 95, 21), 15.0 + 80.0 * 20 / 40);
  EXPECT_DOUBLE_EQ(root_depth_on(annual, 95, 41), 95.0);  // the mid-season stage begins
  EXPECT_DOUBLE_EQ(root_depth_on(annual, 95, 100), 95.0);
  EXPECT_DOUBLE_EQ(root_depth_on(perennial, 95, 1), 95.0);
  EXPECT_DOUBLE_EQ(root_depth_on(annual, 12, 1), 12.0);  // shallower than the initial depth
  annual.l_ini = annual.l_dev = 0;
  EXPECT_DOUBLE_EQ(root_depth_on(annual, 95, 1), 95.0);  // no stage to grow in
}

// Each strategy on the dry season of kFlat: TAW 100 mm, p 50 %, ETc 5 mm a day, 40 days.
TEST(WaterBalance, EachStrategyOnAHandComputedSeason) {
  struct Case {
    const char* name;
    std::function<void(RootZone&)> set;
    std::vector<std::pair<int, double>> irrigations;  // day, net mm
    IrrigationRule rule;
  } cases[] = {
      {"refill", [](RootZone&) {}, {{11, 50}, {21, 50}, {31, 50}}, IrrigationRule::refill},
      {"a 25 mm pass when due, the depletion back to 30 mm",
       [](RootZone& z) {
         z.strategy = Strategy::fixed_depth;
         z.depth_mm = 25;
       },
       {{11, 25}, {16, 25}, {21, 25}, {26, 25}, {31, 25}, {36, 25}},
       IrrigationRule::fixed_depth},
      {"the pass held to a capacity of 20 mm a day",
       [](RootZone& z) {
         z.strategy = Strategy::fixed_depth;
         z.depth_mm = 25;
         z.max_mm_day = 20;
       },
       {{11, 20}, {15, 20}, {19, 20}, {23, 20}, {27, 20}, {31, 20}, {35, 20}, {39, 20}},
       IrrigationRule::fixed_depth},
      {"every 7 days back to field capacity",
       [](RootZone& z) {
         z.strategy = Strategy::interval;
         z.every_days = 7;
       },
       {{7, 30}, {14, 35}, {21, 35}, {28, 35}, {35, 35}},
       IrrigationRule::interval},
      {"to 80 % of TAW, leaving 20 mm of room for rain",
       [](RootZone& z) {
         z.strategy = Strategy::deficit;
         z.refill_to_pct = 80;
       },
       {{11, 30}, {17, 30}, {23, 30}, {29, 30}, {35, 30}},
       IrrigationRule::deficit},
      {"a trigger of 30 % in the initial stage, p after it",
       [](RootZone& z) { z.mad_pct[0] = 30; },
       {{7, 30}, {17, 50}, {27, 50}, {37, 50}},
       IrrigationRule::refill},
      {"no irrigation after day 20",
       [](RootZone& z) { z.last_irrigation_day = 20; },
       {{11, 50}},
       IrrigationRule::refill},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RootZone zone{100, 50, 100, 0, 300};
    c.set(zone);
    const auto days = water_balance(zone, kFlat, std::vector<WeatherDay>(40, {5.0, 0.0}));
    std::vector<std::pair<int, double>> given;
    for (const BalanceDay& d : days) {
      if (d.net <= 0) continue;
      given.emplace_back(d.day, std::round(d.net * 1e9) / 1e9);
      EXPECT_EQ(d.rule, c.rule);
      EXPECT_EQ(d.capped, zone.max_mm_day.has_value());
      EXPECT_EQ(d.by_mad, d.day <= 10 && zone.mad_pct[0].has_value());
    }
    EXPECT_EQ(given, c.irrigations);
  }
}

// The checkbook: up to today the irrigations given, then the strategy's plan.
TEST(WaterBalance, GivenIrrigationsUpToTodayThenThePlan) {
  RootZone zone{100, 50, 100, 0, 300};
  zone.today = 15;
  zone.given_net = {{5, 20.0}, {20, 40.0}};  // day 20 is after today: the plan decides
  const auto days = water_balance(zone, kFlat, std::vector<WeatherDay>(30, {5.0, 0.0}));
  std::vector<std::tuple<int, double, IrrigationRule>> given;
  for (const BalanceDay& d : days) {
    if (d.net > 0) given.emplace_back(d.day, d.net, d.rule);
  }
  // Day 5 brings 20 mm back; nothing is planned before today, so day 15 ends at 55 mm past
  // RAW, and the first morning after today refills it.
  EXPECT_EQ(given, (std::vector<std::tuple<int, double, IrrigationRule>>{
                       {5, 20.0, IrrigationRule::given},
                       {16, 55.0, IrrigationRule::refill},
                       {26, 50.0, IrrigationRule::refill}}));
  EXPECT_DOUBLE_EQ(days[14].depletion, 55.0);
  EXPECT_DOUBLE_EQ(days[14].ks, 1.0);  // its morning was at RAW, not past it
}

// FAO-56 eq. 62 by hand: (0.04 (3 - 2) - 0.004 (20 - 45)) (2/3)^0.3 = 0.14 x 0.885465, and at
// the equation's limits u2 6 m/s, RHmin 20 %, h 10 m: 0.26 x (10/3)^0.3 = 0.26 x 1.435038.
TEST(KcForTheClimate, TheAdjustmentAndItsLimits) {
  EXPECT_NEAR(climate_kc(1.20, 3.0, 20.0, 2.0), 1.20 + 0.14 * 0.885465, 1e-6);
  EXPECT_NEAR(climate_kc(1.00, 8.0, 10.0, 12.0), 1.00 + 0.26 * 1.435038, 1e-6);
  EXPECT_DOUBLE_EQ(climate_kc(1.15, 2.0, 45.0, 1.0), 1.15);  // the table's own climate
  EXPECT_LT(climate_kc(1.15, 1.0, 80.0, 1.0), 1.15);         // calm and humid: lower
  CropStages crop{0.3, 1.2, 0.6, 2, 2, 3, 3};
  crop.height_m = 2.0;
  std::vector<WeatherDay> season(10, {5.0, 0.0});
  for (int day = 5; day <= 7; ++day)  // the mid-season stage: dry and windy
    season[static_cast<std::size_t>(day - 1)] = {5.0, 0.0, 3.0, 20.0};
  for (int day = 8; day <= 10; ++day)  // the late stage: the table's own climate
    season[static_cast<std::size_t>(day - 1)] = {5.0, 0.0, 2.0, 45.0};
  const CropStages local = crop_for_climate(crop, season);
  EXPECT_NEAR(local.kc_mid, 1.20 + 0.14 * 0.885465, 1e-6);
  EXPECT_DOUBLE_EQ(local.kc_end, 0.6);
  EXPECT_DOUBLE_EQ(local.kc_ini, 0.3);
  crop.kc_end = 0.35;  // below 0.45: never adjusted
  for (int day = 8; day <= 10; ++day)
    season[static_cast<std::size_t>(day - 1)] = {5.0, 0.0, 3.0, 20.0};
  EXPECT_DOUBLE_EQ(crop_for_climate(crop, season).kc_end, 0.35);
  crop.height_m.reset();  // no height, no adjustment
  EXPECT_DOUBLE_EQ(crop_for_climate(crop, season).kc_mid, 1.2);
  crop.height_m = 2.0;  // ET0 alone: no wind or humidity to adjust with
  EXPECT_DOUBLE_EQ(crop_for_climate(crop, std::vector<WeatherDay>(10, {5.0, 0.0})).kc_mid, 1.2);
}

// Published worked values of the curve number method: TR-55's Table 2-1 (CN 75, 3 in of rain:
// 0.96 in of runoff), Chow, Maidment & Mays (1988) Example 5.5.1's 5 in on CN 80 (2.89 in),
// and NEH-630 Table 10-1's classes of CN 75 (57 dry, 88 wet).
TEST(Runoff, CurveNumberWorkedValues) {
  constexpr double kInch = 25.4, kAverage = 40;  // five days' rain of average moisture
  EXPECT_NEAR(curve_number_runoff(3 * kInch, 75, kAverage) / kInch, 0.96, 0.005);
  EXPECT_NEAR(curve_number_runoff(5 * kInch, 80, kAverage) / kInch, 2.89, 0.005);
  EXPECT_EQ(curve_number_runoff(10, 75, kAverage), 0.0);  // below the initial abstraction
  EXPECT_EQ(curve_number_runoff(0, 100, 100), 0.0);
  EXPECT_NEAR(curve_number_runoff(60, 100, kAverage), 60.0, 1e-9);  // CN 100 sheds it all
  for (const double rain : {40.0, 80.0, 150.0}) {
    SCOPED_TRACE(rain);
    const double dry = curve_number_runoff(rain, 75, 10), wet = curve_number_runoff(rain, 75, 60);
    EXPECT_GE(dry, curve_number_runoff(rain, 56.5, kAverage));
    EXPECT_LE(dry, curve_number_runoff(rain, 57.5, kAverage));
    EXPECT_GE(wet, curve_number_runoff(rain, 87.5, kAverage));
    EXPECT_LE(wet, curve_number_runoff(rain, 88.5, kAverage));
  }
}

// The balance's runoff takes its moisture class from the five days before each day, those
// before the planting day included.
TEST(Runoff, TheFiveDaysBeforeEachDay) {
  RootZone zone{100, 50, 100, 0, 300};
  zone.curve_number = 75;
  std::vector<WeatherDay> weather(7, {5.0, 0.0});
  weather[4].rain = 80;                 // day 5
  weather[5].rain = 80;                 // day 6: day 5's storm makes it wet
  zone.rain_before = {60, 0, 0, 0, 0};  // the day before planting: still in day 5's five days
  const auto days = water_balance(zone, kFlat, weather);
  EXPECT_DOUBLE_EQ(days[4].runoff, curve_number_runoff(80, 75, 60));
  EXPECT_DOUBLE_EQ(days[5].runoff, curve_number_runoff(80, 75, 80));
  EXPECT_GT(days[4].runoff, curve_number_runoff(80, 75, 0));
  zone.rain_before = {0, 0, 0, 0, 60};  // five days before: not in day 5's
  EXPECT_DOUBLE_EQ(water_balance(zone, kFlat, weather)[4].runoff, curve_number_runoff(80, 75, 0));
}

// A rainfed season past its readily available water: Ks = (TAW - Dr) / ((1 - p) TAW).
TEST(WaterBalance, WithoutIrrigationTheCropIsStressed) {
  RootZone zone{100, 50, 100, 0, 300};
  zone.strategy = Strategy::rainfed;
  const auto days = water_balance(zone, kFlat, std::vector<WeatherDay>(14, {5.0, 0.0}));
  ASSERT_EQ(days.size(), 14u);
  for (const BalanceDay& d : days)
    EXPECT_EQ(d.net, 0.0) << d.day;
  EXPECT_DOUBLE_EQ(days[10].ks, 1.0);  // day 11 starts at RAW, 50 mm
  EXPECT_DOUBLE_EQ(days[10].depletion, 55.0);
  EXPECT_NEAR(days[11].ks, 0.9, 1e-12);  // (100 - 55) / 50
  EXPECT_NEAR(days[11].etc_adj, 4.5, 1e-12);
  EXPECT_NEAR(days[12].ks, 0.81, 1e-12);  // (100 - 59.5) / 50
  EXPECT_NEAR(days[12].depletion, 63.55, 1e-12);
  // No irrigation on the last days either: the same season stopped 5 days before its end.
  RootZone stopped{100, 50, 100, 0, 300};
  stopped.stop_days = 31;  // of the 40: irrigation only on days 1 to 9
  const auto late = water_balance(stopped, kFlat, std::vector<WeatherDay>(14, {5.0, 0.0}));
  EXPECT_EQ(late[10].net, 0.0);
  EXPECT_NEAR(late[11].ks, 0.9, 1e-12);
  RootZone last{100, 50, 100, 0, 300};
  last.last_irrigation_day = 11;
  EXPECT_DOUBLE_EQ(water_balance(last, kFlat, std::vector<WeatherDay>(14, {5.0, 0.0}))[10].net,
                   50.0);
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
    RootZone zone{20 + 180 * unit(random), 20 + 50 * unit(random), 50 + 50 * unit(random),
                  30 * unit(random), 400};
    if (season % 3 == 1) zone.curve_number = 60 + 35 * unit(random);
    zone.strategy = std::array{Strategy::refill, Strategy::rainfed, Strategy::refill,
                               Strategy::fixed_depth, Strategy::deficit}[season % 5];
    zone.depth_mm = 25;
    zone.refill_to_pct = 80;
    if (season % 7 == 3) zone.max_mm_day = 30;
    std::vector<WeatherDay> weather(150);
    for (WeatherDay& w : weather)
      w = {et0(random), unit(random) < 0.2 ? rain_amount(random) : 0.0};
    const auto days = water_balance(zone, crop, weather);
    double etc_adj = 0, rain = 0, runoff = 0, net = 0, dp = 0;
    double before = std::clamp(zone.initial_depletion, 0.0, zone.taw);
    for (const BalanceDay& d : days) {
      etc_adj += d.etc_adj;
      rain += d.rain;
      runoff += d.runoff;
      net += d.net;
      dp += d.deep_percolation;
      EXPECT_GE(d.depletion, 0.0);              // never a rounding below field capacity
      EXPECT_LE(d.depletion, zone.taw + 1e-9);  // never past the wilting point
      EXPECT_GE(d.runoff, 0.0);
      EXPECT_LE(d.runoff, d.rain);
      EXPECT_GE(d.ks, 0.0);
      EXPECT_LE(d.ks, 1.0);
      if (d.deep_percolation > 0) {
        EXPECT_EQ(d.depletion, 0.0);
      }
      // The day's readily available water as FAO-56 sets it (the note below Table 22):
      // p = p_table + 0.04 (5 - ETc), within 0.1 and 0.8, of the root zone's TAW.
      const double p = std::clamp(zone.p_table_pct / 100.0 + 0.04 * (5.0 - d.etc), 0.1, 0.8);
      const double raw = p * zone.taw;
      EXPECT_NEAR(d.raw, raw, 1e-5 * zone.taw) << "season " << season << " day " << d.day;
      const bool due = std::max(0.0, before - (d.rain - d.runoff) + d.etc) > raw;
      if (zone.strategy == Strategy::rainfed) {
        EXPECT_EQ(d.net, 0.0);
      } else if (zone.strategy == Strategy::refill && !zone.max_mm_day) {
        EXPECT_LE(d.depletion, raw + d.etc + 1e-3);
        EXPECT_EQ(d.net > 0, due && before > 0) << "season " << season << " day " << d.day;
      }
      // Stress only on a morning that starts, after its irrigation, past the day's RAW.
      EXPECT_EQ(d.ks<1, before - d.net> raw + 1e-9) << "season " << season << " day " << d.day;
      before = d.depletion;
    }
    // The balance closes: ETc adj = rain - runoff + irrigation - percolation - change of Dr.
    const double start = std::clamp(zone.initial_depletion, 0.0, zone.taw);
    const double end = days.empty() ? start : days.back().depletion;
    EXPECT_NEAR(etc_adj, rain - runoff + net - dp + end - start, 1e-6) << "season " << season;
  }
}

}  // namespace
}  // namespace vantrel
