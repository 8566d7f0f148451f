#include "reference_data/van_genuchten_fit.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace vantrel::reference_data {

double VanGenuchten::theta_at(double suction) const {
  return theta_r + (theta_s - theta_r) / std::pow(1.0 + std::pow(alpha * suction, n), m());
}

namespace {

using Vertex = std::array<double, 3>;  // theta_r, ln alpha, ln(n - 1)

VanGenuchten curve_of(double theta_s, const Vertex& x) {
  return {theta_s, x[0], std::exp(x[1]), 1.0 + std::exp(x[2])};
}

double misfit(double theta_s, std::span<const CurvePoint> points, const Vertex& x) {
  double smallest = std::numeric_limits<double>::max();
  for (const CurvePoint& p : points)
    smallest = std::min(smallest, p.theta);
  if (x[0] < 0.0 || x[0] >= smallest) return std::numeric_limits<double>::max();
  const VanGenuchten curve = curve_of(theta_s, x);
  double sum = 0.0;
  for (const CurvePoint& p : points) {
    const double d = curve.theta_at(p.suction) - p.theta;
    sum += d * d;
  }
  return std::isfinite(sum) ? sum : std::numeric_limits<double>::max();
}

Vertex nelder_mead(double theta_s, std::span<const CurvePoint> points, Vertex start) {
  std::array<Vertex, 4> simplex{start, start, start, start};
  const Vertex steps = {std::max(0.5, start[0] * 0.3), 0.7, 0.5};
  for (std::size_t i = 0; i < 3; ++i)
    simplex[i + 1][i] += steps[i];
  std::array<double, 4> value{};
  for (std::size_t i = 0; i < 4; ++i)
    value[i] = misfit(theta_s, points, simplex[i]);

  for (int iteration = 0; iteration < 4000; ++iteration) {
    std::array<std::size_t, 4> order{0, 1, 2, 3};
    std::sort(order.begin(), order.end(), [&](auto a, auto b) { return value[a] < value[b]; });
    const std::size_t best = order[0];
    const std::size_t worst = order[3];
    const std::size_t second_worst = order[2];
    if (value[worst] - value[best] < 1e-14) break;

    Vertex centroid{};
    for (std::size_t i : {order[0], order[1], order[2]}) {
      for (std::size_t d = 0; d < 3; ++d)
        centroid[d] += simplex[i][d] / 3.0;
    }
    const auto along = [&](double t) {
      Vertex v{};
      for (std::size_t d = 0; d < 3; ++d)
        v[d] = centroid[d] + t * (simplex[worst][d] - centroid[d]);
      return v;
    };
    const Vertex reflected = along(-1.0);
    const double reflected_value = misfit(theta_s, points, reflected);
    if (reflected_value < value[best]) {
      const Vertex expanded = along(-2.0);
      const double expanded_value = misfit(theta_s, points, expanded);
      const bool take_expanded = expanded_value < reflected_value;
      simplex[worst] = take_expanded ? expanded : reflected;
      value[worst] = take_expanded ? expanded_value : reflected_value;
    } else if (reflected_value < value[second_worst]) {
      simplex[worst] = reflected;
      value[worst] = reflected_value;
    } else {
      const Vertex contracted = along(0.5);
      const double contracted_value = misfit(theta_s, points, contracted);
      if (contracted_value < value[worst]) {
        simplex[worst] = contracted;
        value[worst] = contracted_value;
      } else {
        for (std::size_t i : {order[1], order[2], order[3]}) {
          for (std::size_t d = 0; d < 3; ++d) {
            simplex[i][d] = simplex[best][d] + 0.5 * (simplex[i][d] - simplex[best][d]);
          }
          value[i] = misfit(theta_s, points, simplex[i]);
        }
      }
    }
  }
  const auto best = std::min_element(value.begin(), value.end()) - value.begin();
  return simplex[static_cast<std::size_t>(best)];
}

}  // namespace

VanGenuchten fit_van_genuchten(double theta_s, std::span<const CurvePoint> points) {
  double smallest = std::numeric_limits<double>::max();
  for (const CurvePoint& p : points)
    smallest = std::min(smallest, p.theta);
  Vertex best{};
  double best_value = std::numeric_limits<double>::max();
  for (const double r : {0.0, 0.4, 0.8}) {
    for (const double alpha : {0.005, 0.05, 0.5}) {
      for (const double n : {1.15, 1.5, 2.5}) {
        const Vertex start = {r * smallest, std::log(alpha), std::log(n - 1.0)};
        const Vertex found = nelder_mead(theta_s, points, start);
        const double value = misfit(theta_s, points, found);
        if (value < best_value) {
          best_value = value;
          best = found;
        }
      }
    }
  }
  return curve_of(theta_s, best);
}

}  // namespace vantrel::reference_data
