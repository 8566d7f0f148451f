// The bundled set's rule (which synthetic profiles join the measured ones) and the
// cross-validation's own arithmetic: the truth read from measured points, and the folds.
#include "reference_data/bundled_set.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "validation/cross_validation.hpp"

namespace vantrel {
namespace {

using reference_data::Centroid;
using reference_data::SyntheticProfile;

ReferenceProfile profile_of(double sand, double clay) {
  ReferenceProfile p;
  for (int j = 1; j <= kLayers; ++j)
    p.layers.push_back(
        {1.4, "A", 45, 5, 0.5, 1.5, 1.0 / 3, {}, {}, 100 - sand - clay, 10 * j, clay, sand});
  return p;
}

MeasuredProfile measured_at(const std::string& site, double sand, double clay) {
  MeasuredProfile p;
  p.site = site;
  p.samples = 1;
  p.textures = {{sand, clay}};
  p.reference = profile_of(sand, clay);
  return p;
}

TEST(BundledSet, SyntheticProfilesJoinThinClassesAndShortCentroids) {
  const Centroid loam{TextureClass::loam, 41, 19}, clay{TextureClass::clay, 20, 63};
  struct Case {
    const char* what;
    int loam_sites, clay_sites;  // measured sites at each centroid
    int synthetic;               // synthetic profiles taken
  } cases[] = {
      // Ten sites of each: no synthetic profile is needed, and each centroid finds 3 x 10.
      {"both classes measured enough", 10, 10, 0},
      // Nine clay sites: the class is thin, so its four synthetic profiles all come in.
      {"one class below ten sites", 10, 9, 4},
      // No clay site: thin too; the four synthetic clay profiles give 12 entries.
      {"a class never measured", 12, 0, 4},
  };
  std::vector<SyntheticProfile> synthetic;
  for (int i = 0; i < 4; ++i) {
    synthetic.push_back({TextureClass::clay, profile_of(20, 63)});
    synthetic.push_back({TextureClass::loam, profile_of(41, 19)});
  }
  for (const Case& c : cases) {
    std::vector<MeasuredProfile> measured;
    for (int i = 0; i < c.loam_sites; ++i)
      measured.push_back(measured_at("loam " + std::to_string(i), 41, 19));
    for (int i = 0; i < c.clay_sites; ++i)
      measured.push_back(measured_at("clay " + std::to_string(i), 20, 63));
    const auto set = reference_data::bundled_set(measured, synthetic, {loam, clay});
    EXPECT_EQ(set.synthetic, c.synthetic) << c.what;
    EXPECT_EQ(set.measured, c.loam_sites + c.clay_sites) << c.what;
    EXPECT_TRUE(set.uncovered.empty()) << c.what;
    EXPECT_GE(reference_data::first_search_entries(set.profiles, clay), 6) << c.what;
    ASSERT_FALSE(set.profiles.empty());
    EXPECT_NE(set.profiles.front().title.find(std::string(kBundledSetName)), std::string::npos);
    EXPECT_NE(set.profiles.back().title.find("of " + std::to_string(set.profiles.size())),
              std::string::npos);
  }
}

// Ten measured loam sites far from the centroid leave it short: synthetic loams are added until
// six entries are found, and a centroid no profile can reach is reported.
TEST(BundledSet, ACentroidShortOfEntriesTakesSyntheticProfilesOrIsReported) {
  std::vector<MeasuredProfile> measured;
  for (int i = 0; i < 10; ++i)
    measured.push_back(measured_at("far loam " + std::to_string(i), 48, 10));
  std::vector<SyntheticProfile> synthetic(4, {TextureClass::loam, profile_of(41, 19)});
  const Centroid loam{TextureClass::loam, 41, 19}, silt{TextureClass::silt, 7, 5};
  const auto set = reference_data::bundled_set(measured, synthetic, {loam, silt});
  EXPECT_EQ(set.synthetic, 2);  // 3 entries each (layers 1 to 3)
  EXPECT_EQ(set.uncovered, std::vector<TextureClass>{TextureClass::silt});
  EXPECT_EQ(set.thin, std::vector<TextureClass>{TextureClass::silt});
}

TEST(CrossValidation, MeasuredWaterContentIsLogLinearBetweenMeasuredSuctions) {
  const std::vector<RetentionPoint> points = {{1, 40},   {10, 30},   {10, 32},
                                              {100, 20}, {1471, 10}, {1000, 12}};
  struct Case {
    double suction;
    std::optional<double> theta;
  } cases[] = {
      {10, 31},                         // replicates averaged
      {std::sqrt(10.0 * 100.0), 25.5},  // halfway in the logarithm
      {100, 20},
      {1500, 10 + (10 - 12) * std::log(1500 / 1471.0) / std::log(1471 / 1000.0)},
      {0.5, std::nullopt},  // wetter than measured
  };
  for (const Case& c : cases) {
    const auto theta = validation::measured_at(points, c.suction);
    ASSERT_EQ(theta.has_value(), c.theta.has_value()) << c.suction;
    if (theta) {
      EXPECT_NEAR(*theta, *c.theta, 1e-9) << c.suction;
    }
  }
  // A driest point short of 15,000 cm of head does not reach the wilting point.
  EXPECT_FALSE(validation::measured_at({{10, 30}, {1000, 12}}, 1500).has_value());
  EXPECT_FALSE(validation::measured_at({{10, 30}}, 10.0001).has_value());
}

TEST(CrossValidation, SitesAreDealtIntoFoldsTheSameWayEveryTime) {
  std::vector<std::string> sites;
  for (int i = 0; i < 23; ++i)
    sites.push_back("site " + std::to_string(i));
  std::vector<std::string> twice = sites;
  twice.insert(twice.end(), sites.rbegin(), sites.rend());  // repeats and order do not matter
  const auto folds = validation::site_folds(sites, 10, 7);
  EXPECT_EQ(folds, validation::site_folds(twice, 10, 7));
  EXPECT_NE(folds, validation::site_folds(sites, 10, 8));
  std::map<int, int> sizes;
  for (const auto& [site, fold] : folds)
    ++sizes[fold];
  ASSERT_EQ(sizes.size(), 10U);
  for (const auto& [fold, size] : sizes)
    EXPECT_TRUE(size == 2 || size == 3) << fold;
}

}  // namespace
}  // namespace vantrel
