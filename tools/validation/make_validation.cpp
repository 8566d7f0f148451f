// Writes docs/validation.md: the program's estimates for the twelve texture-class centroids
// beside published ones, the plausibility of every layer, a cross-validation against the
// measured curves of reference/sources/unsoda.csv, and the texture classes against the USDA
// triangle.
//   make_validation REFERENCE_DIR > docs/validation.md
// Deterministic: the same files give the same document.
#include <stdlib.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "data/fields.hpp"
#include "data/retention_curves.hpp"
#include "data/text_tables.hpp"
#include "physics/soil_texture.hpp"
#include "physics/van_genuchten.hpp"
#include "profile/profile_math.hpp"
#include "reference_data/saxton_rawls.hpp"
#include "validation/cross_validation.hpp"
#include "validation/plausibility.hpp"

namespace {

using vantrel::TextureClass;

constexpr double kCentimetresPerKilopascal = 10.1972;  // of water

// ROSETTA class-average van Genuchten parameters (Schaap, Leij & van Genuchten 2001, the
// class averages distributed with the program): theta_r, theta_s (cm3/cm3), log10 alpha
// (alpha in 1/cm), log10 n.
struct Rosetta {
  TextureClass texture;
  double theta_r, theta_s, log_alpha, log_n;
};
constexpr std::array<Rosetta, 12> kRosetta = {{
    {TextureClass::clay, 0.098, 0.459, -1.825, 0.098},
    {TextureClass::clay_loam, 0.079, 0.442, -1.801, 0.151},
    {TextureClass::loam, 0.061, 0.399, -1.954, 0.168},
    {TextureClass::loamy_sand, 0.049, 0.390, -1.459, 0.242},
    {TextureClass::sand, 0.053, 0.375, -1.453, 0.502},
    {TextureClass::sandy_clay, 0.117, 0.385, -1.476, 0.082},
    {TextureClass::sandy_clay_loam, 0.063, 0.384, -1.676, 0.124},
    {TextureClass::sandy_loam, 0.039, 0.387, -1.574, 0.161},
    {TextureClass::silt, 0.050, 0.489, -2.182, 0.225},
    {TextureClass::silt_loam, 0.065, 0.439, -2.296, 0.221},
    {TextureClass::silty_clay, 0.111, 0.481, -1.790, 0.121},
    {TextureClass::silty_clay_loam, 0.090, 0.482, -2.076, 0.182},
}};

double rosetta_theta(const Rosetta& r, double kpa) {
  const double alpha = std::pow(10.0, r.log_alpha);
  const double n = std::pow(10.0, r.log_n);
  const double h = kpa * kCentimetresPerKilopascal;
  return 100.0 * vantrel::van_genuchten(r.theta_s, r.theta_r, alpha, n, 1.0 - 1.0 / n, h);
}

// FAO-56 (Allen et al. 1998) Table 19: field capacity, wilting point and their difference,
// m3/m3, for the classes it lists.
struct FaoRange {
  TextureClass texture;
  double fc_low, fc_high, wp_low, wp_high, taw_low, taw_high;
};
constexpr std::array<FaoRange, 9> kFao = {{
    {TextureClass::sand, 0.07, 0.17, 0.02, 0.07, 0.05, 0.11},
    {TextureClass::loamy_sand, 0.11, 0.19, 0.03, 0.10, 0.06, 0.12},
    {TextureClass::sandy_loam, 0.18, 0.28, 0.06, 0.16, 0.11, 0.15},
    {TextureClass::loam, 0.20, 0.30, 0.07, 0.17, 0.13, 0.18},
    {TextureClass::silt_loam, 0.22, 0.36, 0.09, 0.21, 0.13, 0.19},
    {TextureClass::silt, 0.28, 0.36, 0.12, 0.22, 0.16, 0.20},
    {TextureClass::silty_clay_loam, 0.30, 0.37, 0.17, 0.24, 0.13, 0.18},
    {TextureClass::silty_clay, 0.30, 0.42, 0.17, 0.29, 0.13, 0.19},
    {TextureClass::clay, 0.32, 0.40, 0.20, 0.24, 0.12, 0.20},
}};

// The USDA texture classes as the Soil Survey Manual (Soil Survey Staff) defines them.
TextureClass usda_class(double sand, double silt, double clay) {
  if (silt + 1.5 * clay < 15) return TextureClass::sand;
  if (silt + 2 * clay < 30) return TextureClass::loamy_sand;
  if ((clay >= 7 && clay < 20 && sand > 52) || (clay < 7 && silt < 50)) {
    return TextureClass::sandy_loam;
  }
  if (clay >= 7 && clay < 27 && silt >= 28 && silt < 50 && sand <= 52) return TextureClass::loam;
  if (silt >= 80 && clay < 12) return TextureClass::silt;
  if (silt >= 50 && clay < 27) return TextureClass::silt_loam;
  if (clay >= 20 && clay < 35 && silt < 28 && sand > 45) return TextureClass::sandy_clay_loam;
  if (clay >= 27 && clay < 40 && sand > 20 && sand <= 45) return TextureClass::clay_loam;
  if (clay >= 27 && clay < 40 && sand <= 20) return TextureClass::silty_clay_loam;
  if (clay >= 35 && sand > 45) return TextureClass::sandy_clay;
  if (clay >= 40 && silt >= 40) return TextureClass::silty_clay;
  return TextureClass::clay;
}

std::string name(TextureClass t) {
  return std::string(vantrel::texture_name(t));
}

std::string number(double v, int decimals = 1) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}

