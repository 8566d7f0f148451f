#include "physics/soil_properties.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "data/number_text.hpp"

namespace vantrel {

namespace {

constexpr float kHalfLayer = 5.0F;
constexpr float kStartTolerance = 5.0F;
constexpr float kToleranceStep = 2.0F;
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
int searched_first_pass(const RetentionCurves& c, int k, int j, const Horizon& h) {
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

// Distances below this give a pass well inside the exact odd tolerances 5 + 2i.
constexpr double kEstimateLimit = 1e6;

// The same pass, usually from two checks: the distance in sand and clay names the pass up to
// the rounding of the single-precision limits, and the checks pin it down. Anything unusual
// (density, huge or undefined distances) falls back to the search.
// How far the entry's sand and clay lie from the horizon's (NaN when either is undefined).
double distance(const RetentionCurves& c, int k, int j, const Horizon& h) {
  return std::max(std::fabs(double{c.clay(k, j)} - double{h.clay}),
                  std::fabs(double{c.sand(k, j)} - double{h.sand}));
}

// The pass whose tolerance first reaches the distance, before the rounding of the limits.
int estimated_pass(double need) {
  return need <= kStartTolerance ? 0 : static_cast<int>(std::ceil((need - kStartTolerance) / 2.0));
}

int first_pass(const RetentionCurves& c, int k, int j, const Horizon& h) {
  const double need = distance(c, k, j, h);
  if (!(need < kEstimateLimit)) return searched_first_pass(c, k, j, h);
  const int estimate = estimated_pass(need);
  const auto at = [&](int pass) { return qualifies(c, k, j, h, tolerance_of_pass(pass)); };
  const int low = std::max(estimate - 1, 0);
  for (int pass = low; pass <= estimate + 1; ++pass) {
    if (!at(pass)) continue;
    if (pass > low || pass == 0 || !at(pass - 1)) return pass;
    break;
  }
  return searched_first_pass(c, k, j, h);
}

// One entry of the window that can qualify: where it is and the pass that first admits it.
struct Candidate {
  int k = 0;
  int j = 0;
  int first_pass = kNever;
};

// An entry that qualified, with its water contents at the suctions the call evaluates.
struct Admitted {
  std::size_t candidate = 0;  // index into the candidates, which are in table order
  std::array<float, kSuctions.size()> theta{};
};

// Water contents at the suctions the call evaluates; false when any is not finite.
bool evaluate(const RetentionCurves& c, const Candidate& e, Admitted& a, bool density_set) {
  const auto at = [&](std::size_t s) {
    a.theta[s] = static_cast<float>(van_genuchten(c.theta_s(e.k, e.j), c.theta_r(e.k, e.j),
                                                  c.alpha(e.k, e.j), c.n(e.k, e.j), c.m(e.k, e.j),
                                                  kSuctions[s]));
    return std::isfinite(a.theta[s]);
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

std::string trace_line(const RetentionCurves& c, const Candidate& e, const Admitted& a,
                       int last_layer) {
  constexpr int kWidth = 8;
  constexpr int kDecimals = 2;
  std::string line;
  const auto put = [&](float v) { line += fixed_form(v, kWidth, kDecimals); };
  put(static_cast<float>(last_layer) * kLayerThickness);
  put(c.density(e.k, e.j));
  put(c.theta_s(e.k, e.j));
  for (const float theta : a.theta)
    put(theta);
  for (const LayerGrid& value : c.further)
    put(value(e.k, e.j));
  put(c.clay(e.k, e.j));
  put(c.sand(e.k, e.j));
  return line;
}

// The candidates that can matter when the search ends early, which is the common case: a first
// look at the distances finds the third nearest entry, and only entries whose pass can be at
// most one beyond its pass are kept; `complete` is the last pass up to which every entry that
// it admits is among them. False when the distances are too large or undefined for
// the estimate, or the horizon needs the density test.
bool nearest_candidates(const RetentionCurves& c, const LayerWindow& w, const Horizon& h,
                        std::vector<Candidate>& candidates, int& complete) {
  if (h.density_set) return false;
  std::array<double, 3> least = {kEstimateLimit, kEstimateLimit, kEstimateLimit};
  for (int k = 1; k <= c.profile_count; ++k) {
    for (int j = w.first; j <= w.last; ++j) {
      double need = distance(c, k, j, h);
      for (double& slot : least) {
        if (need < slot) std::swap(need, slot);
      }
    }
  }
  if (!(least[2] < kEstimateLimit / 2)) return false;
  // The exact pass is within one of the estimate, so no entry beyond this can be admitted by
  // the pass that admits the third nearest.
  complete = estimated_pass(least[2]) + 2;
  const double reach = kStartTolerance + kToleranceStep * static_cast<double>(complete + 1);
  for (int k = 1; k <= c.profile_count; ++k) {
    for (int j = w.first; j <= w.last; ++j) {
      if (!(distance(c, k, j, h) <= reach)) continue;
      const int pass = first_pass(c, k, j, h);
      if (pass != kNever) candidates.push_back({k, j, pass});
    }
  }
  return true;
}

// Every entry of the window that can ever qualify, in table order.
void all_candidates(const RetentionCurves& c, const LayerWindow& w, const Horizon& h,
                    std::vector<Candidate>& candidates) {
  candidates.clear();
  candidates.reserve(static_cast<std::size_t>(c.profile_count) *
                     static_cast<std::size_t>(w.last - w.first + 1));
  for (int k = 1; k <= c.profile_count; ++k) {
    for (int j = w.first; j <= w.last; ++j) {
      const int pass = first_pass(c, k, j, h);
      if (pass != kNever) candidates.push_back({k, j, pass});
    }
  }
}

// The third smallest first pass (the pass at which three entries are first admitted), or the
// largest one when fewer than three entries can ever qualify.
int third_pass(const std::vector<Candidate>& candidates) {
  constexpr int kNone = std::numeric_limits<int>::max();
  std::array<int, 3> least = {kNone, kNone, kNone};
  for (const Candidate& e : candidates) {
    int pass = e.first_pass;
    for (int& slot : least) {
      if (pass < slot) std::swap(pass, slot);
    }
  }
  for (auto slot = least.rbegin(); slot != least.rend(); ++slot) {
    if (*slot != kNone) return *slot;
  }
  return kNever;
}

// The smallest first pass above `pass`, or kNever.
int next_pass(const std::vector<Candidate>& candidates, int pass) {
  int next = kNever;
  for (const Candidate& e : candidates) {
    if (e.first_pass > pass && (next == kNever || e.first_pass < next)) next = e.first_pass;
  }
  return next;
}

// Admits entries pass by pass from the candidates, as the widening search would, and returns
// the pass at which it ends. The pass that admits the third entry ends it, unless some admitted
// entries have no finite curve: then the following passes are taken until three are usable or
// none is left. `admitted` ends in table order.
int admit_entries(const RetentionCurves& c, const std::vector<Candidate>& candidates,
                  bool density_set, std::vector<Admitted>& admitted) {
  const auto admit = [&](int from, int to) {
    for (std::size_t i = 0; i < candidates.size(); ++i) {
      const int pass = candidates[i].first_pass;
      if (pass < from || pass > to) continue;
      Admitted a;
      a.candidate = i;
      if (evaluate(c, candidates[i], a, density_set)) admitted.push_back(a);
    }
  };
  int last = third_pass(candidates);
  if (last != kNever) admit(0, last);
  bool sorted = true;
  while (last != kNever && admitted.size() < static_cast<std::size_t>(kEnoughEntries)) {
    const int next = next_pass(candidates, last);
    if (next == kNever) break;
    sorted = sorted && admitted.empty();
    admit(next, next);
    last = next;
  }
  if (!sorted) {  // sums run in table order
    std::sort(admitted.begin(), admitted.end(),
              [](const Admitted& a, const Admitted& b) { return a.candidate < b.candidate; });
  }
  return last;
}

// The trace lines of every pass up to `last`, as the passes write them: each pass lists,
// in table order, all entries admitted so far. Runs of passes that admit nothing new list the
// same entries, so each run's lines are written as many times as it has passes.
void write_trace(LineSink& trace, const RetentionCurves& c,
                 const std::vector<Candidate>& candidates, const std::vector<Admitted>& admitted,
                 int last, int last_layer) {
  std::vector<std::string> lines(admitted.size());
  for (std::size_t i = 0; i < admitted.size(); ++i)
    lines[i] = trace_line(c, candidates[admitted[i].candidate], admitted[i], last_layer);
  std::vector<int> starts;
  starts.reserve(admitted.size());
  for (const Admitted& a : admitted)
    starts.push_back(candidates[a.candidate].first_pass);
  std::sort(starts.begin(), starts.end());
  starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
  for (std::size_t s = 0; s < starts.size(); ++s) {
    const long long passes =
        s + 1 < starts.size() ? starts[s + 1] - starts[s] : last - starts[s] + 1;
    for (long long p = 0; p < passes; ++p) {
      for (std::size_t i = 0; i < admitted.size(); ++i) {
        if (candidates[admitted[i].candidate].first_pass <= starts[s]) trace.write_line(lines[i]);
      }
    }
  }
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

HorizonEstimate estimate_horizon(const RetentionCurves& curves, const HorizonQuery& query,
                                 LineSink& trace) {
  const LayerWindow window = layer_window(query.top, query.bottom);
  const bool density_set = query.density.has_value();
  const Horizon horizon{query.sand, query.clay, query.density.value_or(0.0F), density_set};
  std::vector<Candidate> candidates;
  std::vector<Admitted> admitted;
  int last = kNever;
  int complete = 0;
  if (nearest_candidates(curves, window, horizon, candidates, complete)) {
    last = admit_entries(curves, candidates, density_set, admitted);
  }
  if (admitted.size() < static_cast<std::size_t>(kEnoughEntries) || last > complete) {
    all_candidates(curves, window, horizon, candidates);
    admitted.clear();
    last = admit_entries(curves, candidates, density_set, admitted);
  }
  if (density_set) write_trace(trace, curves, candidates, admitted, last, window.last);

  HorizonEstimate out;
  if (admitted.empty()) return out;
  float sum_density = 0.0F;
  float sum_saturated = 0.0F;
  float sum_fc = 0.0F;
  float sum_sp = 0.0F;
  float sum_wp = 0.0F;
  if (query.keep_entries) out.used.reserve(admitted.size());
  for (const Admitted& a : admitted) {
    const Candidate& e = candidates[a.candidate];
    sum_density += curves.density(e.k, e.j);
    sum_saturated += curves.theta_s(e.k, e.j);
    sum_fc += a.theta[kFc];
    sum_sp += a.theta[kSp];
    sum_wp += a.theta[kWp];
    if (query.keep_entries) out.used.push_back({e.k, e.j});
  }
  const auto entries_used = static_cast<float>(admitted.size());
  const float fine_earth = 1.0F - query.stones / kPercent;
  out.density = sum_density / entries_used;
  out.saturated = fine_earth * (sum_saturated / entries_used);
  out.fc = fine_earth * (sum_fc / entries_used);
  out.sp = fine_earth * (sum_sp / entries_used);
  out.wp = fine_earth * (sum_wp / entries_used);
  out.entries = static_cast<int>(admitted.size());
  return out;
}

int SOIL_PROPERTIES(const RetentionCurves& curves, LineSink& trace, float top, float bottom,
                    float user_density, float sand, float clay, float stones, float& density,
                    float& saturated, float& fc, float& sp, float& wp, bool density_set,
                    std::vector<ReferenceEntry>* used) {
  HorizonQuery query{top, bottom, sand, clay, stones, std::nullopt, used != nullptr};
  if (density_set) query.density = user_density;
  HorizonEstimate e = estimate_horizon(curves, query, trace);
  density = e.density;
  saturated = e.saturated;
  fc = e.fc;
  sp = e.sp;
  wp = e.wp;
  if (used != nullptr) *used = std::move(e.used);
  return e.entries;
}

double mean_water_content(const RetentionCurves& curves, const std::vector<ReferenceEntry>& used,
                          float stones, double suction) {
  if (used.empty()) return 0.0;
  double sum = 0.0;
  for (const ReferenceEntry& e : used) {
    sum += van_genuchten(curves.theta_s(e.k, e.j), curves.theta_r(e.k, e.j), curves.alpha(e.k, e.j),
                         curves.n(e.k, e.j), curves.m(e.k, e.j), suction);
  }
  return (1.0 - double{stones} / 100.0) * sum / static_cast<double>(used.size());
}

}  // namespace vantrel
