#include "physics/soil_properties.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "data/number_text.hpp"

namespace vantrel {

namespace {

constexpr float kHalfLayer = 5.0F;
constexpr float kStartTolerance = 5.0F;
constexpr float kToleranceStep = 2.0F;
constexpr int kEnoughEntries = 2;  // the search ends once more entries than this qualify
constexpr float kPercent = 100.0F;

// Suctions (kPa) of the trace line, in its order; FC, SP and WP are at 10, 100 and 1500.
constexpr std::array<double, 8> kSuctions = {5, 10, 20, 40, 100, 200, 400, 1500};
constexpr std::size_t kFc = 1;
constexpr std::size_t kSp = 4;
constexpr std::size_t kWp = 7;
constexpr std::array<std::size_t, 3> kAlwaysEvaluated = {kFc, kSp, kWp};

// Last pass whose tolerance 5 + 2i is exact below 2^24; after it the float sum first
// rounds to 2^24 and then climbs by 2 up to 2^25.
constexpr int kLastOddPass = 8'388'605;
constexpr float kTwoTo24 = 16'777'216.0F;
constexpr float kTwoTo25 = 33'554'432.0F;

constexpr int kNever = -1;

// Truncates a window position into 1..20 without ever converting an out-of-range float.
int layer_of(float position) {
  if (!(position < static_cast<float>(kLayers) + 1.0F)) return kLayers;  // deep, or NaN
  return std::clamp(static_cast<int>(position), 1, kLayers);
}

struct Horizon {
  float sand;
  float clay;
  float user_density;
  bool density_set;
};

bool qualifies(const RetentionCurves& c, int k, int j, const Horizon& h, float t) {
  const float clay = c.clay(k, j);
  const float sand = c.sand(k, j);
  if (!(clay - t <= h.clay && h.clay <= clay + t && sand - t <= h.sand && h.sand <= sand + t)) {
    return false;
  }
  if (!h.density_set) return true;
  const float density = c.density(k, j);
  return (1.0F - t / kPercent) * density <= h.user_density &&
         h.user_density <= (1.0F + t / kPercent) * density;
}

// The first pass at which the entry qualifies, or kNever. Qualifying only gets easier as
// the tolerance grows, so a binary search over the passes finds it.
int first_pass(const RetentionCurves& c, int k, int j, const Horizon& h) {
  if (!qualifies(c, k, j, h, tolerance_of_pass(kLastPass))) return kNever;
  int low = 0;
  int high = kLastPass;
  while (low < high) {
    const int middle = low + (high - low) / 2;
    if (qualifies(c, k, j, h, tolerance_of_pass(middle))) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return low;
}

struct Candidate {
  int k = 0;
  int j = 0;
  int first_pass = kNever;
  bool qualified = false;
  std::array<float, kSuctions.size()> theta{};
  std::string trace;  // the trace line, made when the entry qualifies
};

// Water contents at the suctions the call evaluates; false when any is not finite.
bool evaluate(const RetentionCurves& c, Candidate& e, bool density_set) {
  const auto at = [&](std::size_t s) {
    e.theta[s] = static_cast<float>(van_genuchten(c.theta_s(e.k, e.j), c.theta_r(e.k, e.j),
                                                  c.alpha(e.k, e.j), c.n(e.k, e.j), c.m(e.k, e.j),
                                                  kSuctions[s]));
    return std::isfinite(e.theta[s]);
  };
  bool finite = true;
  if (density_set) {
    for (std::size_t s = 0; s < kSuctions.size(); ++s)
      finite = at(s) && finite;
  } else {
    for (const std::size_t s : kAlwaysEvaluated)
      finite = at(s) && finite;
  }
  return finite;
}

std::string trace_line(const RetentionCurves& c, const Candidate& e, int last_layer) {
  constexpr int kWidth = 8;
  constexpr int kDecimals = 2;
  std::string line;
  const auto put = [&](float v) { line += fixed_form(v, kWidth, kDecimals); };
  put(static_cast<float>(last_layer) * kLayerThickness);
  put(c.density(e.k, e.j));
  put(c.theta_s(e.k, e.j));
  for (const float theta : e.theta)
    put(theta);
  for (const LayerGrid& value : c.further)
    put(value(e.k, e.j));
  put(c.clay(e.k, e.j));
  put(c.sand(e.k, e.j));
  return line;
}

}  // namespace

LayerWindow layer_window(float top, float bottom) {
  LayerWindow w;
  w.first = layer_of(std::max((top - kHalfLayer) / kLayerThickness, 1.0F));
  const float last = (bottom + kHalfLayer) / kLayerThickness;
  w.last = last >= static_cast<float>(w.first) ? layer_of(last) : w.first;
  return w;
}

float tolerance_of_pass(int pass) {
  if (pass <= kLastOddPass) return kStartTolerance + kToleranceStep * static_cast<float>(pass);
  const float climbed = kTwoTo24 + kToleranceStep * static_cast<float>(pass - kLastOddPass - 1);
  return std::min(climbed, kTwoTo25);
}

double van_genuchten(double theta_s, double theta_r, double alpha, double n, double m, double h) {
  return theta_r + (theta_s - theta_r) / std::pow(1.0 + std::pow(alpha * h, n), m);
}

int SOIL_PROPERTIES(const RetentionCurves& curves, LineSink& side, float top, float bottom,
                    float user_density, float sand, float clay, float stones, float& density,
                    float& saturated, float& fc, float& sp, float& wp, bool density_set) {
  const LayerWindow window = layer_window(top, bottom);
  const Horizon horizon{sand, clay, user_density, density_set};

  // Every entry of the window that can ever qualify, in table order.
  std::vector<Candidate> entries;
  entries.reserve(static_cast<std::size_t>(curves.profile_count) *
                  static_cast<std::size_t>(window.last - window.first + 1));
  for (int k = 1; k <= curves.profile_count; ++k) {
    for (int j = window.first; j <= window.last; ++j) {
      const int pass = first_pass(curves, k, j, horizon);
      if (pass == kNever) continue;
      Candidate& e = entries.emplace_back();
      e.k = k;
      e.j = j;
      e.first_pass = pass;
    }
  }
  std::vector<std::size_t> by_pass(entries.size());
  for (std::size_t i = 0; i < by_pass.size(); ++i)
    by_pass[i] = i;
  std::stable_sort(by_pass.begin(), by_pass.end(), [&](std::size_t a, std::size_t b) {
    return entries[a].first_pass < entries[b].first_pass;
  });

  // Each pass finds again what the one before found, plus the entries whose tolerance it
  // reaches. Passes that admit nothing new find the same entries, so the walk jumps over
  // them, writing their trace lines as the passes would.
  const auto write_pass = [&](long long passes) {
    for (long long p = 0; p < passes; ++p) {
      for (const Candidate& e : entries) {
        if (e.qualified) side.write_line(e.trace);
      }
    }
  };
  int count = 0;
  std::size_t next = 0;
  int pass = by_pass.empty() ? 0 : entries[by_pass.front()].first_pass;
  while (true) {
    for (; next < by_pass.size() && entries[by_pass[next]].first_pass <= pass; ++next) {
      Candidate& e = entries[by_pass[next]];
      if (!evaluate(curves, e, density_set)) continue;
      e.qualified = true;
      ++count;
      if (density_set) e.trace = trace_line(curves, e, window.last);
    }
    if (count > kEnoughEntries || next == by_pass.size()) break;
    const int following = entries[by_pass[next]].first_pass;
    if (density_set && count > 0) write_pass(following - pass);
    pass = following;
  }
  if (density_set) write_pass(1);

  if (count == 0) {
    density = saturated = fc = sp = wp = 0.0F;
    return 0;
  }
  float sum_density = 0.0F;
  float sum_saturated = 0.0F;
  float sum_fc = 0.0F;
  float sum_sp = 0.0F;
  float sum_wp = 0.0F;
  for (const Candidate& e : entries) {
    if (!e.qualified) continue;
    sum_density += curves.density(e.k, e.j);
    sum_saturated += curves.theta_s(e.k, e.j);
    sum_fc += e.theta[kFc];
    sum_sp += e.theta[kSp];
    sum_wp += e.theta[kWp];
  }
  const auto entries_used = static_cast<float>(count);
  const float fine_earth = 1.0F - stones / kPercent;
  density = sum_density / entries_used;
  saturated = fine_earth * (sum_saturated / entries_used);
  fc = fine_earth * (sum_fc / entries_used);
  sp = fine_earth * (sum_sp / entries_used);
  wp = fine_earth * (sum_wp / entries_used);
  return count;
}

}  // namespace vantrel
