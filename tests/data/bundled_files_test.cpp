// The reference files that ship with the program.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "data/fields.hpp"
#include "data/retention_curves.hpp"
#include "data/text_tables.hpp"
#include "physics/retention_fit.hpp"
#include "physics/soil_properties.hpp"
#include "physics/soil_texture.hpp"
#include "physics/van_genuchten.hpp"
#include "reference_data/saxton_rawls.hpp"
#include "reference_data/soil_limits.hpp"
#include "reference_data/synthetic_profiles.hpp"
#include "support/line_log.hpp"
#include "support/temp_dir.hpp"

namespace vantrel {
namespace {

const std::filesystem::path kReference = VANTREL_REFERENCE_DIR;

float number(std::string_view text) {
  float value = -1.0F;
  EXPECT_EQ(STRING_TO_REAL(NumberText(text), value), FreeFormRead::value) << text;
  return value;
}

TEST(BundledCrops, OneUsableRowPerCrop) {
  auto crops = std::make_unique<CropTable>();
  std::ostringstream warnings;
  load_crop_table(kReference / kCropFileName, *crops, warnings);
  EXPECT_TRUE(warnings.str().empty());
  EXPECT_EQ(crops->row_count, 99);
  std::set<std::string_view> names;
  for (int i = 1; i <= crops->row_count; ++i) {
    const CropRow& row = crops->row(i);
    const std::string_view name = row.name.trimmed();
    EXPECT_LE(name.size(), 20U) << name;  // the crop list reads 20 characters
    EXPECT_FALSE(name.empty());
    EXPECT_NE(name.front(), ' ') << name;
    EXPECT_TRUE(names.insert(name).second) << "twice: " << name;
    const float root_depth = number(row.root_depth.trimmed());
    const float tolerance = number(row.drought_tolerance.trimmed());
    EXPECT_GE(root_depth, 20.0F) << name;
    EXPECT_LE(root_depth, 170.0F) << name;
    EXPECT_GE(tolerance, 20.0F) << name;
    EXPECT_LE(tolerance, 80.0F) << name;
  }
}

TEST(BundledTextures, EveryClassOnceAtItsCentroid) {
  auto textures = std::make_unique<TextureDefaults>();
  load_texture_defaults(kReference / kTextureFileName, *textures);
  ASSERT_EQ(textures->row_count, 12);

  // Centroid of each class's region, on a grid of cell centres over the triangle.
  std::map<std::string_view, std::array<double, 3>> sums;
  constexpr int kSteps = 400;
  for (int i = 0; i < kSteps; ++i) {
    for (int j = 0; i + j < kSteps - 1; ++j) {
      const double sand = (i + 1.0 / 3.0) * 100.0 / kSteps;
      const double clay = (j + 1.0 / 3.0) * 100.0 / kSteps;
      const auto name = texture_name(classify_texture(static_cast<float>(sand),
                                                      static_cast<float>(100 - sand - clay),
                                                      static_cast<float>(clay)));
      auto& s = sums[name];
      s[0] += 1;
      s[1] += sand;
      s[2] += clay;
    }
  }

  std::set<std::string_view> seen;
  for (int i = 1; i <= 12; ++i) {
    const TextureRow& row = textures->row(i);
    const float sand = number(row.sand.trimmed());
    const float clay = number(row.clay.trimmed());
    const float silt = number(row.silt.trimmed());
    EXPECT_EQ(sand + clay + silt, 100.0F);
    const std::string_view name = row.name.trimmed();
    EXPECT_EQ(texture_name(classify_texture(sand, silt, clay)), name);
    EXPECT_TRUE(seen.insert(name).second);
    const auto& s = sums.at(name);
    EXPECT_NEAR(sand, s[1] / s[0], 1.5) << name;
    EXPECT_NEAR(clay, s[2] / s[0], 1.5) << name;
  }
}

// The first two header lines of each profile of the bundled file.
std::vector<std::array<std::string, 2>> profile_headers() {
  std::istringstream in(testing::read_all(kReference / kRetentionFileName));
  std::vector<std::array<std::string, 2>> headers;
  std::string line;
  for (int i = 0; std::getline(in, line); ++i) {
    if (i % (3 + kLayers) == 0) headers.push_back({line, ""});
    if (i % (3 + kLayers) == 1) headers.back()[1] = line;
  }
  return headers;
}

class BundledProfiles : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    table_ = new RetentionCurves;
    load_retention_curves(kReference / kRetentionFileName, *table_);
    for (const auto& header : profile_headers())
      synthetic_.push_back(reference_data::is_synthetic_title(header[0]));
  }
  static void TearDownTestSuite() { delete table_; }
  static bool synthetic(int k) { return synthetic_.at(static_cast<std::size_t>(k - 1)); }
  static RetentionCurves* table_;
  static std::vector<bool> synthetic_;
};
RetentionCurves* BundledProfiles::table_ = nullptr;
std::vector<bool> BundledProfiles::synthetic_;

