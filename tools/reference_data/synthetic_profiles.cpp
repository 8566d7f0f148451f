// The synthetic reference profiles: 120 profiles of 20 layers whose water-retention curves
// follow Saxton & Rawls (2006), ten for each texture class in turn. Deterministic: the same
// program always makes the same profiles.
#include "reference_data/synthetic_profiles.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "physics/retention_fit.hpp"
#include "reference_data/saxton_rawls.hpp"
#include "reference_data/soil_limits.hpp"

namespace vantrel::reference_data {

namespace {

using vantrel::TextureClass;
using vantrel::reference_data::root_restricting_density;
using vantrel::reference_data::SaxtonRawls;
using vantrel::reference_data::total_porosity;

using vantrel::kLayers;
constexpr std::uint64_t kSeed = 20061569;  // the paper's year and first page

// Coarse to fine; profile p takes its main class from this list in turn.
constexpr std::array<TextureClass, 12> kCoarseToFine = {
    TextureClass::sand,
    TextureClass::loamy_sand,
    TextureClass::sandy_loam,
    TextureClass::loam,
    TextureClass::silt_loam,
    TextureClass::silt,
    TextureClass::sandy_clay_loam,
    TextureClass::clay_loam,
    TextureClass::silty_clay_loam,
    TextureClass::sandy_clay,
    TextureClass::silty_clay,
    TextureClass::clay,
};

// The clay-enriched class below a topsoil of the given class (a Bt horizon).
TextureClass finer(TextureClass t) {
  switch (t) {
    case TextureClass::sand:
      return TextureClass::loamy_sand;
    case TextureClass::loamy_sand:
      return TextureClass::sandy_loam;
    case TextureClass::sandy_loam:
      return TextureClass::sandy_clay_loam;
    case TextureClass::loam:
      return TextureClass::clay_loam;
    case TextureClass::silt_loam:
      return TextureClass::silty_clay_loam;
    case TextureClass::silt:
      return TextureClass::silt_loam;
    case TextureClass::sandy_clay_loam:
      return TextureClass::sandy_clay;
    case TextureClass::clay_loam:
      return TextureClass::clay;
    case TextureClass::silty_clay_loam:
      return TextureClass::silty_clay;
    default:
      return TextureClass::clay;
  }
}

// Uniform and normal numbers from the raw generator only: the standard distributions may
// differ between libraries, the engine's output does not.
class Random {
 public:
  double uniform() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }
  double normal() {
    const double u1 = 1.0 - uniform();
    const double u2 = uniform();
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
  }

