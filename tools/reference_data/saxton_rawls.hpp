// Soil water characteristics from texture and organic matter after Saxton & Rawls (2006),
// "Soil water characteristic estimates by texture and organic matter for hydrologic
// solutions", Soil Sci. Soc. Am. J. 70:1569-1578. Used only to make the demonstration
// reference profiles.
#pragma once

namespace vantrel::reference_data {

struct SaxtonRawls {
  double theta1500 = 0;  // m3/m3 at 1500 kPa
  double theta33 = 0;    // m3/m3 at 33 kPa, density-adjusted
  double theta_s = 0;    // m3/m3 at saturation, density-adjusted
  double psi_e = 0;      // air-entry tension, kPa
  double density = 0;    // dry bulk density with the density factor, kg/L
  double b = 0;          // slope of ln(psi) against ln(theta), 33..1500 kPa
  double a = 0;          // psi = a * theta^-b
  double ks = 0;         // saturated conductivity, mm/h
  // The density adjustment pushed theta33 to saturation: the equations no longer hold there.
  bool adjustment_breaks = false;

  // Water content on the power-law part of the curve (33 to 1500 kPa).
  double theta_at(double psi) const;
  // The curve the demonstration profiles are fitted to: theta_s up to the air-entry tension,
  // the power law (their equation 11) from there on, never above theta_s.
  double theta_curve(double psi) const;
  // Their own wet end instead: a straight segment in psi from the air entry to 33 kPa (their
  // equation 14). It keeps sands near saturation at 10 kPa (about 37 %vol), which is why the
  // profiles are not fitted to it.
  double theta_segment(double psi) const;
};

// sand and clay in percent by weight, organic matter in percent, density factor 0.9..1.3.
SaxtonRawls saxton_rawls(double sand, double clay, double organic_matter, double density_factor);

}  // namespace vantrel::reference_data
