// The bundled reference set: the measured profiles, and the synthetic profiles of the texture
// classes that too few measured sites represent, or whose centroid the measured profiles leave
// with too few entries in the first, narrowest search.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "data/retention_curves.hpp"
#include "data/text_tables.hpp"
#include "import/measured_profiles.hpp"
#include "physics/soil_texture.hpp"
#include "reference_data/synthetic_profiles.hpp"

namespace vantrel::reference_data {

// A class with fewer measured sites than this takes the synthetic profiles of its class.
inline constexpr int kEnoughSites = 10;
// Every class centroid, as a horizon of 0 to 30 cm, finds at least this many entries in the
// first search; where the other profiles leave fewer, synthetic ones of its class are added.
inline constexpr int kCentroidEntries = 6;

struct Centroid {
  TextureClass texture{};
  double sand = 0, clay = 0;
};

struct BundledSet {
  std::vector<ReferenceProfile> profiles;  // titled and numbered as written
  std::map<TextureClass, int> sites;       // measured sites with a sample of the class
  std::vector<TextureClass> thin;          // classes below kEnoughSites
  int measured = 0, synthetic = 0;
  // Centroids whose entries stay below kCentroidEntries with every synthetic profile added.
  std::vector<TextureClass> uncovered;
};

// The class centroids of the texture file.
std::vector<Centroid> centroids_of(const TextureDefaults& textures);

// The class of a composition.
TextureClass class_of(double sand, double clay);

// Entries of layers 1 to 3 (a horizon of 0 to 30 cm) within the first search's tolerance of
// the centroid's sand and clay.
int first_search_entries(const std::vector<ReferenceProfile>& profiles, const Centroid& centroid);

// The measured profiles, each class's synthetic profiles where the class has fewer than
// kEnoughSites sites, and more of a class's synthetic profiles where its centroid finds fewer
// than kCentroidEntries entries; at most kMaxProfiles, measured first.
BundledSet bundled_set(const std::vector<MeasuredProfile>& measured,
                       const std::vector<SyntheticProfile>& synthetic,
                       const std::vector<Centroid>& centroids);

}  // namespace vantrel::reference_data