 private:
  std::mt19937_64 engine_{kSeed};
};

struct Composition {
  double sand = 0;
  double clay = 0;
  double silt() const { return 100.0 - sand - clay; }
};

double tenth(double v) {
  return std::round(v * 10.0) / 10.0;
}

TextureClass class_of(const Composition& c) {
  return vantrel::classify_texture(static_cast<float>(c.sand), static_cast<float>(c.silt()),
                                   static_cast<float>(c.clay));
}

// Where the equations hold: their data reach 95 % sand and 60 % clay, and the driest sands
// get no wilting point from them. Checked at the least organic matter the profiles have.
bool within_equations(const Composition& c) {
  if (c.sand > 95.0 || c.clay > 60.0) return false;
  const SaxtonRawls poorest = vantrel::reference_data::saxton_rawls(c.sand, c.clay, 0.25, 1.0);
  return poorest.theta1500 >= 0.01 && poorest.theta33 >= poorest.theta1500 + 0.02;
}

// A composition of the class, uniform over its part of the triangle; with min_clay, the
// richest in clay of a few draws at or above it where the class allows.
Composition sample_in(TextureClass wanted, Random& random, double min_clay = 0.0) {
  Composition best{-1, -1};
  for (int found = 0, tries = 0; found < 4 && tries < 200000; ++tries) {
    double sand = 100.0 * random.uniform();
    double clay = 100.0 * random.uniform();
    if (sand + clay > 100.0) {
      sand = 100.0 - sand;
      clay = 100.0 - clay;
    }
    const Composition c{tenth(sand), tenth(clay)};
    if (class_of(c) != wanted || !within_equations(c)) continue;
    if (best.sand < 0 || (c.clay >= min_clay && c.clay > best.clay) || best.clay < min_clay) {
      best = c;
    }
    if (min_clay <= 0.0 || best.clay >= min_clay) ++found;
    if (min_clay <= 0.0) break;
  }
  return best;
}

// The centroid of the class's region of the triangle, on a 0.5 % grid, as the texture file's
// default compositions are; nudged into the equations' range.
Composition centroid_of(TextureClass wanted) {
  double sand = 0, clay = 0;
  int count = 0;
  for (int i = 0; i <= 200; ++i) {
    for (int k = 0; i + k <= 200; ++k) {
      if (class_of({i * 0.5, k * 0.5}) != wanted) continue;
      sand += i * 0.5;
      clay += k * 0.5;
      ++count;
    }
  }
  Composition c{std::round(sand / count), std::round(clay / count)};
  while (!within_equations(c) && c.clay > 0)
    c.clay -= 1;
  return c;
}

// A composition close to the class's centroid (within 2.5 points), so that an estimate at the
// class's default composition finds its reference entries in the first, narrowest search.
Composition near_centroid(TextureClass wanted, Random& random) {
  const Composition centre = centroid_of(wanted);
  for (int tries = 0; tries < 200; ++tries) {
    const Composition c{tenth(centre.sand + 2.5 * (2 * random.uniform() - 1)),
                        tenth(centre.clay + 2.5 * (2 * random.uniform() - 1))};
    if (c.sand >= 0 && c.clay >= 0 && c.silt() >= 0 && class_of(c) == wanted &&
        within_equations(c)) {
      return c;
    }
  }
  return centre;
}

// Small layer-to-layer variation that keeps the horizon's class.
Composition vary(const Composition& c, Random& random) {
  for (int tries = 0; tries < 50; ++tries) {
    const Composition v{tenth(c.sand + 1.5 * random.normal()),
                        tenth(c.clay + 1.0 * random.normal())};
    if (v.sand >= 0 && v.clay >= 0 && v.silt() >= 0 && within_equations(v) &&
        class_of(v) == class_of(c)) {
      return v;
    }
  }
  return c;
}

struct Layer {
  Composition texture;
  const char* label;
  double organic_matter;
  double density_factor;
  SaxtonRawls soil;
  vantrel::RetentionCurve curve;
  double misfit = 0;         // largest distance from Saxton & Rawls at 33, 100 and 1500 kPa
  double misfit_at = 0;      // where it is, kPa
  double below_segment = 0;  // how far the curve lies below their straight segment at 10 kPa
};

// The suctions the program reads (10, 100 and 1500 kPa) and 33 kPa.
constexpr std::array<double, 3> kChecked = {33.0, 100.0, 1500.0};

// Plausible soil: the bounds of the fit, a curve that falls from saturation through field
// capacity to wilting point, a density of real soil, and no more water at saturation than
// the pores hold.
bool plausible(const Layer& layer) {
  const vantrel::RetentionCurve& v = layer.curve;
  const double porosity = 100.0 * (1.0 - layer.soil.density / 2.65);
  return v.alpha >= 0.01 && v.alpha <= 5.0 && v.n >= 1.05 && v.n <= 4.0 && v.theta_r >= 0.0 &&
         v.theta_r < v.theta_at(1500.0) && v.theta_at(1500.0) < v.theta_at(10.0) &&
         v.theta_at(10.0) < v.theta_s && layer.soil.density >= 0.9 && layer.soil.density <= 1.85 &&
         v.theta_s <= porosity && std::isfinite(layer.soil.ks);
}

// Air space at field capacity (%vol) that a typical, drained layer keeps.
constexpr double kAirSpace = 5.0;

// The layer's curve, fitted to the whole Saxton & Rawls curve from 1 to 1500 kPa. Where
// compaction leaves too little room for a plausible curve, reaches the density at which roots
// are restricted, or leaves less than 5 %vol of air at field capacity, the layer is taken less
// compacted; where the density adjustment breaks the equations (theta33 at saturation), the
// unadjusted equations serve.
// The layer's Saxton & Rawls soil at its density, or the unadjusted one where the density
// adjustment breaks the equations; false when it is no plausible soil to fit.
bool layer_soil(Layer& layer) {
  layer.soil = vantrel::reference_data::saxton_rawls(layer.texture.sand, layer.texture.clay,
                                                     layer.organic_matter, layer.density_factor);
  if (layer.soil.adjustment_breaks) {
    layer.soil = vantrel::reference_data::saxton_rawls(layer.texture.sand, layer.texture.clay,
                                                       layer.organic_matter, 1.0);
  }
  if (layer.soil.density > 1.85 || layer.soil.density < 0.9) return false;
  if (layer.soil.density >= root_restricting_density(layer.texture.sand, layer.texture.clay))
    return false;
  return layer.soil.theta1500 >= 0.01 && layer.soil.theta33 >= layer.soil.theta1500 + 0.02;
}

// Saturation up to the air-entry tension, and the power law from 33 to 1500 kPa, with the
// suctions the program reads counted five times over. Between them the van Genuchten shape
// decides: the equations' straight segment there (their equation 14) would keep every soil
// near saturation at 10 kPa.
std::vector<vantrel::RetentionPoint> points_to_fit(const Layer& layer) {
  std::vector<vantrel::RetentionPoint> points;
  // Their air-entry tension reaches 16 kPa in silts, which would keep a silt saturated at
  // field capacity; saturation is held to 2 kPa at most.
  const double entry = std::clamp(layer.soil.psi_e, 0.1, 2.0);
  for (const double psi : {0.1, entry}) {
    if (psi <= entry) points.push_back({psi, 100.0 * layer.soil.theta_s, 2.0});
  }
  for (int i = 0; i < 12; ++i) {
    const double psi = 33.0 * std::pow(1500.0 / 33.0, i / 11.0);
    points.push_back({psi, 100.0 * layer.soil.theta_at(psi)});
  }
  for (const double psi : {33.0, 100.0, 1500.0})
    points.push_back({psi, 100.0 * layer.soil.theta_at(psi), 5.0});
  return points;
}

// The fitted curve's largest distance from the equations at the suctions the program reads.
void measure_misfit(Layer& layer) {
  layer.misfit = 0;
  for (const double psi : kChecked) {
    const double d = std::fabs(layer.curve.theta_at(psi) - 100.0 * layer.soil.theta_at(psi));
    if (d > layer.misfit) {
      layer.misfit = d;
      layer.misfit_at = psi;
    }
  }
  layer.below_segment = 100.0 * layer.soil.theta_segment(10.0) - layer.curve.theta_at(10.0);
}

// The layer's curve, fitted to the whole Saxton & Rawls curve from 1 to 1500 kPa. Where
// compaction leaves too little room for a plausible curve, reaches the density at which roots
// are restricted, or leaves less than 5 %vol of air at field capacity, the layer is taken less
// compacted; where the density adjustment breaks the equations (theta33 at saturation), the
// unadjusted equations serve.
bool fit_layer(Layer& layer) {
  for (; layer.density_factor >= 0.9 - 1e-9; layer.density_factor -= 0.025) {
    if (!layer_soil(layer)) continue;
    std::vector<vantrel::RetentionPoint> points = points_to_fit(layer);
    vantrel::RetentionBounds bounds;
    // From the density as written, with room for theta_s's own rounding to 0.01.
    const double porosity = total_porosity(std::round(layer.soil.density * 1000.0) / 1000.0);
    bounds.theta_s_min = 100.0 * layer.soil.theta33;
    bounds.theta_s_max = porosity - 0.006;
    bounds.theta_r_max = 0.98 * 100.0 * layer.soil.theta1500;
    layer.curve = vantrel::fit_retention_curve(points, bounds);
    // A drained layer keeps air at field capacity; where the equations' fine soils leave less
    // than 5 %vol at 10 kPa, the curve is asked to leave it (their own wet end is the least
    // certain part of their curve, and measured class averages keep 4 to 9 %vol there).
    if (layer.curve.theta_s - layer.curve.theta_at(10.0) < kAirSpace + 1.0) {
      points.push_back({10.0, layer.curve.theta_s - kAirSpace - 1.3, 25.0});
      layer.curve = vantrel::fit_retention_curve(points, bounds);
    }
    measure_misfit(layer);
    const double air = layer.curve.theta_s - layer.curve.theta_at(10.0);
    const bool last = layer.density_factor - 0.025 < 0.9 - 1e-9;
    if (plausible(layer) && layer.misfit <= 3.0 && (air >= kAirSpace || last)) return true;
  }
  return false;
}

std::string title_of(int profile, int count, TextureClass main_class) {
  return "Reference profile " + std::to_string(profile) + " of " + std::to_string(count) + " (" +
         std::string(kSyntheticMark) + std::string(texture_name(main_class)) +
         "): made by tools/reference_data from their equations (sand up to 95 %, clay up to 60 "
         "%); not measured soil";
}

// Within the 250 characters of a header line.
constexpr const char* kSyntheticSource =
    "Source: Saxton K.E. & Rawls W.J. (2006) Soil Sci. Soc. Am. J. 70:1569-1578; van Genuchten "
    "curve (m = 1 - 1/n) fitted to saturation up to 2 kPa and their power law from 33 to "
    "1500 kPa; density below the NRCS root-restricting one; theta_s within the porosity";

}  // namespace

