// FAO-33's yield response to water, for the season and by stage, on hand-computed seasons.
#include "season/yield_response.hpp"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <vector>

namespace vantrel {
namespace {

// One day per stage is enough: the figures take only the sums of ETc and ETc adj by stage.
std::vector<BalanceDay> days_of(const std::vector<std::array<double, 2>>& etm_eta) {
  std::vector<BalanceDay> days;
  for (std::size_t i = 0; i < etm_eta.size(); ++i) {
    BalanceDay d;
    d.day = static_cast<int>(i) + 1;
    d.stage = static_cast<Stage>(i);
    d.etc = etm_eta[i][0];
    d.etc_adj = etm_eta[i][1];
    days.push_back(d);
  }
  return days;
}

using Factors = std::array<std::optional<double>, 4>;
const Factors kMaize = {0.4, 0.4, 1.5, 0.5};

TEST(YieldResponse, TheSeasonsFigure) {
  const struct {
    const char* what;
    std::optional<double> ky;
    std::vector<std::array<double, 2>> days;
    std::optional<double> pct;
  } cases[] = {
      // 1.25 (1 - 400/500) = 0.25.
      {"a fifth of ETm lost", 1.25, {{200, 200}, {300, 200}}, 25.0},
      {"no stress", 1.25, {{200, 200}, {300, 300}}, 0.0},
      // 1.25 (1 - 0) is more than the whole yield.
      {"no water at all", 1.25, {{200, 0}, {300, 0}}, 100.0},
      {"a crop without Ky", std::nullopt, {{200, 100}}, std::nullopt},
      {"no ETm (no days)", 1.0, {}, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto pct = season_yield_reduction(c.ky, days_of(c.days));
    ASSERT_EQ(pct.has_value(), c.pct.has_value());
    if (pct) {
      EXPECT_NEAR(*pct, *c.pct, 1e-9);
    }
  }
}

TEST(YieldResponse, ByStageTheSharesMultiply) {
  const struct {
    const char* what;
    Factors ky;
    std::vector<std::array<double, 2>> days;  // ETm, ETa of each stage in turn
    std::optional<double> pct;
  } cases[] = {
      // (1 - 0.4 x 0.1) (1 - 1.5 x 0.2) = 0.96 x 0.7 = 0.672.
      {"development and flowering short",
       kMaize,
       {{100, 100}, {100, 90}, {100, 80}, {100, 100}},
       32.8},
      // The same 10 % short in the mid stage costs 15 %, in the late stage 5 %.
      {"the mid stage", kMaize, {{100, 100}, {100, 100}, {100, 90}, {100, 100}}, 15.0},
      {"the late stage", kMaize, {{100, 100}, {100, 100}, {100, 100}, {100, 90}}, 5.0},
      // No water at flowering: 1 - 1.5 would be a share below nothing; the yield is gone.
      {"a dry flowering", kMaize, {{100, 100}, {100, 100}, {100, 0}, {100, 100}}, 100.0},
      // The weather ended in the development stage: the later stages lose nothing.
      {"a season cut short", kMaize, {{100, 50}, {100, 100}}, 20.0},
      {"a stage without its factor", {0.4, 0.4, std::nullopt, 0.5}, {{100, 50}}, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto pct = staged_yield_reduction(c.ky, days_of(c.days));
    ASSERT_EQ(pct.has_value(), c.pct.has_value());
    if (pct) {
      EXPECT_NEAR(*pct, *c.pct, 1e-9);
    }
  }
}

// Days past the late stage count in no stage.
TEST(YieldResponse, DaysAfterTheLateStageCountInNone) {
  auto days = days_of({{100, 100}, {100, 100}, {100, 100}, {100, 100}});
  BalanceDay after;
  after.stage = Stage::after;
  after.etc = 100;
  days.push_back(after);
  EXPECT_NEAR(*staged_yield_reduction(kMaize, days), 0.0, 1e-12);
}

}  // namespace
}  // namespace vantrel