// Every profile says what it is: the set, measured (site and UNSODA sample codes and
// publication) or synthetic (and of which class).
TEST_F(BundledProfiles, EveryProfileNamesItsSource) {
  const auto headers = profile_headers();
  ASSERT_EQ(static_cast<int>(headers.size()), table_->profile_count);
  int measured = 0, made = 0;
  for (const auto& [title, source] : headers) {
    EXPECT_NE(title.find(std::string(kBundledSetName)), std::string::npos) << title;
    if (title.find("): measured, ") != std::string::npos) {
      ++measured;
      EXPECT_EQ(source.rfind("Samples ", 0), 0U) << source;
      EXPECT_NE(source.find("Source: UNSODA 2.0, "), std::string::npos) << source;
    } else {
      ++made;
      EXPECT_NE(title.find("): synthetic, Saxton & Rawls 2006, class "), std::string::npos)
          << title;
      EXPECT_EQ(source.rfind("Source: Saxton K.E. & Rawls W.J. (2006)", 0), 0U) << source;
    }
  }
  EXPECT_GT(measured, 90);
  EXPECT_GT(made, 0);
  EXPECT_LE(measured + made, kMaxProfiles);
}

TEST_F(BundledProfiles, EveryClassAtEveryDepth) {
  const RetentionCurves& t = *table_;
  EXPECT_LE(t.profile_count, kMaxProfiles);
  for (int j = 1; j <= kLayers; ++j) {
    std::set<TextureClass> classes;
    for (int k = 1; k <= t.profile_count; ++k) {
      classes.insert(
          classify_texture(t.sand(k, j), 100.0F - t.sand(k, j) - t.clay(k, j), t.clay(k, j)));
      EXPECT_GT(t.alpha(k, j), 0.0F);
      EXPECT_GT(t.n(k, j), 1.0F);
      EXPECT_GE(t.theta_r(k, j), 0.0F);
      EXPECT_LT(t.theta_r(k, j), t.theta_s(k, j));
      EXPECT_GE(t.density(k, j), 0.3F);
      EXPECT_LE(t.density(k, j), 2.1F);
    }
    EXPECT_EQ(classes.size(), 12U) << "layer " << j;
  }
}

// Every synthetic layer looks like soil: parameters of real soils, a curve that falls from
// saturation through field capacity to wilting point, a real density, no more water than pore
// space. (A measured layer keeps its measurement.)
TEST_F(BundledProfiles, EverySyntheticLayerIsPlausibleSoil) {
  const RetentionCurves& t = *table_;
  int implausible = 0;
  for (int k = 1; k <= t.profile_count; ++k) {
    if (!synthetic(k)) continue;
    for (int j = 1; j <= kLayers; ++j) {
      const auto why = implausible_layer(t.density(k, j), t.theta_s(k, j), t.theta_r(k, j),
                                         t.alpha(k, j), t.n(k, j), t.m(k, j));
      const bool plausible = !why.has_value();
      if (!plausible) ++implausible;
      EXPECT_TRUE(plausible) << "profile " << k << " layer " << j << ": " << why.value_or("");
    }
  }
  EXPECT_EQ(implausible, 0);
}

