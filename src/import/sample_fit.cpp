// Each sample's van Genuchten curve: the checks before a fit (enough suctions, no point
// above the pore space), the odd point left out, and the checks after it.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "import/measured_profiles.hpp"

namespace vantrel {

std::string missing_ends(const MeasuredSample& sample) {
  bool wet = false, dry = false;
  for (const RetentionPoint& p : sample.points) {
    wet = wet || p.suction <= kWetEnd;
    dry = dry || p.suction >= kDryEnd;
  }
  if (!wet && !dry) return "no point at 33 kPa or wetter, and none at 500 kPa or drier";
  if (!wet) return "no point at 33 kPa or wetter";
  if (!dry) return "no point at 500 kPa or drier";
  return {};
}

namespace {

int distinct_suctions(const MeasuredSample& s) {
  std::vector<double> suctions;
  for (const RetentionPoint& p : s.points)
    suctions.push_back(p.suction);
  std::sort(suctions.begin(), suctions.end());
  return static_cast<int>(std::unique(suctions.begin(), suctions.end()) - suctions.begin());
}

std::string one_decimal(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", v);
  return text;
}

std::string two_decimals(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", v);
  return text;
}

// What is wrong with a sample before any fit: too few suctions for four parameters, or a wet
// point above the pore space (which the fit's bound on theta_s would silently hide).
std::optional<std::string> unfit_sample(const MeasuredSample& s) {
  const int suctions = distinct_suctions(s);
  if (suctions < kMinimumPoints) {
    return "sample " + depth_range(s) + " has " + std::to_string(s.points.size()) + " points at " +
           std::to_string(suctions) + " suction(s); a curve of four parameters needs at least " +
           std::to_string(kMinimumPoints) + " suctions";
  }
  const double pores = 100.0 * (1.0 - s.density / 2.65) + 3.0;
  for (const RetentionPoint& p : s.points) {
    if (p.theta > pores + 1e-9) {
      return "sample " + depth_range(s) + ": its point of " + one_decimal(p.theta) + " %vol at " +
             one_decimal(p.suction) +
             " kPa lies above the pore space of its density plus 3 %vol (" + one_decimal(pores) +
             ")";
    }
  }
  return std::nullopt;
}

// The sample's curve through `points`, within the bounds of real soils: the curve may pass a
// little above the driest and below the wettest point (the noise of a measurement), and
// theta_s stays within the pore space of its density.
RetentionCurve fit_points(const MeasuredSample& s, std::span<const RetentionPoint> points) {
  double wettest = 0;
  double driest = 100;
  for (const RetentionPoint& p : points) {
    wettest = std::max(wettest, p.theta);
    driest = std::min(driest, p.theta);
  }
  RetentionBounds bounds;
  const double pores = std::min(100.0, 100.0 * (1.0 - s.density / 2.65) + 3.0);
  bounds.theta_s_min = std::max(0.0, std::min(wettest - kMeasurementNoise, pores));
  bounds.theta_s_max = std::max(bounds.theta_s_min, pores);
  bounds.theta_r_max = std::max(driest + kMeasurementNoise, 1e-9);
  return fit_retention_curve(points, bounds);
}

// How far point `i` lies from the curve fitted through the sample's other points, %vol.
double odd_distance(const MeasuredSample& s, std::size_t i) {
  std::vector<RetentionPoint> others = s.points;
  others.erase(others.begin() + static_cast<std::ptrdiff_t>(i));
  const RetentionCurve without = fit_points(s, others);
  return std::fabs(without.theta_at(s.points[i].suction) - s.points[i].theta);
}

// One odd point bends the whole curve towards it, and the curve then misses the others too.
// A point is taken as odd when the curve through all the points misses some point by more than
// the noise of a measurement, while the curve through the others fits them within that noise
// and lies more than 5 %vol from it. Where points are sparse on a steep curve, every point
// lies far from the curve of the others, but the whole curve fits them all: none is odd. Only
// where the others still give a curve (four suctions, both ends reached).
std::optional<std::size_t> outlier(const MeasuredSample& s) {
  if (largest_misfit(fit_points(s, s.points), s.points) <= kMeasurementNoise) return std::nullopt;
  std::optional<std::size_t> worst;
  double farthest = kLargestMisfit;
  for (std::size_t i = 0; i < s.points.size(); ++i) {
    MeasuredSample others = s;
    others.points.erase(others.points.begin() + static_cast<std::ptrdiff_t>(i));
    if (distinct_suctions(others) < kMinimumPoints || !missing_ends(others).empty()) continue;
    const RetentionCurve without = fit_points(s, others.points);
    if (largest_misfit(without, others.points) > kMeasurementNoise) continue;
    const double d = std::fabs(without.theta_at(s.points[i].suction) - s.points[i].theta);
    if (d > farthest) {
      farthest = d;
      worst = i;
    }
  }
  return worst;
}

}  // namespace

void fit_samples(std::vector<MeasuredSample>& samples, std::vector<MeasuredProblem>& problems,
                 bool allow_partial) {
  std::vector<MeasuredSample> kept;
  for (MeasuredSample& s : samples) {
    if (const auto why = unfit_sample(s)) {
      problems.push_back({s.line, *why});
      continue;
    }
    if (const std::string missing = missing_ends(s); !missing.empty()) {
      if (!allow_partial) {
        problems.push_back({s.line, "sample " + depth_range(s) + ": " + missing +
                                        "; a curve from one side is a guess, so the sample is "
                                        "left out (--allow-partial fits it all the same)"});
        continue;
      }
      s.partial = missing;
      problems.push_back({s.line,
                          "sample " + depth_range(s) + ": " + missing +
                              "; fitted all the same (--allow-partial) and marked in the file",
                          false, true});
    }
    if (const auto odd = outlier(s)) {
      const RetentionPoint p = s.points[*odd];
      problems.push_back({s.line,
                          "sample " + depth_range(s) + ": its point of " + one_decimal(p.theta) +
                              " %vol at " + one_decimal(p.suction) + " kPa lies " +
                              one_decimal(odd_distance(s, *odd)) +
                              " %vol from the curve of its other points; fitted without it",
                          false, true});
      s.points.erase(s.points.begin() + static_cast<std::ptrdiff_t>(*odd));
    }
    s.curve = fit_points(s, s.points);
    const double misfit = largest_misfit(s.curve, s.points);
    if (!(misfit <= kLargestMisfit)) {
      char text[48];
      std::snprintf(text, sizeof text, "%.1f", misfit);
      problems.push_back({s.line, "sample " + depth_range(s) +
                                      ": the fitted curve misses a point by " + text +
                                      " %vol (more than 5)"});
      continue;
    }
    const RetentionCurve& c = s.curve;
    if (const auto why = implausible_layer(s.density, c.theta_s, c.theta_r, c.alpha, c.n, c.m(),
                                           kRealDensities)) {
      problems.push_back({s.line, "sample " + depth_range(s) +
                                      ": the fitted curve is unlike any real soil (" + *why +
                                      "), so the sample is left out"});
      continue;
    }
    // A real density, yet outside the mineral soils' usual range: kept, and said.
    if (s.density < kMineralDensities.low || s.density > kMineralDensities.high) {
      problems.push_back({s.line,
                          "sample " + depth_range(s) + ": a density of " + two_decimals(s.density) +
                              " kg/L lies outside the 0.9 to 1.85 of most mineral soils; kept, "
                              "check it",
                          true});
    }
    kept.push_back(std::move(s));
  }
  samples = std::move(kept);
}

}  // namespace vantrel
