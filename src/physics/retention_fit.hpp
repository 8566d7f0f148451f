// Fitting a van Genuchten retention curve (m = 1 - 1/n) to measured or computed points, with
// every parameter kept within bounds that real soils respect.
#pragma once

#include <optional>
#include <span>
#include <string>

namespace vantrel {

struct RetentionPoint {
  double suction;       // kPa, positive
  double theta;         // % by volume
  double weight = 1.0;  // of its squared distance in the fit
};

struct RetentionBounds {
  double alpha_min = 0.01, alpha_max = 5.0;  // 1/kPa
  double n_min = 1.05, n_max = 4.0;
  double theta_s_min = 0, theta_s_max = 100;  // % by volume
  double theta_r_max =
      0;  // theta_r lies in [0, theta_r_max]; 0 or less: just below the driest point
};

struct RetentionCurve {
  double theta_s = 0, theta_r = 0;  // % by volume
  double alpha = 0;                 // 1/kPa
  double n = 0;
  double m() const { return 1.0 - 1.0 / n; }
  double theta_at(double suction) const;
};

// The least-squares curve through the points within the bounds. For given alpha and n the
// two water contents enter linearly and are solved exactly (within their bounds); alpha (on a
// log scale) and n are searched on a grid and refined. Deterministic.
RetentionCurve fit_retention_curve(std::span<const RetentionPoint> points,
                                   const RetentionBounds& bounds);

// The dry bulk densities a layer may have, kg/L: mineral soils as the made-up profiles hold
// them, or every real soil, from organic and volcanic ones to compacted subsoils.
struct DensityRange {
  double low, high;
};
inline constexpr DensityRange kMineralDensities{0.9, 1.85}, kRealDensities{0.3, 2.1};

// What makes a layer's curve and density unlike any real soil, or nothing when they are like
// one: alpha 0.01 to 5 1/kPa, n 1.05 to 4, m = 1 - 1/n, 0 <= theta_r < theta(1500 kPa) <
// theta(10 kPa) < theta_s, a dry bulk density within `densities`, and theta_s at most the
// pore space 1 - density/2.65 plus 3 %vol. The bundled reference profiles all pass it.
std::optional<std::string> implausible_layer(double density, double theta_s, double theta_r,
                                             double alpha, double n, double m,
                                             DensityRange densities = kMineralDensities);

// The largest distance, in % by volume, between the curve and the points.
double largest_misfit(const RetentionCurve& curve, std::span<const RetentionPoint> points);

}  // namespace vantrel
