// The van Genuchten water-retention curve: the one place its equation is written.
#pragma once

namespace vantrel {

// (1 + (alpha h)^n)^m: the curve's water content is theta_r + (theta_s - theta_r) divided by it.
double retention_divisor(double alpha, double n, double m, double h);

// The water content at suction h (kPa), in the unit of theta_s and theta_r, in double precision.
double van_genuchten(double theta_s, double theta_r, double alpha, double n, double m, double h);

}  // namespace vantrel
