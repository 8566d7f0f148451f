#include "physics/retention_fit.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "physics/van_genuchten.hpp"

namespace vantrel {

double RetentionCurve::theta_at(double suction) const {
  return van_genuchten(theta_s, theta_r, alpha, n, m(), suction);
}

namespace {

constexpr double kInfinite = std::numeric_limits<double>::max();

struct Box {
  double r_low, r_high, s_low, s_high;
};

// theta = r (1 - S) + s S with S the effective saturation: the best r and s in the box.
struct Linear {
  double sum_uu = 0, sum_uv = 0, sum_vv = 0, sum_uy = 0, sum_vy = 0, sum_yy = 0;

  double cost(double r, double s) const {
    return sum_yy - 2 * (r * sum_uy + s * sum_vy) + r * r * sum_uu + 2 * r * s * sum_uv +
           s * s * sum_vv;
  }
  // The best value of one variable with the other fixed, clamped to its range.
  static double along(double a, double b, double low, double high) {
    return a > 0 ? std::clamp(b / a, low, high) : low;
  }
  std::array<double, 3> best(const Box& box) const {
    const double det = sum_uu * sum_vv - sum_uv * sum_uv;
    if (det > 1e-12) {
      const double r = (sum_uy * sum_vv - sum_vy * sum_uv) / det;
      const double s = (sum_vy * sum_uu - sum_uy * sum_uv) / det;
      if (r >= box.r_low && r <= box.r_high && s >= box.s_low && s <= box.s_high) {
        return {r, s, cost(r, s)};
      }
    }
    // A convex cost outside the box has its least on the box's edges.
    std::array<double, 3> found = {0, 0, kInfinite};
    const auto consider = [&](double r, double s) {
      const double c = cost(r, s);
      if (c < found[2]) found = {r, s, c};
    };
    for (const double r : {box.r_low, box.r_high}) {
      consider(r, along(sum_vv, sum_vy - r * sum_uv, box.s_low, box.s_high));
    }
    for (const double s : {box.s_low, box.s_high}) {
      consider(along(sum_uu, sum_uy - s * sum_uv, box.r_low, box.r_high), s);
    }
    return found;
  }
};

struct Problem {
  std::span<const RetentionPoint> points;
  Box box;
  RetentionBounds bounds;

