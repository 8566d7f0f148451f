// Bulk density and water contents of a horizon, estimated from the reference profiles.
#pragma once

#include <optional>
#include <vector>

#include "data/retention_curves.hpp"
#include "data/trace_unit.hpp"
#include "physics/van_genuchten.hpp"

namespace vantrel {

// Layers 1..20 of the reference profiles that a horizon's depths cover.
struct LayerWindow {
  int first = 1;
  int last = 1;
};

// first = trunc(max((top - 5) / 10, 1)), last = trunc((bottom + 5) / 10) but never below
// first; both are clamped to the deepest layer, so deep horizons use the deepest layers.
LayerWindow layer_window(float top, float bottom);

// The closeness tolerance of search pass i (0-based): 5, 7, 9, ... as single-precision sums
// give them. Past 2^25 adding 2 no longer changes the sum, so the tolerance stops growing.
float tolerance_of_pass(int pass);
inline constexpr int kLastPass = 16'777'214;  // the first pass at the greatest tolerance

// An estimate resting on fewer reference entries than this is one to use with care: the
// search looks for at least this many, and the window and the tools say when it found fewer.
inline constexpr int kEnoughEntries = 3;

// One entry of the reference table: profile k, layer j.
struct ReferenceEntry {
  int k = 0;
  int j = 0;
};

// A horizon as its estimate reads it.
struct HorizonQuery {
  float top = 0, bottom = 0;     // cm
  float sand = 0, clay = 0;      // %
  float stones = 0;              // % by volume
  std::optional<float> density;  // kg/L: the entries are matched on it too when given
  bool keep_entries = false;     // the entries the means rest on, for a report
};

// What the estimate gives: the means of the entries it rests on, the water contents scaled by
// the fine-earth fraction; all 0 without entries.
struct HorizonEstimate {
  float density = 0, saturated = 0, fc = 0, sp = 0, wp = 0;
  int entries = 0;
  std::vector<ReferenceEntry> used;  // in table order, when asked for
};

// The estimate of SOIL_PROPERTIES (below) over a query and its result: what every caller but
// the window's routine uses.
HorizonEstimate estimate_horizon(const RetentionCurves& curves, const HorizonQuery& horizon,
                                 LineSink& trace);

// Estimates the horizon's density and its water contents at saturation, 10, 100 and 1500 kPa
// (the last four scaled by the fine-earth fraction 1 - stones/100) from the entries of the
// layer window whose sand and clay (and, with density_set, density) lie within a tolerance
// that widens from 5 by 2 per pass until more than two entries qualify, or until no wider
// tolerance can admit another entry. Entries whose curve is not finite never qualify. With
// density_set each qualifying entry of each pass writes a trace line to `trace`.
// Returns how many entries the means rest on; with none, all five outputs are 0. When `used`
// is given it receives those entries in table order.
int SOIL_PROPERTIES(const RetentionCurves& curves, LineSink& trace, float top, float bottom,
                    float user_density, float sand, float clay, float stones, float& density,
                    float& saturated, float& fc, float& sp, float& wp, bool density_set,
                    std::vector<ReferenceEntry>* used = nullptr);

// The water content (% by volume, stones excluded) at `suction` kPa of the mean curve of the
// entries an estimate rests on; 0 without entries.
double mean_water_content(const RetentionCurves& curves, const std::vector<ReferenceEntry>& used,
                          float stones, double suction);

}  // namespace vantrel
