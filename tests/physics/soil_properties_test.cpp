#include "physics/soil_properties.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <tuple>

#include "data/number_text.hpp"
#include "support/line_log.hpp"
#include "support/retention_builder.hpp"

namespace vantrel {
namespace {

using testing::Entry;
using testing::LineLog;
using testing::put;

TEST(LayerWindow, MapsDepthsToLayers) {
  const auto window = [](float top, float bottom) {
    const LayerWindow w = layer_window(top, bottom);
    return std::pair{w.first, w.last};
  };
  EXPECT_EQ(window(0, 30), std::pair(1, 3));
  EXPECT_EQ(window(27, 33), std::pair(2, 3));
  EXPECT_EQ(window(100, 150), std::pair(9, 15));
  EXPECT_EQ(window(0, 4), std::pair(1, 1));  // (4 + 5) / 10 truncates to 0: raised to j1
  EXPECT_EQ(window(24.99F, 14.99F), std::pair(1, 1));
  EXPECT_EQ(window(25, 15), std::pair(2, 2));
  EXPECT_EQ(window(50, 10), std::pair(4, 4));  // bottom above top: last is never below first
  EXPECT_EQ(window(-99.9F, -89.9F), std::pair(1, 1));
}

TEST(LayerWindow, DeepHorizonsUseTheDeepestLayers) {
  const auto window = [](float top, float bottom) {
    const LayerWindow w = layer_window(top, bottom);
    return std::pair{w.first, w.last};
  };
  EXPECT_EQ(window(180, 204.9F), std::pair(17, 20));
  EXPECT_EQ(window(180, 205), std::pair(17, 20));  // would be 21
  EXPECT_EQ(window(214.9F, 300), std::pair(20, 20));
  EXPECT_EQ(window(215, 300), std::pair(20, 20));
  EXPECT_EQ(window(396, 495), std::pair(20, 20));
  EXPECT_EQ(window(1e30F, 1e30F), std::pair(20, 20));
  EXPECT_EQ(window(-1e30F, -1e30F), std::pair(1, 1));
  const LayerWindow odd = layer_window(std::nanf(""), std::nanf(""));
  EXPECT_GE(odd.first, 1);
  EXPECT_LE(odd.last, 20);
  EXPECT_LE(odd.first, odd.last);
}

TEST(Tolerance, FollowsTheSinglePrecisionSum) {
  float t = 5.0F;
  int mismatches = 0;
  for (int pass = 0; pass <= kLastPass + 3; ++pass) {
    if (tolerance_of_pass(pass) != t) ++mismatches;
    t += 2.0F;
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(tolerance_of_pass(kLastPass), 33554432.0F);
  EXPECT_LT(tolerance_of_pass(kLastPass - 1), tolerance_of_pass(kLastPass));
  const float last = tolerance_of_pass(kLastPass);
  EXPECT_EQ(last + 2.0F, last);  // no wider tolerance exists
}

TEST(VanGenuchten, KnownValues) {
  EXPECT_NEAR(van_genuchten(45, 5, 0.1, 2, 0.5, 10), 5 + 40 / std::sqrt(2.0), 1e-12);
  EXPECT_DOUBLE_EQ(van_genuchten(45, 5, 0, 2, 0.5, 1500), 45);  // base 0: saturated
  EXPECT_TRUE(std::isnan(van_genuchten(45, 5, -99.9, 1.5, 0.3, 10)));
}

struct Outputs {
  int count = -1;
  float density = -1, saturated = -1, fc = -1, sp = -1, wp = -1;
};

Outputs estimate(const RetentionCurves& table, LineSink& trace, float top, float bottom, float sand,
                 float clay, float stones = 0.0F, float user_density = 0.0F,
                 bool density_set = false) {
  Outputs o;
  o.count = SOIL_PROPERTIES(table, trace, top, bottom, user_density, sand, clay, stones, o.density,
                            o.saturated, o.fc, o.sp, o.wp, density_set);
  return o;
}

Outputs estimate(const RetentionCurves& table, float sand, float clay, float stones = 0.0F) {
  LineLog trace;
  return estimate(table, trace, 0, 4, sand, clay, stones);
}

class SoilProperties : public ::testing::Test {
 protected:
  std::unique_ptr<RetentionCurves> table = std::make_unique<RetentionCurves>();
};

TEST_F(SoilProperties, OneEntryGivesItsOwnCurve) {
  Entry e;
  put(*table, 1, 1, e);
  const Outputs o = estimate(*table, 40, 20);
  EXPECT_EQ(o.count, 1);
  EXPECT_FLOAT_EQ(o.density, 1.3F);
  EXPECT_FLOAT_EQ(o.saturated, 45.0F);
  EXPECT_FLOAT_EQ(o.fc, static_cast<float>(van_genuchten(45, 5, 0.1F, 2, 0.5, 10)));
  EXPECT_FLOAT_EQ(o.sp, static_cast<float>(van_genuchten(45, 5, 0.1F, 2, 0.5, 100)));
  EXPECT_FLOAT_EQ(o.wp, static_cast<float>(van_genuchten(45, 5, 0.1F, 2, 0.5, 1500)));
  EXPECT_GT(o.fc, o.sp);
  EXPECT_GT(o.sp, o.wp);
}

TEST_F(SoilProperties, ThreeEntriesAtTheFirstToleranceEndTheSearch) {
  for (int k = 1; k <= 3; ++k)
    put(*table, k, 1, Entry{.density = 1.0F + 0.1F * static_cast<float>(k)});
  put(*table, 4, 1, Entry{.sand = 46.0F, .density = 9.0F});  // would qualify at tolerance 7
  const Outputs o = estimate(*table, 40, 20);
  EXPECT_EQ(o.count, 3);
  EXPECT_FLOAT_EQ(o.density, 1.2F);
}

TEST_F(SoilProperties, TwoEntriesWidenToASecondPassThatCountsThemAgain) {
  put(*table, 1, 1, Entry{.density = 1.0F});
  put(*table, 2, 1, Entry{.density = 2.0F});
  put(*table, 3, 1, Entry{.sand = 46.0F, .density = 3.0F});   // 6 away: tolerance 7
  put(*table, 4, 1, Entry{.clay = 13.0F, .density = 4.0F});   // exactly 7 away: included
  put(*table, 5, 1, Entry{.sand = 47.5F, .density = 50.0F});  // 7.5 away: needs 9
  const Outputs o = estimate(*table, 40, 20);
  EXPECT_EQ(o.count, 4);
  EXPECT_FLOAT_EQ(o.density, 2.5F);
}

TEST_F(SoilProperties, DifferenceOfExactlyTheToleranceQualifies) {
  put(*table, 1, 1, Entry{.sand = 45.0F, .density = 1.0F});  // 5 away from sand 40
  put(*table, 2, 1, Entry{.sand = 45.0F, .density = 2.0F});
  put(*table, 3, 1, Entry{.sand = 40.0F, .density = 3.0F});
  put(*table, 4, 1, Entry{.sand = 34.0F, .density = 10.0F});  // 6 away: tolerance 7
  EXPECT_FLOAT_EQ(estimate(*table, 40, 20).density, 2.0F);    // three at tolerance 5
  const Outputs beyond = estimate(*table, 39.99F, 20);        // 5.01 away: one, then four
  EXPECT_EQ(beyond.count, 4);
  EXPECT_FLOAT_EQ(beyond.density, 4.0F);

  auto clay_table = std::make_unique<RetentionCurves>();
  for (int k = 1; k <= 3; ++k)
    put(*clay_table, k, 1, Entry{.clay = 25.0F});
  EXPECT_EQ(estimate(*clay_table, 40, 20).count, 3);
  EXPECT_EQ(estimate(*clay_table, 40, 30).count, 3);
}

TEST_F(SoilProperties, OnlyTheWindowsLayersAreSearched) {
  for (int k = 1; k <= 3; ++k) {
    put(*table, k, 2, Entry{.density = 1.0F});
    put(*table, k, 3, Entry{.density = 2.0F});
    put(*table, k, 4, Entry{.density = 3.0F});
  }
  LineLog trace;
  EXPECT_FLOAT_EQ(estimate(*table, trace, 10, 20, 40, 20).density, 1.0F);  // layers 1..2
  EXPECT_FLOAT_EQ(estimate(*table, trace, 35, 35, 40, 20).density, 2.5F);  // layers 3..4
  EXPECT_FLOAT_EQ(estimate(*table, trace, 45, 45, 40, 20).density, 3.0F);  // layers 4..5
}

TEST_F(SoilProperties, StonesScaleTheWaterContentsOnly) {
  for (int k = 1; k <= 3; ++k)
    put(*table, k, 1, Entry{});
  const Outputs none = estimate(*table, 40, 20, 0);
  const Outputs half = estimate(*table, 40, 20, 50);
  const Outputs all = estimate(*table, 40, 20, 100);
  EXPECT_FLOAT_EQ(half.fc, none.fc / 2);
  EXPECT_FLOAT_EQ(half.sp, none.sp / 2);
  EXPECT_FLOAT_EQ(half.wp, none.wp / 2);
  EXPECT_FLOAT_EQ(half.saturated, none.saturated / 2);
  EXPECT_FLOAT_EQ(half.density, none.density);
  EXPECT_EQ(all.fc, 0.0F);
  EXPECT_EQ(all.sp, 0.0F);
  EXPECT_EQ(all.wp, 0.0F);
  EXPECT_EQ(all.saturated, 0.0F);
  EXPECT_FLOAT_EQ(all.density, none.density);
  EXPECT_LT(estimate(*table, 40, 20, 150).fc, 0.0F);  // not validated
}

TEST_F(SoilProperties, EmptyTableEndsWithNothing) {
  const Outputs o = estimate(*table, 40, 20);
  EXPECT_EQ(o.count, 0);
  EXPECT_EQ(o.density, 0.0F);
  EXPECT_EQ(o.saturated, 0.0F);
  EXPECT_EQ(o.fc, 0.0F);
  EXPECT_EQ(o.sp, 0.0F);
  EXPECT_EQ(o.wp, 0.0F);
}

TEST_F(SoilProperties, TooSmallTableUsesWhatItHas) {
  put(*table, 1, 1, Entry{.sand = 90.0F, .density = 1.0F});
  put(*table, 2, 1, Entry{.clay = 60.0F, .density = 2.0F});
  const Outputs o = estimate(*table, 40, 20);
  EXPECT_EQ(o.count, 2);
  EXPECT_FLOAT_EQ(o.density, 1.5F);
}

TEST_F(SoilProperties, AbsurdInputsEndAtOnce) {
  testing::fill_spread(*table, 200);
  LineLog trace;
  // No tolerance a float can hold reaches a sand of 1e9.
  EXPECT_EQ(estimate(*table, trace, 0, 200, 1e9F, 20).count, 0);
  EXPECT_EQ(estimate(*table, trace, 0, 200, -1e9F, 1e9F).count, 0);
  EXPECT_EQ(estimate(*table, trace, 0, 30, std::nanf(""), 20).count, 0);

  // Entries all far away: they qualify together after half a million passes.
  auto far = std::make_unique<RetentionCurves>();
  for (int k = 1; k <= 200; ++k) {
    for (int j = 1; j <= 20; ++j)
      put(*far, k, j, Entry{.sand = 1e6F + static_cast<float>(k)});
  }
  const Outputs o = estimate(*far, trace, 0, 200, 40, 20);
  EXPECT_EQ(o.count, 20);  // profile 1's twenty layers first, at their own tolerance
  EXPECT_FLOAT_EQ(o.density, 1.3F);
}

TEST_F(SoilProperties, NonFiniteCurvesNeverQualify) {
  put(*table, 1, 1, Entry{.alpha = -99.9F, .n = 1.5F});  // negative base, real power
  put(*table, 2, 1, Entry{.density = 1.0F});
  put(*table, 3, 1, Entry{.density = 2.0F});
  put(*table, 4, 1, Entry{.sand = 46.0F, .density = 3.0F});
  const Outputs o = estimate(*table, 40, 20);
  EXPECT_EQ(o.count, 3);  // the bad entry is replaced by the next pass's find
  EXPECT_FLOAT_EQ(o.density, 2.0F);
  EXPECT_TRUE(std::isfinite(o.fc) && std::isfinite(o.sp) && std::isfinite(o.wp));

  auto only_bad = std::make_unique<RetentionCurves>();
  for (int k = 1; k <= 3; ++k)
    put(*only_bad, k, 1, Entry{.alpha = -1.0F, .n = 1.5F});
  const Outputs none = estimate(*only_bad, 40, 20);
  EXPECT_EQ(none.count, 0);
  EXPECT_EQ(none.fc, 0.0F);
}

TEST_F(SoilProperties, NoTraceLinesWithoutTheDensityOption) {
  for (int k = 1; k <= 3; ++k)
    put(*table, k, 1, Entry{});
  LineLog trace;
  estimate(*table, trace, 0, 4, 40, 20);
  EXPECT_TRUE(trace.lines.empty());
}

TEST_F(SoilProperties, DensityOptionMatchesDensityAndTracesEveryPass) {
  put(*table, 1, 1, Entry{.density = 1.0F});
  put(*table, 2, 1, Entry{.density = 1.0F});
  put(*table, 3, 1, Entry{.sand = 51.0F, .density = 1.0F});  // tolerance 11: fourth pass
  put(*table, 4, 1, Entry{.density = 1.5F});                 // density 50 % away: tolerance 51
  LineLog trace;
  const Outputs o = estimate(*table, trace, 0, 30, 40, 20, 0, 1.0F, true);
  EXPECT_EQ(o.count, 3);
  ASSERT_EQ(trace.lines.size(), 2U + 2U + 2U + 3U);  // passes at tolerance 5, 7, 9, 11
  EXPECT_EQ(trace.lines[0], trace.lines[2]);
  EXPECT_EQ(trace.lines[1], trace.lines[7]);
  for (const std::string& line : trace.lines)
    EXPECT_EQ(line.size(), 17U * 8U);

  // The first line: the window's depth, then the entry's values in 8.2 form.
  std::string expected = fixed_form(30.0F, 8, 2) + fixed_form(1.0F, 8, 2) + fixed_form(45, 8, 2);
  for (const double h : {5, 10, 20, 40, 100, 200, 400, 1500}) {
    expected += fixed_form(static_cast<float>(van_genuchten(45, 5, 0.1F, 2, 0.5, h)), 8, 2);
  }
  expected += "    1.00    2.00    3.00    4.00   20.00   40.00";
  EXPECT_EQ(trace.lines[0], expected);
}

TEST_F(SoilProperties, UserDensityAtTheUpperLimitQualifies) {
  for (int k = 1; k <= 3; ++k)
    put(*table, k, 1, Entry{.density = k == 3 ? 1.5F : 1.0F});
  LineLog trace;
  // (1 + 5/100) x 1.0 admits 1.05 at the first pass; the third entry needs a wider pass.
  const Outputs o = estimate(*table, trace, 0, 4, 40, 20, 0, (1.0F + 5.0F / 100.0F), true);
  EXPECT_EQ(o.count, 3);
  EXPECT_EQ(trace.lines.size(), 2U * 13U + 3U);  // tolerance 5 .. 29 with two, 31 with three
  EXPECT_FLOAT_EQ(o.density, 3.5F / 3.0F);       // table densities, not the user's
}

TEST_F(SoilProperties, BlankDensitiesNeverMatchAUserDensity) {
  for (int k = 1; k <= 5; ++k)
    put(*table, k, 1, Entry{.density = -99.9F});
  LineLog trace;
  const Outputs o = estimate(*table, trace, 0, 4, 40, 20, 0, 1.3F, true);
  EXPECT_EQ(o.count, 0);
  EXPECT_TRUE(trace.lines.empty());
}

TEST_F(SoilProperties, TypicalHorizonOnAFullTable) {
  testing::fill_spread(*table, 200);
  LineLog trace;
  const Outputs o = estimate(*table, trace, 0, 30, 40, 20, 10);
  EXPECT_GT(o.count, 2);
  EXPECT_GT(o.density, 1.2F);
  EXPECT_LT(o.density, 1.45F);
  EXPECT_GT(o.saturated, o.fc);
  EXPECT_GT(o.fc, o.sp);
  EXPECT_GT(o.sp, o.wp);
  EXPECT_GT(o.wp, 0.0F);
}

// The query form gives what the window's routine gives, entries included, for horizons with and
// without stones and the density option, and nothing from an empty table.
TEST_F(SoilProperties, TheQueryFormGivesTheRoutinesFigures) {
  testing::fill_spread(*table, 200);
  const struct {
    float top, bottom, sand, clay, stones;
    std::optional<float> density;
  } cases[] = {
      {0, 30, 40, 20, 0, std::nullopt},
      {30, 90, 15, 50, 25, std::nullopt},
      {0, 10, 85, 5, 0, 1.5F},
      {150, 200, 30, 30, 100, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sand);
    LineLog routine_trace, query_trace;
    float density = 0, saturated = 0, fc = 0, sp = 0, wp = 0;
    std::vector<ReferenceEntry> used;
    const int count = SOIL_PROPERTIES(*table, routine_trace, c.top, c.bottom, c.density.value_or(0),
                                      c.sand, c.clay, c.stones, density, saturated, fc, sp, wp,
                                      c.density.has_value(), &used);
    const HorizonEstimate e = estimate_horizon(
        *table, {c.top, c.bottom, c.sand, c.clay, c.stones, c.density, true}, query_trace);
    EXPECT_GT(count, 0);
    EXPECT_EQ(e.entries, count);
    EXPECT_EQ(e.used.size(), used.size());
    EXPECT_EQ(std::make_tuple(e.density, e.saturated, e.fc, e.sp, e.wp),
              std::make_tuple(density, saturated, fc, sp, wp));
    EXPECT_EQ(query_trace.lines, routine_trace.lines);
    EXPECT_EQ(query_trace.lines.empty(), !c.density.has_value());
  }
  LineLog trace;
  const HorizonEstimate none = estimate_horizon(*std::make_unique<RetentionCurves>(),
                                                {0, 30, 40, 20, 0, std::nullopt, true}, trace);
  EXPECT_EQ(none.entries, 0);
  EXPECT_TRUE(none.used.empty());
  EXPECT_EQ(none.fc, 0.0F);
}

}  // namespace
}  // namespace vantrel