struct Estimate {
  double fc, sp, wp;
};

// The program's estimate for a 0-30 cm horizon without stones, through its own path.
Estimate program_estimate(const vantrel::RetentionCurves& curves, float sand, float clay) {
  vantrel::NullSink trace;
  vantrel::ProfileLayers layers;
  vantrel::HorizonInputs in;
  in.horizon = 1;
  in.thickness = 30;
  in.sand = sand;
  in.clay = clay;
  in.silt = 100.0F - sand - clay;
  vantrel::commit_horizon(curves, trace, in, layers);
  return {layers.fc(1), layers.sp(1), layers.wp(1)};
}

// What the class table sums up below it.
struct Summary {
  double fc_above = 0, wp_diff = 0, taw_diff = 0;
  int classes = 0;
};

void print_introduction() {
  std::printf(
      "# Validation of the bundled reference profiles\n\n"
      "Made by `./dev.sh validation` from the files in `reference/`; a test makes it again "
      "and compares.\n\n"
      "For each texture class, its centroid from `Soil_texture_default.csv` as a horizon of "
      "0 to 30 cm without stones: the program's water contents (%% by volume) at field "
      "capacity (FC, 10 kPa), the stress point (SP, 100 kPa) and wilting point (WP, "
      "1500 kPa), beside two published estimates at the same suctions:\n\n"
      "- **ROSETTA**: the class-average van Genuchten parameters of Schaap M.G., Leij F.J. & "
      "van Genuchten M.Th. (2001) rosetta: a computer program for estimating soil hydraulic "
      "parameters with hierarchical pedotransfer functions. J. Hydrol. 251:163-176.\n"
      "- **S&R**: the equations of Saxton K.E. & Rawls W.J. (2006) Soil water characteristic "
      "estimates by texture and organic matter for hydrologic solutions. Soil Sci. Soc. Am. J. "
      "70:1569-1578, with 2.5 %% organic matter and normal density; at 10 kPa their straight "
      "wet segment, at 100 and 1500 kPa their power law.\n"
      "- **FAO-56**: the ranges of Allen R.G., Pereira L.S., Raes D. & Smith M. (1998) Crop "
      "evapotranspiration, FAO Irrigation and Drainage Paper 56, Table 19, for the classes it "
      "lists. FAO-56 takes field capacity nearer 33 kPa than 10 kPa, so its FC and FC - WP "
      "lie below values at 10 kPa for the same soil.\n\n");

  std::printf(
      "| class | sand/clay %% | FC program | FC ROSETTA | FC S&R | FC FAO-56 | SP program | SP "
      "ROSETTA | SP S&R | WP program | WP ROSETTA | WP S&R | WP FAO-56 | FC-WP program | FC-WP "
      "ROSETTA | FC-WP S&R | FC-WP FAO-56 |\n");
  std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
}

