// Least-squares fit of a van Genuchten curve (m = 1 - 1/n, theta_s fixed) to points.
#pragma once

#include <span>

namespace vantrel::reference_data {

struct CurvePoint {
  double suction;  // kPa
  double theta;    // any unit; the fit uses the same
};

struct VanGenuchten {
  double theta_s = 0;
  double theta_r = 0;
  double alpha = 0;  // 1/kPa
  double n = 0;
  double m() const { return 1.0 - 1.0 / n; }
  double theta_at(double suction) const;
};

// The best theta_r (0 <= theta_r below the smallest point), alpha and n > 1 by Nelder-Mead
// from several fixed starting points: deterministic for the same points.
VanGenuchten fit_van_genuchten(double theta_s, std::span<const CurvePoint> points);

}  // namespace vantrel::reference_data
