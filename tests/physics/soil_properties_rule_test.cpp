// The fast search against the widening rule stepped pass by pass, on many random tables whose
// sand and clay sit on a 0.1 grid, so that entries fall exactly on the tolerance limits.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "data/number_text.hpp"
#include "physics/soil_properties.hpp"
#include "support/line_log.hpp"
#include "support/retention_builder.hpp"

namespace vantrel {
namespace {

struct Result {
  int count = 0;
  float density = 0, saturated = 0, fc = 0, sp = 0, wp = 0;
  std::vector<std::string> trace;
  std::vector<std::pair<int, int>> used;
};

// The rule as written: every pass starts from nothing but the trace lines of the passes before;
// false when it has not ended in time.
bool stepped(const RetentionCurves& c, float top, float bottom, float user_density, float sand,
             float clay, float stones, bool density_set, Result& r) {
  const LayerWindow w = layer_window(top, bottom);
  const std::array<double, 8> suctions = {5, 10, 20, 40, 100, 200, 400, 1500};
  float t = 5.0F;
  for (int pass = 0; pass < 3000; ++pass) {
    std::vector<std::string> trace = std::move(r.trace);  // every pass adds its lines
    r = Result{};
    r.trace = std::move(trace);
    float sums[5] = {0, 0, 0, 0, 0};
    for (int k = 1; k <= c.profile_count; ++k) {
      for (int j = w.first; j <= w.last; ++j) {
        if (!(c.clay(k, j) - t <= clay && clay <= c.clay(k, j) + t && c.sand(k, j) - t <= sand &&
              sand <= c.sand(k, j) + t)) {
          continue;
        }
        if (density_set && !((1.0F - t / 100.0F) * c.density(k, j) <= user_density &&
                             user_density <= (1.0F + t / 100.0F) * c.density(k, j))) {
          continue;
        }
        std::array<float, 8> theta{};
        bool finite = true;
        for (std::size_t s = 0; s < suctions.size(); ++s) {
          theta[s] = static_cast<float>(van_genuchten(
              c.theta_s(k, j), c.theta_r(k, j), c.alpha(k, j), c.n(k, j), c.m(k, j), suctions[s]));
          finite = finite && std::isfinite(theta[s]);
        }
        if (!finite) continue;
        ++r.count;
        sums[0] += c.density(k, j);
        sums[1] += c.theta_s(k, j);
        sums[2] += theta[1];
        sums[3] += theta[4];
        sums[4] += theta[7];
        r.used.emplace_back(k, j);
        if (density_set) {
          std::string line = fixed_form(static_cast<float>(w.last) * 10.0F, 8, 2) +
                             fixed_form(c.density(k, j), 8, 2) + fixed_form(c.theta_s(k, j), 8, 2);
          for (const float v : theta)
            line += fixed_form(v, 8, 2);
          for (const LayerGrid& g : c.further)
            line += fixed_form(g(k, j), 8, 2);
          line += fixed_form(c.clay(k, j), 8, 2) + fixed_form(c.sand(k, j), 8, 2);
          r.trace.push_back(line);
        }
      }
    }
    t += 2.0F;
    if (r.count > 2) {
      const auto n = static_cast<float>(r.count);
      const float f = 1.0F - stones / 100.0F;
      r.density = sums[0] / n;
      r.saturated = f * (sums[1] / n);
      r.fc = f * (sums[2] / n);
      r.sp = f * (sums[3] / n);
      r.wp = f * (sums[4] / n);
      return true;
    }
  }
  return false;
}

float grid(std::mt19937& random, int low, int high) {
  return static_cast<float>(std::uniform_int_distribution<int>(low * 10, high * 10)(random)) /
         10.0F;
}

TEST(SoilPropertiesRule, FastSearchAgreesWithTheSteppedRule) {
  std::mt19937 random(20261208);
  int compared = 0;
  for (int round = 0; round < 400; ++round) {
    auto table = std::make_unique<RetentionCurves>();
    const int profiles = std::uniform_int_distribution<int>(1, 12)(random);
    for (int k = 1; k <= profiles; ++k) {
      for (int j = 1; j <= kLayers; ++j) {
        testing::Entry e;
        e.sand = grid(random, 0, 90);
        e.clay = grid(random, 0, 60);
        e.density = 0.9F + grid(random, 0, 9) / 10.0F;
        e.alpha = round % 7 == 0 && j % 5 == 0 ? -1.0F : 0.02F + grid(random, 0, 5) / 100.0F;
        e.n = 1.1F + grid(random, 0, 20) / 10.0F;
        e.m = 1.0F - 1.0F / e.n;
        testing::put(*table, k, j, e);
      }
    }
    const bool density_set = round % 3 == 0;
    const float top = grid(random, 0, 150);
    const float bottom = top + grid(random, 1, 60);
    const float sand = grid(random, 0, 90);
    const float clay = grid(random, 0, 60);
    const float user_density = 1.0F + grid(random, 0, 8) / 10.0F;

    Result want;
    if (!stepped(*table, top, bottom, user_density, sand, clay, 10.0F, density_set, want)) continue;
    testing::LineLog trace;
    Result got;
    std::vector<ReferenceEntry> used;
    got.count =
        SOIL_PROPERTIES(*table, trace, top, bottom, user_density, sand, clay, 10.0F, got.density,
                        got.saturated, got.fc, got.sp, got.wp, density_set, &used);
    SCOPED_TRACE("round " + std::to_string(round));
    ASSERT_EQ(got.count, want.count);
    EXPECT_EQ(got.density, want.density);
    EXPECT_EQ(got.saturated, want.saturated);
    EXPECT_EQ(got.fc, want.fc);
    EXPECT_EQ(got.sp, want.sp);
    EXPECT_EQ(got.wp, want.wp);
    ASSERT_EQ(used.size(), want.used.size());
    for (std::size_t i = 0; i < used.size(); ++i)
      EXPECT_EQ(std::pair(used[i].k, used[i].j), want.used[i]);
    EXPECT_EQ(trace.lines, want.trace);
    ++compared;
  }
  EXPECT_GT(compared, 300);
}

}  // namespace
}  // namespace vantrel