// One texture class's row: the program's estimate at its centroid beside the published ones.
void print_class_row(const vantrel::RetentionCurves& curves, const vantrel::TextureRow& row,
                     Summary& sum) {
  float sand = 0, clay = 0;
  vantrel::STRING_TO_REAL(row.sand.trimmed(), sand);
  vantrel::STRING_TO_REAL(row.clay.trimmed(), clay);
  const TextureClass t = vantrel::classify_texture(sand, 100.0F - sand - clay, clay);
  const Estimate p = program_estimate(curves, sand, clay);
  const Rosetta* r = nullptr;
  for (const Rosetta& candidate : kRosetta) {
    if (candidate.texture == t) r = &candidate;
  }
  const FaoRange* f = nullptr;
  for (const FaoRange& candidate : kFao) {
    if (candidate.texture == t) f = &candidate;
  }
  const auto sr = vantrel::reference_data::saxton_rawls(sand, clay, 2.5, 1.0);
  const Estimate ros = {rosetta_theta(*r, 10), rosetta_theta(*r, 100), rosetta_theta(*r, 1500)};
  const Estimate sax = {100 * sr.theta_segment(10), 100 * sr.theta_at(100),
                        100 * sr.theta_at(1500)};
  const auto range = [&](double low, double high) {
    return f == nullptr ? std::string("-") : number(100 * low, 0) + "-" + number(100 * high, 0);
  };
  std::printf(
      "| %s | %s/%s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | "
      "%s | %s |\n",
      name(t).c_str(), number(sand, 0).c_str(), number(clay, 0).c_str(), number(p.fc).c_str(),
      number(ros.fc).c_str(), number(sax.fc).c_str(),
      range(f ? f->fc_low : 0, f ? f->fc_high : 0).c_str(), number(p.sp).c_str(),
      number(ros.sp).c_str(), number(sax.sp).c_str(), number(p.wp).c_str(), number(ros.wp).c_str(),
      number(sax.wp).c_str(), range(f ? f->wp_low : 0, f ? f->wp_high : 0).c_str(),
      number(p.fc - p.wp).c_str(), number(ros.fc - ros.wp).c_str(), number(sax.fc - sax.wp).c_str(),
      range(f ? f->taw_low : 0, f ? f->taw_high : 0).c_str());
  sum.fc_above += p.fc - ros.fc;
  sum.wp_diff += std::fabs(p.wp - ros.wp);
  sum.taw_diff += std::fabs((p.fc - p.wp) - (ros.fc - ros.wp));
  ++sum.classes;
}

void print_summary(const Summary& sum) {
  std::printf(
      "\nOver the twelve centroids, the program's wilting points lie %s %%vol from ROSETTA's "
      "on average, its field capacities at 10 kPa %s %%vol above them, and its available water "
      "FC - WP %s %%vol from theirs. These are estimates beside estimates: the cross-validation "
      "below compares the program with measured curves instead.\n\n",
      number(sum.wp_diff / sum.classes).c_str(), number(sum.fc_above / sum.classes).c_str(),
      number(sum.taw_diff / sum.classes).c_str());
}