  // The least cost for this alpha and n, with the water contents that give it.
  std::array<double, 3> solve(double alpha, double n) const {
    Linear l;
    const double m = 1.0 - 1.0 / n;
    for (const RetentionPoint& p : points) {
      const double v = 1.0 / retention_divisor(alpha, n, m, p.suction);
      const double u = 1.0 - v;
      const double w = p.weight;
      l.sum_uu += w * u * u;
      l.sum_uv += w * u * v;
      l.sum_vv += w * v * v;
      l.sum_uy += w * u * p.theta;
      l.sum_vy += w * v * p.theta;
      l.sum_yy += w * p.theta * p.theta;
    }
    return l.best(box);
  }
  // The search works on ln alpha and n, held within their bounds.
  double cost(double log_alpha, double n) const {
    log_alpha = std::clamp(log_alpha, std::log(bounds.alpha_min), std::log(bounds.alpha_max));
    n = std::clamp(n, bounds.n_min, bounds.n_max);
    const double c = solve(std::exp(log_alpha), n)[2];
    return std::isfinite(c) ? c : kInfinite;
  }
};

// Nelder-Mead on two variables from a start, with a fixed number of steps.
std::array<double, 2> refine(const Problem& p, std::array<double, 2> start,
                             std::array<double, 2> step) {
  std::array<std::array<double, 2>, 3> x = {start, start, start};
  x[1][0] += step[0];
  x[2][1] += step[1];
  std::array<double, 3> f{};
  for (std::size_t i = 0; i < 3; ++i)
    f[i] = p.cost(x[i][0], x[i][1]);
  for (int iteration = 0; iteration < 300; ++iteration) {
    std::array<std::size_t, 3> o = {0, 1, 2};
    std::sort(o.begin(), o.end(), [&](auto a, auto b) { return f[a] < f[b]; });
    if (f[o[2]] - f[o[0]] < 1e-12) break;
    const std::array<double, 2> c = {(x[o[0]][0] + x[o[1]][0]) / 2, (x[o[0]][1] + x[o[1]][1]) / 2};
    const auto along = [&](double t) {
      return std::array<double, 2>{c[0] + t * (x[o[2]][0] - c[0]), c[1] + t * (x[o[2]][1] - c[1])};
    };
    const auto reflected = along(-1.0);
    const double fr = p.cost(reflected[0], reflected[1]);
    if (fr < f[o[0]]) {
      const auto expanded = along(-2.0);
      const double fe = p.cost(expanded[0], expanded[1]);
      x[o[2]] = fe < fr ? expanded : reflected;
      f[o[2]] = std::min(fe, fr);
    } else if (fr < f[o[1]]) {
      x[o[2]] = reflected;
      f[o[2]] = fr;
    } else {
      const auto contracted = along(0.5);
      const double fc = p.cost(contracted[0], contracted[1]);
      if (fc < f[o[2]]) {
        x[o[2]] = contracted;
        f[o[2]] = fc;
      } else {
        for (const std::size_t i : {o[1], o[2]}) {
          x[i] = {(x[i][0] + x[o[0]][0]) / 2, (x[i][1] + x[o[0]][1]) / 2};
          f[i] = p.cost(x[i][0], x[i][1]);
        }
      }
    }
  }
  return x[static_cast<std::size_t>(std::min_element(f.begin(), f.end()) - f.begin())];
}

}  // namespace

RetentionCurve fit_retention_curve(std::span<const RetentionPoint> points,
                                   const RetentionBounds& bounds) {
  double driest = points.empty() ? 0.0 : kInfinite;
  for (const RetentionPoint& p : points)
    driest = std::min(driest, p.theta);
  const double r_high = bounds.theta_r_max > 0
                            ? bounds.theta_r_max
                            : std::max(0.0, driest - 0.01 * std::max(driest, 1.0));
  Problem problem{points,
                  {0.0, r_high, std::max(bounds.theta_s_min, 0.0),
                   std::max(bounds.theta_s_max, bounds.theta_s_min)},
                  bounds};

  // A grid over ln alpha and n, then the best few points refined.
  constexpr int kSteps = 24;
  const double la_low = std::log(bounds.alpha_min);
  const double la_high = std::log(bounds.alpha_max);
  struct Start {
    double cost, log_alpha, n;
  };
  std::vector<Start> grid;
  for (int i = 0; i <= kSteps; ++i) {
    for (int j = 0; j <= kSteps; ++j) {
      const double la = la_low + (la_high - la_low) * i / kSteps;
      const double n = bounds.n_min + (bounds.n_max - bounds.n_min) * j / kSteps;
      grid.push_back({problem.cost(la, n), la, n});
    }
  }
  std::sort(grid.begin(), grid.end(), [](const Start& a, const Start& b) {
    return a.cost < b.cost || (a.cost == b.cost && (a.log_alpha < b.log_alpha ||
                                                    (a.log_alpha == b.log_alpha && a.n < b.n)));
  });
  const std::array<double, 2> step = {(la_high - la_low) / kSteps,
                                      (bounds.n_max - bounds.n_min) / kSteps};
  std::array<double, 2> best = {grid.front().log_alpha, grid.front().n};
  double best_cost = grid.front().cost;
  for (std::size_t k = 0; k < std::min<std::size_t>(4, grid.size()); ++k) {
    const auto found = refine(problem, {grid[k].log_alpha, grid[k].n}, step);
    const double c = problem.cost(found[0], found[1]);
    if (c < best_cost) {
      best_cost = c;
      best = found;
    }
  }
  RetentionCurve curve;
  curve.alpha = std::exp(std::clamp(best[0], la_low, la_high));
  curve.n = std::clamp(best[1], bounds.n_min, bounds.n_max);
  const auto solved = problem.solve(curve.alpha, curve.n);
  curve.theta_r = solved[0];
  curve.theta_s = solved[1];
  return curve;
}

double largest_misfit(const RetentionCurve& curve, std::span<const RetentionPoint> points) {
  double largest = 0;
  for (const RetentionPoint& p : points) {
    const double d = std::fabs(curve.theta_at(p.suction) - p.theta);
    largest = std::isfinite(d) ? std::max(largest, d) : kInfinite;
  }
  return largest;
}

}  // namespace vantrel

namespace vantrel {

std::optional<std::string> implausible_layer(double density, double theta_s, double theta_r,
                                             double alpha, double n, double m,
                                             DensityRange densities) {
  // Bounds hold to single precision: the file stores its values as floats.
  const auto between = [](double v, double low, double high) {
    return v >= low * (1 - 1e-6) && v <= high * (1 + 1e-6);
  };
  const auto named = [](const char* what, double v) {
    char text[96];
    std::snprintf(text, sizeof text, "%s %.4g", what, v);
    return std::string(text);
  };
  if (!between(alpha, 0.01, 5.0)) return named("alpha (1/kPa) outside 0.01 to 5:", alpha);
  if (!between(n, 1.05, 4.0)) return named("n outside 1.05 to 4:", n);
  if (!(std::fabs(m - (1.0 - 1.0 / n)) < 1e-3)) return named("m is not 1 - 1/n:", m);
  if (!between(density, densities.low, densities.high)) {
    char what[64];
    std::snprintf(what, sizeof what, "density (kg/L) outside %g to %g:", densities.low,
                  densities.high);
    return named(what, density);
  }
  const double pores = 100.0 * (1.0 - density / 2.65) + 3.0;
  if (!(theta_s <= pores + 0.01)) {
    return named("theta_s (%vol) above the pore space plus 3 %vol:", theta_s);
  }
  const RetentionCurve curve{theta_s, theta_r, alpha, n};
  const double wilting = curve.theta_at(1500);
  const double wet = curve.theta_at(10);
  if (!(theta_r >= 0 && theta_r < wilting && wilting < wet && wet < theta_s)) {
    return named("the curve does not fall from saturation to wilting point; theta_s", theta_s);
  }
  return std::nullopt;
}

}  // namespace vantrel
