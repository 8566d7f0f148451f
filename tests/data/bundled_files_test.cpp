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

class BundledProfiles : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    table_ = new RetentionCurves;
    load_retention_curves(kReference / kRetentionFileName, *table_);
  }
  static void TearDownTestSuite() { delete table_; }
  static RetentionCurves* table_;
};
RetentionCurves* BundledProfiles::table_ = nullptr;

TEST_F(BundledProfiles, EveryClassAtEveryDepth) {
  const RetentionCurves& t = *table_;
  EXPECT_EQ(t.profile_count, 120);
  for (int j = 1; j <= kLayers; ++j) {
    std::set<TextureClass> classes;
    for (int k = 1; k <= t.profile_count; ++k) {
      classes.insert(
          classify_texture(t.sand(k, j), 100.0F - t.sand(k, j) - t.clay(k, j), t.clay(k, j)));
      EXPECT_GT(t.alpha(k, j), 0.0F);
      EXPECT_GT(t.n(k, j), 1.0F);
      EXPECT_GE(t.theta_r(k, j), 0.0F);
      EXPECT_LT(t.theta_r(k, j), t.theta_s(k, j));
      EXPECT_GT(t.density(k, j), 0.8F);
      EXPECT_LT(t.density(k, j), 2.2F);
    }
    EXPECT_EQ(classes.size(), 12U) << "layer " << j;
  }
}

// Every layer looks like soil: parameters of real soils, a curve that falls from saturation
// through field capacity to wilting point, a real density, no more water than pore space.
TEST_F(BundledProfiles, EveryLayerIsPlausibleSoil) {
  const RetentionCurves& t = *table_;
  int implausible = 0;
  for (int k = 1; k <= t.profile_count; ++k) {
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

// Possible and typical: no more water than pore space, densities that rise with depth and stay
// below the root-restricting density of their texture, air at field capacity, and entries
// near every class centroid in the first search.
TEST_F(BundledProfiles, EveryLayerIsPossibleAndTypical) {
  const RetentionCurves& t = *table_;
  int layers = 0, restricting = 0, airy = 0;
  std::array<double, 3> density_sum{}, density_count{};
  for (int k = 1; k <= t.profile_count; ++k) {
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

TEST_F(BundledProfiles, TopsoilEstimatesAgreeWithSaxtonRawls) {
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
    const auto expected = reference_data::saxton_rawls(sand, clay, 2.3, 1.0);
    EXPECT_NEAR(wp, 100 * expected.theta1500, 3.0) << name;
    EXPECT_GE(fc, 100 * expected.theta33) << name;
    if (name == "sand") {
      EXPECT_LE(fc, 17.0F);  // FAO-56 Table 19's highest field capacity of a sand
    }
    if (name == "clay") {
      EXPECT_GT(fc, 40.0F);
    }
    std::printf(
        "%-16s WP %5.1f SP %5.1f FC %5.1f sat %5.1f density %4.2f (S&R WP %4.1f FC33 %4.1f)\n",
        std::string(name).c_str(), wp, sp, fc, saturated, density, 100 * expected.theta1500,
        100 * expected.theta33);
  }
}

TEST(BundledProfilesGenerator, WritesTheCommittedFile) {
  const testing::TempDir dir;
  const auto written = dir / "first.csv";
  const std::string command = std::string(VANTREL_PROFILE_GENERATOR) + " 6 > " + written.string();
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string fresh = testing::read_all(written);
  const std::string committed = testing::read_all(kReference / kRetentionFileName);
  ASSERT_EQ(fresh.size() > 0, true);
  EXPECT_EQ(committed.substr(0, fresh.size()), fresh);
}

}  // namespace
}  // namespace vantrel
