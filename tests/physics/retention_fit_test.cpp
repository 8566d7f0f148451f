#include "physics/retention_fit.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace vantrel {
namespace {

std::vector<RetentionPoint> points_of(const RetentionCurve& c, int count = 12) {
  std::vector<RetentionPoint> points;
  for (int i = 0; i < count; ++i) {
    const double suction = std::pow(1500.0, i / (count - 1.0));
    points.push_back({suction, c.theta_at(suction)});
  }
  return points;
}

TEST(RetentionFit, RecoversKnownCurves) {
  const RetentionCurve cases[] = {
      {37.5, 5.3, 0.35, 3.18},  // a sand (ROSETTA's class average, alpha in 1/kPa)
      {39.9, 6.1, 0.11, 1.47},  // a loam
      {45.9, 9.8, 0.15, 1.25},  // a clay
      {43.9, 6.5, 0.05, 1.66},  // a silt loam
  };
  for (const RetentionCurve& truth : cases) {
    SCOPED_TRACE(truth.n);
    const auto points = points_of(truth);
    RetentionBounds bounds;
    bounds.theta_s_min = 20;
    bounds.theta_s_max = 60;
    const RetentionCurve fit = fit_retention_curve(points, bounds);
    EXPECT_LT(largest_misfit(fit, points), 0.1);
    EXPECT_NEAR(fit.n, truth.n, 0.02 * truth.n);
    EXPECT_NEAR(fit.alpha, truth.alpha, 0.05 * truth.alpha);
    EXPECT_NEAR(fit.theta_s, truth.theta_s, 0.2);
    EXPECT_NEAR(fit.theta_r, truth.theta_r, 0.3);
  }
}

// Data that ask for parameters outside the bounds get the nearest plausible curve.
TEST(RetentionFit, StaysWithinItsBounds) {
  const RetentionCurve steep{40, 2, 20.0, 6.0};  // alpha and n beyond real soils
  const auto points = points_of(steep);
  RetentionBounds bounds;
  bounds.theta_s_max = 38;
  const RetentionCurve fit = fit_retention_curve(points, bounds);
  EXPECT_LE(fit.alpha, 5.0);
  EXPECT_LE(fit.n, 4.0);
  EXPECT_GE(fit.n, 1.05);
  EXPECT_LE(fit.theta_s, 38.0);
  EXPECT_GE(fit.theta_r, 0.0);
  double driest = 100;
  for (const RetentionPoint& p : points)
    driest = std::min(driest, p.theta);
  EXPECT_LT(fit.theta_r, driest);
}

TEST(RetentionFit, WeightsPullTheCurveToTheirPoints) {
  // A kinked curve no van Genuchten curve follows: the weighted point is met more closely.
  std::vector<RetentionPoint> points;
  for (int i = 0; i < 20; ++i) {
    const double suction = std::pow(1500.0, i / 19.0);
    points.push_back(
        {suction, suction < 33 ? 45.0 - 30.0 * suction / 33.0 : 15.0 - std::log(suction / 33.0)});
  }
  const RetentionCurve plain = fit_retention_curve(points, {});
  points.push_back({33.0, 15.0, 50.0});
  const RetentionCurve weighted = fit_retention_curve(points, {});
  EXPECT_LT(std::fabs(weighted.theta_at(33) - 15.0), std::fabs(plain.theta_at(33) - 15.0));
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

// The plausibility of a layer at each of its bounds, and a value just past each.
TEST(ImplausibleLayer, EachBoundAndJustPastIt) {
  struct Case {
    double density, theta_s, theta_r, alpha, n;
    const char* fault;  // what the reason starts with; empty when plausible
  } cases[] = {
      {1.3, 45, 5, 0.05, 1.5, ""},
      {1.3, 45, 5, 0.01, 1.5, ""},
      {1.3, 45, 5, 0.0099, 1.5, "alpha"},
      {1.3, 45, 5, 5.0, 1.5, ""},
      {1.3, 45, 5, 5.1, 1.5, "alpha"},
      {1.3, 45, 5, 0.05, 1.05, ""},
      {1.3, 45, 5, 0.05, 1.04, "n "},
      {1.3, 45, 5, 0.05, 4.0, ""},
      {1.3, 45, 5, 0.05, 4.01, "n "},
      {0.9, 45, 5, 0.05, 1.5, ""},
      {0.89, 45, 5, 0.05, 1.5, "density"},
      {1.85, 32, 5, 0.05, 1.5, ""},
      {1.86, 32, 5, 0.05, 1.5, "density"},
      {1.3, 100.0 * (1 - 1.3 / 2.65) + 3.0, 5, 0.05, 1.5, ""},  // at the pore space plus 3
      {1.3, 100.0 * (1 - 1.3 / 2.65) + 3.1, 5, 0.05, 1.5, "theta_s"},
      {1.3, 100, 5, 0.05, 1.5, "theta_s"},
      {1.3, 0, 0, 0.05, 1.5, "the curve"},  // all water contents 0
      {1.3, 45, 45, 0.05, 1.5, "the curve"},
      {1.3, 45, -1, 0.05, 1.5, "the curve"},
  };
  for (const Case& c : cases) {
    const auto why = implausible_layer(c.density, c.theta_s, c.theta_r, c.alpha, c.n, 1 - 1 / c.n);
    if (*c.fault == '\0') {
      EXPECT_FALSE(why.has_value()) << why.value_or("") << " for " << c.density << " " << c.alpha;
    } else {
      ASSERT_TRUE(why.has_value()) << c.fault;
      EXPECT_EQ(why->rfind(c.fault, 0), 0U) << *why;
    }
  }
  EXPECT_TRUE(implausible_layer(1.3, 45, 5, 0.05, 1.5, 0.5).has_value());  // m is not 1 - 1/n
}

}  // namespace
}  // namespace vantrel