void Misfits::add(double layer_misfit, double at_kpa, double below, int p, int j) {
  if (layer_misfit > misfit) {
    misfit = layer_misfit;
    at = at_kpa;
    profile = p;
    layer = j;
  }
  segment_low = std::min(segment_low, below);
  segment_high = std::max(segment_high, below);
}

namespace {

// One layer of a horizon's composition, varied and fitted; false when no curve is acceptable.
bool make_layer(const Composition& horizon, double middle, Random& random, Layer& layer) {
  for (int attempt = 0; attempt < 20; ++attempt) {
    layer.texture = vary(horizon, random);
    layer.organic_matter = (0.3 + 2.4 * std::exp(-middle / 35.0)) * (1.0 + 0.1 * random.normal());
    // Loose tilled topsoil, denser with depth, as published profiles are.
    layer.density_factor = std::clamp(
        0.96 + 0.12 * std::min(middle / 120.0, 1.0) + 0.015 * random.normal(), 0.9, 1.12);
    if (fit_layer(layer)) return true;
  }
  return false;
}

// Profile p (from 0) of `count`: its horizons, then its layers; false when one cannot be made.
bool make_profile(int p, int count, Random& random, Misfits& misfits, SyntheticProfile& out) {
  const TextureClass main_class = kCoarseToFine[static_cast<std::size_t>(p % 12)];
  const bool enriched_subsoil = (p / 12) % 2 == 1;
  const int topsoil_end = 2 + p % 3;             // 20 to 40 cm
  const int subsoil_end = 8 + (p * 7 / 12) % 5;  // 80 to 120 cm
  // Seven profiles in ten have their topsoil near the class's centroid: an estimate at a class's
  // default composition finds entries in the first search.
  const Composition topsoil =
      (p / 12) % 3 != 2 ? near_centroid(main_class, random) : sample_in(main_class, random);
  const Composition subsoil = enriched_subsoil ? sample_in(finer(main_class), random, topsoil.clay)
                                               : sample_in(main_class, random, topsoil.clay);
  const Composition substratum = sample_in(main_class, random);

  out.main_class = main_class;
  out.reference = {title_of(p + 1, count, main_class), kSyntheticSource, {}};
  for (int j = 1; j <= kLayers; ++j) {
    const bool in_topsoil = j <= topsoil_end;
    const bool in_subsoil = !in_topsoil && j <= subsoil_end;
    const Composition& horizon = in_topsoil ? topsoil : in_subsoil ? subsoil : substratum;
    Layer layer{};
    layer.label = in_topsoil ? "Ap" : in_subsoil ? (enriched_subsoil ? "Bt" : "Bw") : "C";
    if (!make_layer(horizon, 10.0 * j - 5.0, random, layer)) {
      std::cerr << "no acceptable curve for profile " << p + 1 << ", layer " << j << '\n';
      return false;
    }
    misfits.add(layer.misfit, layer.misfit_at, layer.below_segment, p + 1, j);
    const vantrel::RetentionCurve& v = layer.curve;
    out.reference.layers.push_back(
        {layer.soil.density, layer.label, v.theta_s, v.theta_r, v.alpha, v.n, v.m(),
         layer.soil.ks * 2.4, layer.organic_matter, layer.texture.silt(),
         static_cast<int>(vantrel::kLayerThickness) * j, layer.texture.clay, layer.texture.sand});
  }
  return true;
}

}  // namespace

std::optional<std::vector<SyntheticProfile>> synthetic_profiles(int count, Misfits& misfits) {
  count = std::clamp(count, 0, kSyntheticProfiles);
  Random random;
  std::vector<SyntheticProfile> profiles(static_cast<std::size_t>(count));
  for (int p = 0; p < count; ++p) {
    if (!make_profile(p, count, random, misfits, profiles[static_cast<std::size_t>(p)])) {
      return std::nullopt;
    }
  }
  return profiles;
}

}  // namespace vantrel::reference_data
