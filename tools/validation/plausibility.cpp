#include "validation/plausibility.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "data/fields.hpp"
#include "physics/soil_properties.hpp"
#include "physics/soil_texture.hpp"
#include "physics/van_genuchten.hpp"
#include "reference_data/soil_limits.hpp"

namespace vantrel::validation {

namespace {

std::string fixed(double v, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}

std::string one_decimal(double v) {
  return fixed(v, 1);
}

double percent(long long part, long long whole) {
  return whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole);
}

// What one group of layers is against real soils.
struct LayerFigures {
  long long layers = 0, above_pores = 0, restricting = 0, airy = 0, stifling = 0;
  long long sands = 0, alpha_bound = 0;
  int profiles = 0;
  double largest_excess = 0, sand_n_low = 1e9, sand_n_high = 0;
  std::array<double, 3> depth_sum{}, depth_count{};

  void add(const RetentionCurves& c, int k, int j) {
    ++layers;
    const double density = c.density(k, j), theta_s = c.theta_s(k, j);
    const double sand = c.sand(k, j), clay = c.clay(k, j);
    const double excess = theta_s - reference_data::total_porosity(density);
    if (excess > 0.005) ++above_pores;  // the file rounds to 0.01 %vol and 0.001 kg/L
    largest_excess = std::max(largest_excess, excess);
    if (density >= reference_data::root_restricting_density(sand, clay)) ++restricting;
    const double air =
        theta_s - van_genuchten(theta_s, c.theta_r(k, j), c.alpha(k, j), c.n(k, j), c.m(k, j), 10);
    airy += air >= 5.0;
    stifling += air < 2.0;
    const std::size_t band = j <= 3 ? 0 : j <= 10 ? 1 : 2;
    depth_sum[band] += density;
    depth_count[band] += 1;
    if (sand >= 85) {
      ++sands;
      alpha_bound += c.alpha(k, j) >= 4.99F;
      sand_n_low = std::min(sand_n_low, double{c.n(k, j)});
      sand_n_high = std::max(sand_n_high, double{c.n(k, j)});
    }
  }
  std::string mean_density(std::size_t band) const {
    return fixed(depth_sum[band] / std::max(depth_count[band], 1.0), 2);
  }
};

void print_group(const char* name, const LayerFigures& f) {
  if (f.layers == 0) return;
  std::printf(
      "- **%s** (%d profiles, %lld layers): water at saturation above the total porosity "
      "1 - density/2.65 in %lld layers (largest excess %s %%vol); density at or above the "
      "root-restricting density of the texture in %lld (%s %%); mean density %s kg/L at "
      "0-30 cm, %s at 30-100 cm, %s at 100-200 cm; air space at field capacity (saturation "
      "less the water at 10 kPa) at least 5 %%vol in %s %% of the layers, under 2 %%vol in "
      "%s %%; sands (85 %% sand or more, %lld layers) with n from %s to %s, %lld at the alpha "
      "bound of 5 1/kPa.\n",
      name, f.profiles, f.layers, f.above_pores,
      one_decimal(std::max(f.largest_excess, 0.0)).c_str(), f.restricting,
      one_decimal(percent(f.restricting, f.layers)).c_str(), f.mean_density(0).c_str(),
      f.mean_density(1).c_str(), f.mean_density(2).c_str(),
      one_decimal(percent(f.airy, f.layers)).c_str(),
      one_decimal(percent(f.stifling, f.layers)).c_str(), f.sands,
      f.sands ? one_decimal(f.sand_n_low).c_str() : "-",
      f.sands ? one_decimal(f.sand_n_high).c_str() : "-", f.alpha_bound);
}

}  // namespace

void print_plausibility(const RetentionCurves& c, const TextureDefaults& textures,
                        const std::vector<bool>& synthetic) {
  LayerFigures made, measured;
  for (int k = 1; k <= c.profile_count; ++k) {
    const auto index = static_cast<std::size_t>(k - 1);
    LayerFigures& group = index < synthetic.size() && synthetic[index] ? made : measured;
    ++group.profiles;
    for (int j = 1; j <= kLayers; ++j)
      group.add(c, k, j);
  }
  std::printf(
      "## Plausibility of every layer\n\n"
      "Each layer of the %d profiles, against what real soils are. The synthetic profiles are "
      "made to be possible and typical soil: no more water at saturation than the pores hold, "
      "densities below the root-restricting densities of their texture (USDA-NRCS, Soil Quality "
      "Indicators: Bulk Density, 2008: 1.80 kg/L for sands to loams, 1.75 for sandy clay loams, "
      "clay loams, silts and silt loams, 1.65 for silty clay loams, 1.58 for sandy and silty "
      "clays and clay loams of 35-45 %% clay, 1.47 for clays above 45 %%) and air at field "
      "capacity. A measured profile keeps its measurement: its figures are what the soils "
      "measured were.\n\n",
      c.profile_count);
  print_group("Synthetic", made);
  print_group("Measured", measured);
  std::printf("\n");

  std::printf(
      "Reference entries that each class centroid of `Soil_texture_default.csv`, as a horizon "
      "of 0 to 30 cm, finds in the first search (sand and clay within 5 points):\n\n"
      "| class | sand/clay %% | entries | in the first search |\n|---|---|---|---|\n");
  for (int i = 1; i <= textures.row_count; ++i) {
    const TextureRow& row = textures.row(i);
    float sand = 0, clay = 0;
    STRING_TO_REAL(row.sand.trimmed(), sand);
    STRING_TO_REAL(row.clay.trimmed(), clay);
    NullSink no_trace;
    std::vector<ReferenceEntry> used;
    float density = 0, saturated = 0, fc = 0, sp = 0, wp = 0;
    const int entries = SOIL_PROPERTIES(c, no_trace, 0, 30, 0, sand, clay, 0, density, saturated,
                                        fc, sp, wp, false, &used);
    bool first = true;  // every entry within the first pass's tolerance
    for (const ReferenceEntry& e : used) {
      first = first && std::fabs(c.sand(e.k, e.j) - sand) <= tolerance_of_pass(0) &&
              std::fabs(c.clay(e.k, e.j) - clay) <= tolerance_of_pass(0);
    }
    std::printf("| %s | %.0f/%.0f | %d | %s |\n", std::string(row.name.trimmed()).c_str(),
                double{sand}, double{clay}, entries, first ? "yes" : "no");
  }
  std::printf("\n");
}

}  // namespace vantrel::validation