// The program's classes against the USDA triangle on a 0.5 % grid.
void print_triangle() {
  std::map<std::pair<std::string, std::string>, std::array<double, 5>> differ;  // count, ranges
  long long total = 0, same = 0;
  for (int s2 = 0; s2 <= 200; ++s2) {
    for (int c2 = 0; s2 + c2 <= 200; ++c2) {
      const double sand = s2 / 2.0, clay = c2 / 2.0, silt = 100.0 - sand - clay;
      const TextureClass program = vantrel::classify_texture(
          static_cast<float>(sand), static_cast<float>(silt), static_cast<float>(clay));
      const TextureClass usda = usda_class(sand, silt, clay);
      ++total;
      if (program == usda) {
        ++same;
        continue;
      }
      auto& d = differ[{name(program), name(usda)}];
      if (d[0] == 0) d = {0, sand, sand, clay, clay};
      d[0] += 1;
      d[1] = std::min(d[1], sand);
      d[2] = std::max(d[2], sand);
      d[3] = std::min(d[3], clay);
      d[4] = std::max(d[4], clay);
    }
  }
  std::printf(
      "## Texture classes and the USDA triangle\n\n"
      "On a 0.5 %% grid over the whole triangle (%lld compositions), the program names %s %% "
      "of the triangle as the USDA texture triangle does (Soil Survey Staff, Soil Survey "
      "Manual, USDA Agriculture Handbook 18). Where they differ, it is along these "
      "boundaries; a horizon there may be named either way, and its estimate rests on the "
      "reference entries near its sand and clay whatever its name:\n\n"
      "| program says | USDA says | share of the triangle | sand %% | clay %% |\n"
      "|---|---|---|---|---|\n",
      total, number(100.0 * static_cast<double>(same) / static_cast<double>(total), 1).c_str());
  for (const auto& [pair, d] : differ) {
    std::printf("| %s | %s | %s %% | %s-%s | %s-%s |\n", pair.first.c_str(), pair.second.c_str(),
                number(100.0 * d[0] / static_cast<double>(total), 2).c_str(), number(d[1]).c_str(),
                number(d[2]).c_str(), number(d[3]).c_str(), number(d[4]).c_str());
  }
  if (differ.empty()) std::printf("| - | - | 0 %% | | |\n");
}

// Which profiles of a reference file are synthetic, by their first header line.
std::vector<bool> synthetic_profiles_of(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<bool> synthetic;
  std::string line;
  for (int i = 0; std::getline(in, line); ++i) {
    if (i % (3 + vantrel::kLayers) == 0) {
      synthetic.push_back(vantrel::reference_data::is_synthetic_title(line));
    }
  }
  return synthetic;
}

// The cross-validation against the measured samples the bundled set is built from.
bool print_cross_validation(const std::filesystem::path& folder,
                            const vantrel::TextureDefaults& textures) {
  const std::filesystem::path input = folder / "sources" / "unsoda.csv";
  std::ifstream in(input, std::ios::binary);
  std::vector<vantrel::MeasuredProblem> problems;
  bool header_ok = false;
  std::vector<vantrel::MeasuredSample> read;
  if (in) read = vantrel::read_measured(in, problems, header_ok);
  if (!header_ok) {
    std::fprintf(stderr, "%s: cannot read\n", input.string().c_str());
    return false;
  }
  std::vector<vantrel::MeasuredSample> fitted = read;
  vantrel::fit_samples(fitted, problems, false);
  vantrel::reference_data::Misfits misfits;
  const auto synthetic = vantrel::reference_data::synthetic_profiles(
      vantrel::reference_data::kSyntheticProfiles, misfits);
  std::string work_name = (std::filesystem::temp_directory_path() / "vantrel-validation-XXXXXX");
  if (!synthetic || mkdtemp(work_name.data()) == nullptr) return false;
  const std::filesystem::path work = work_name;
  const auto v = vantrel::validation::cross_validate(
      read, fitted, *synthetic, vantrel::reference_data::centroids_of(textures), work);
  std::error_code ignored;
  std::filesystem::remove_all(work, ignored);
  vantrel::validation::print_cross_validation(v);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s REFERENCE_DIR\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  auto curves = std::make_unique<vantrel::RetentionCurves>();
  auto textures = std::make_unique<vantrel::TextureDefaults>();
  vantrel::load_retention_curves(folder / vantrel::kRetentionFileName, *curves);
  vantrel::load_texture_defaults(folder / vantrel::kTextureFileName, *textures);
  print_introduction();
  Summary sum;
  for (int i = 1; i <= textures->row_count; ++i)
    print_class_row(*curves, textures->row(i), sum);
  print_summary(sum);
  vantrel::validation::print_plausibility(
      *curves, *textures, synthetic_profiles_of(folder / vantrel::kRetentionFileName));
  if (!print_cross_validation(folder, *textures)) return 1;
  print_triangle();
  return 0;
}
