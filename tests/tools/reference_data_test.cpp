#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "reference_data/saxton_rawls.hpp"

namespace vantrel::reference_data {
namespace {

// Saxton & Rawls (2006), Table 3 (organic matter 2.5 %, density factor 1), in %vol.
TEST(SaxtonRawls, ReproducesThePublishedTable3) {
  struct Row {
    double sand, clay, wp, fc, saturated;
  };
  for (const Row& row : {Row{40, 20, 14, 28, 46}, Row{25, 50, 30, 42, 50}, Row{88, 5, 5, 10, 46}}) {
    const SaxtonRawls s = saxton_rawls(row.sand, row.clay, 2.5, 1.0);
    EXPECT_NEAR(100 * s.theta1500, row.wp, 1.0) << row.sand << "/" << row.clay;
    EXPECT_NEAR(100 * s.theta33, row.fc, 1.0) << row.sand << "/" << row.clay;
    EXPECT_NEAR(100 * s.theta_s, row.saturated, 1.0) << row.sand << "/" << row.clay;
  }
}

TEST(SaxtonRawls, PowerLawPassesThroughItsEnds) {
  const SaxtonRawls s = saxton_rawls(40, 20, 2.5, 1.0);
  EXPECT_NEAR(s.theta_at(33), s.theta33, 1e-12);
  EXPECT_NEAR(s.theta_at(1500), s.theta1500, 1e-12);
  EXPECT_NEAR(s.density, 2.65 * (1 - s.theta_s), 1e-12);
  EXPECT_GT(s.ks, 0);
}

TEST(SaxtonRawls, CompactionLowersSaturationAnd33kPaOnly) {
  const SaxtonRawls loose = saxton_rawls(40, 20, 1.0, 1.0);
  const SaxtonRawls dense = saxton_rawls(40, 20, 1.0, 1.2);
  EXPECT_NEAR(dense.density, 1.2 * loose.density, 1e-12);
  EXPECT_LT(dense.theta_s, loose.theta_s);
  EXPECT_LT(dense.theta33, loose.theta33);
  EXPECT_EQ(dense.theta1500, loose.theta1500);
}

}  // namespace
}  // namespace vantrel::reference_data
