#include "reference_data/saxton_rawls.hpp"

#include <algorithm>
#include <cmath>

namespace vantrel::reference_data {

double SaxtonRawls::theta_at(double psi) const {
  return std::pow(psi / a, -1.0 / b);
}

double SaxtonRawls::theta_curve(double psi) const {
  if (psi <= psi_e) return theta_s;
  return std::min(theta_s, theta_at(psi));
}

double SaxtonRawls::theta_segment(double psi) const {
  if (psi >= 33.0) return theta_at(psi);
  const double entry = std::clamp(psi_e, 0.0, 32.0);
  if (psi <= entry) return theta_s;
  return theta33 + (33.0 - psi) * (theta_s - theta33) / (33.0 - entry);
}

SaxtonRawls saxton_rawls(double sand, double clay, double organic_matter, double density_factor) {
  const double s = sand / 100.0;
  const double c = clay / 100.0;
  const double om = organic_matter;

  const double t1500t =
      -0.024 * s + 0.487 * c + 0.006 * om + 0.005 * s * om - 0.013 * c * om + 0.068 * s * c + 0.031;
  const double t1500 = t1500t + (0.14 * t1500t - 0.02);
  const double t33t =
      -0.251 * s + 0.195 * c + 0.011 * om + 0.006 * s * om - 0.027 * c * om + 0.452 * s * c + 0.299;
  const double t33 = t33t + (1.283 * t33t * t33t - 0.374 * t33t - 0.015);
  const double ts33t =
      0.278 * s + 0.034 * c + 0.022 * om - 0.018 * s * om - 0.027 * c * om - 0.584 * s * c + 0.078;
  const double ts33 = ts33t + (0.636 * ts33t - 0.107);
  const double psi_et = -21.67 * s - 27.93 * c - 81.97 * ts33 + 71.12 * s * ts33 + 8.29 * c * ts33 +
                        14.05 * s * c + 27.16;
  const double psi_e = psi_et + (0.02 * psi_et * psi_et - 0.113 * psi_et - 0.70);
  const double ts = t33 + ts33 - 0.097 * s + 0.043;
  const double normal_density = (1.0 - ts) * 2.65;

  // Compaction: a denser soil holds less at saturation and at 33 kPa; 1500 kPa is unchanged.
  SaxtonRawls r;
  r.density = normal_density * density_factor;
  r.theta_s = 1.0 - r.density / 2.65;
  r.theta33 = t33 - 0.2 * (ts - r.theta_s);
  r.adjustment_breaks = r.theta33 > r.theta_s - 0.005;
  r.theta33 = std::min(r.theta33, r.theta_s - 0.005);  // theta_s - theta33 at least 0.005
  r.theta1500 = t1500;
  r.psi_e = psi_e;
  r.b = (std::log(1500.0) - std::log(33.0)) / (std::log(r.theta33) - std::log(r.theta1500));
  r.a = std::exp(std::log(33.0) + r.b * std::log(r.theta33));
  const double lambda = 1.0 / r.b;
  r.ks = 1930.0 * std::pow(r.theta_s - r.theta33, 3.0 - lambda);
  return r;
}

}  // namespace vantrel::reference_data
