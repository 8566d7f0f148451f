// Text of Soil_WRC.csv files for tests and benchmarks.
#pragma once

#include <string>

namespace vantrel::testing {

// One layer line: density, label, theta_s, theta_r, alpha, n, m, four further values, clay, sand.
inline std::string layer_line(double density, double theta_s, double theta_r, double alpha,
                              double n, double clay, double sand) {
  const double m = 1.0 - 1.0 / n;
  return std::to_string(density) + ",Ap," + std::to_string(theta_s) + "," +
         std::to_string(theta_r) + "," + std::to_string(alpha) + "," + std::to_string(n) + "," +
         std::to_string(m) + ",10.5,1.2,40,10," + std::to_string(clay) + "," +
         std::to_string(sand) + "\n";
}

inline std::string profile_header(int k) {
  return "Profile " + std::to_string(k) + "\nsite,demo\ndensity,label,theta_s,...\n";
}

// `profiles` complete profiles whose sand and clay vary with the profile and the layer.
inline std::string wrc_file(int profiles) {
  std::string text;
  for (int k = 1; k <= profiles; ++k) {
    text += profile_header(k);
    for (int j = 1; j <= 20; ++j) {
      const double sand = (k * 37 + j * 3) % 90 + 5;
      const double clay = (k * 53 + j * 7) % (100 - static_cast<int>(sand)) * 0.6;
      text += layer_line(1.2 + 0.01 * j, 45.0, 5.0 + clay / 10.0, 0.02 + sand / 2000.0,
                         1.2 + sand / 200.0, clay, sand);
    }
  }
  return text;
}

}  // namespace vantrel::testing
