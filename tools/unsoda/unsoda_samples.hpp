// UNSODA 2.0's samples as vantrel-reference's input: each sample's USDA texture from its
// particle-size curve, its density, depths and horizon, and its laboratory drying points; one
// profile per site.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "unsoda/json_rows.hpp"

namespace vantrel::unsoda {

// One point of a cumulative particle-size curve: the mass fraction finer than `um`.
struct SizePoint {
  double um = 0, finer = 0;
};

struct Texture {
  double sand = 0, clay = 0;  // %
  bool interpolated = false;  // a limit fell between two measured sizes
};

// The USDA texture (clay below 2 um, sand 50 to 2,000 um of the fine earth) from a curve,
// interpolated on the logarithm of the size between the measured sizes around a limit;
// nothing when the curve cannot give both limits (a limit outside its sizes, unless the curve
// is already at 0 below or at 1 above it).
std::optional<Texture> usda_texture(std::vector<SizePoint> curve);

// A pressure head in cm of water as a suction in kPa; a head of 0 (saturation) as 0.1 kPa,
// the wettest suction the reference tool takes.
double head_to_kpa(double head_cm);

struct Sample {
  std::string code, profile, horizon, publication;
  double top = 0, bottom = 0, density = 0;
  Texture texture;
  std::vector<std::pair<double, double>> points;  // suction kPa, theta % by volume
};

// What the conversion kept and what it left out, and why.
struct Conversion {
  std::vector<Sample> samples;  // by profile, depth and code
  int read = 0, interpolated = 0, no_texture = 0, no_density = 0, no_depth = 0, no_points = 0,
      no_wet_or_dry = 0;
};

struct Tables {
  std::vector<JsonRow> general, properties, sizes, lab_points, publications;
};

// Samples with a texture, a density, depths and laboratory points reaching 33 kPa or wetter
// and 500 kPa or drier; every other one counted where it was left out.
Conversion convert(const Tables& tables);

// The input of vantrel-reference: a header row, then per sample its points, each profile
// preceded by comment lines naming its samples' UNSODA codes and sources.
std::string reference_input(const Conversion& c);

}  // namespace vantrel::unsoda