// Possible and typical synthetic layers: no more water than pore space, densities that rise
// with depth and stay below the root-restricting density of their texture, air at field
// capacity; and, for the whole set, entries near every class centroid in the first search.
TEST_F(BundledProfiles, SyntheticLayersAreTypicalAndEveryCentroidIsCovered) {
  const RetentionCurves& t = *table_;
  int layers = 0, restricting = 0, airy = 0;
  std::array<double, 3> density_sum{}, density_count{};
  for (int k = 1; k <= t.profile_count; ++k) {
    if (!synthetic(k)) continue;
    for (int j = 1; j <= kLayers; ++j) {
      ++layers;
      const double density = t.density(k, j);
      EXPECT_LE(t.theta_s(k, j), reference_data::total_porosity(density) + 0.005)
          << "profile " << k << " layer " << j;
      restricting +=
          density >= reference_data::root_restricting_density(t.sand(k, j), t.clay(k, j));
      const double at_10 =
          van_genuchten(t.theta_s(k, j), t.theta_r(k, j), t.alpha(k, j), t.n(k, j), t.m(k, j), 10);
      airy += t.theta_s(k, j) - at_10 >= 5.0;
      const std::size_t band = j <= 3 ? 0 : j <= 10 ? 1 : 2;
      density_sum[band] += density;
      density_count[band] += 1;
    }
  }
  EXPECT_LE(restricting, layers * 5 / 100);
  EXPECT_GE(airy, layers * 90 / 100);
  EXPECT_LT(density_sum[0] / density_count[0], density_sum[1] / density_count[1]);
  EXPECT_LT(density_sum[1] / density_count[1], density_sum[2] / density_count[2]);

  auto textures = std::make_unique<TextureDefaults>();
  load_texture_defaults(kReference / kTextureFileName, *textures);
  for (int i = 1; i <= textures->row_count; ++i) {
    const TextureRow& row = textures->row(i);
    const float sand = number(row.sand.trimmed());
    const float clay = number(row.clay.trimmed());
    testing::LineLog trace;
    std::vector<ReferenceEntry> used;
    float density = 0, saturated = 0, fc = 0, sp = 0, wp = 0;
    const int count = SOIL_PROPERTIES(t, trace, 0, 30, 0, sand, clay, 0, density, saturated, fc, sp,
                                      wp, false, &used);
    EXPECT_GE(count, 6) << row.name.trimmed();
    for (const ReferenceEntry& e : used) {  // all from the first search
      EXPECT_LE(std::fabs(t.sand(e.k, e.j) - sand), 5.0F) << row.name.trimmed();
      EXPECT_LE(std::fabs(t.clay(e.k, e.j) - clay), 5.0F) << row.name.trimmed();
    }
  }
}

// At every class centroid the topsoil estimate is ordered soil: wilting point below the stress
// point below field capacity below saturation, from enough entries.
TEST_F(BundledProfiles, TopsoilEstimatesAreOrderedSoil) {
  auto textures = std::make_unique<TextureDefaults>();
  load_texture_defaults(kReference / kTextureFileName, *textures);
  testing::LineLog trace;
  for (int i = 1; i <= textures->row_count; ++i) {
    const TextureRow& row = textures->row(i);
    const std::string_view name = row.name.trimmed();
    const float sand = number(row.sand.trimmed());
    const float clay = number(row.clay.trimmed());
    float density = 0, saturated = 0, fc = 0, sp = 0, wp = 0;
    const int count = SOIL_PROPERTIES(*table_, trace, 0, 30, 0, sand, clay, 0, density, saturated,
                                      fc, sp, wp, false);
    EXPECT_GT(count, 2) << name;
    EXPECT_GT(wp, 0.0F) << name;
    EXPECT_LT(wp, sp) << name;
    EXPECT_LT(sp, fc) << name;
    EXPECT_LT(fc, saturated) << name;
    if (name == "sand") {
      EXPECT_LE(fc, 17.0F);  // FAO-56 Table 19's highest field capacity of a sand
    }
    if (name == "clay") {
      EXPECT_GT(fc, 40.0F);
    }
  }
}

// The set is made again, whole, from the committed measured input by the same fitting as
// vantrel-reference's and the synthetic generator: it is the committed file.
TEST(BundledProfilesGenerator, MakesTheCommittedFile) {
  const testing::TempDir dir;
  const auto written = dir / "made.csv";
  const std::string command = std::string(VANTREL_SET_GENERATOR) + " " +
                              (kReference / "sources" / "unsoda.csv").string() + " " +
                              (kReference / kTextureFileName).string() + " > " + written.string() +
                              " 2> " + (dir / "log").string();
  ASSERT_EQ(std::system(command.c_str()), 0) << testing::read_all(dir / "log");
  EXPECT_TRUE(testing::read_all(written) == testing::read_all(kReference / kRetentionFileName));
}

}  // namespace
}  // namespace vantrel
