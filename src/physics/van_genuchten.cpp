#include "physics/van_genuchten.hpp"

#include <cmath>

namespace vantrel {

double retention_divisor(double alpha, double n, double m, double h) {
  return std::pow(1.0 + std::pow(alpha * h, n), m);
}

double van_genuchten(double theta_s, double theta_r, double alpha, double n, double m, double h) {
  return theta_r + (theta_s - theta_r) / retention_divisor(alpha, n, m, h);
}

}  // namespace vantrel
