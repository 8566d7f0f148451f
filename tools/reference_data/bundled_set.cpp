#include "reference_data/bundled_set.hpp"

#include <algorithm>
#include <cmath>
#include <set>

#include "data/fields.hpp"
#include "physics/soil_properties.hpp"

namespace vantrel::reference_data {

namespace {

// As the file holds it: to 0.1 %.
double written(double percent) {
  return std::round(percent * 10.0) / 10.0;
}

std::string title(std::size_t k, std::size_t count, const std::string& what) {
  return "Reference profile " + std::to_string(k) + " of " + std::to_string(count) + " (" +
         std::string(kBundledSetName) + "): " + what;
}

}  // namespace

std::vector<Centroid> centroids_of(const TextureDefaults& textures) {
  std::vector<Centroid> centroids;
  for (int i = 1; i <= textures.row_count; ++i) {
    float sand = 0, clay = 0;
    STRING_TO_REAL(textures.row(i).sand.trimmed(), sand);
    STRING_TO_REAL(textures.row(i).clay.trimmed(), clay);
    centroids.push_back({class_of(sand, clay), sand, clay});
  }
  return centroids;
}

TextureClass class_of(double sand, double clay) {
  return classify_texture(static_cast<float>(sand), static_cast<float>(100.0 - sand - clay),
                          static_cast<float>(clay));
}

int first_search_entries(const std::vector<ReferenceProfile>& profiles, const Centroid& centroid) {
  const LayerWindow window = layer_window(0, 30);
  const double tolerance = tolerance_of_pass(0);
  int entries = 0;
  for (const ReferenceProfile& p : profiles) {
    for (int j = window.first; j <= window.last && j <= static_cast<int>(p.layers.size()); ++j) {
      const ReferenceLayer& l = p.layers[static_cast<std::size_t>(j - 1)];
      entries += std::fabs(written(l.sand) - centroid.sand) <= tolerance &&
                 std::fabs(written(l.clay) - centroid.clay) <= tolerance;
    }
  }
  return entries;
}

namespace {

// The set as it grows: its profiles and what each is, and which synthetic ones it holds.
struct Growing {
  BundledSet& set;
  const std::vector<SyntheticProfile>& synthetic;
  std::vector<std::string> titles;
  std::vector<bool> taken;

  void take(std::size_t i) {
    taken[i] = true;
    set.profiles.push_back(synthetic[i].reference);
    titles.push_back(std::string(kSyntheticMark) +
                     std::string(texture_name(synthetic[i].main_class)) + "; not measured soil");
    ++set.synthetic;
  }
  // Every synthetic profile of the class.
  void take_class(TextureClass t) {
    for (std::size_t i = 0; i < synthetic.size(); ++i) {
      if (synthetic[i].main_class == t) take(i);
    }
  }
  // More of the class's synthetic profiles until its centroid finds enough entries.
  void cover(const Centroid& c) {
    for (std::size_t i = 0; i < synthetic.size(); ++i) {
      if (first_search_entries(set.profiles, c) >= kCentroidEntries) return;
      if (!taken[i] && synthetic[i].main_class == c.texture) take(i);
    }
    if (first_search_entries(set.profiles, c) < kCentroidEntries) {
      set.uncovered.push_back(c.texture);
    }
  }
};

// Sites with a sample of each class.
std::map<TextureClass, int> sites_by_class(const std::vector<MeasuredProfile>& measured) {
  std::map<TextureClass, int> sites;
  for (const MeasuredProfile& p : measured) {
    std::set<TextureClass> classes;
    for (const auto& [sand, clay] : p.textures)
      classes.insert(class_of(sand, clay));
    for (const TextureClass t : classes)
      ++sites[t];
  }
  return sites;
}

}  // namespace

BundledSet bundled_set(const std::vector<MeasuredProfile>& measured,
                       const std::vector<SyntheticProfile>& synthetic,
                       const std::vector<Centroid>& centroids) {
  BundledSet set;
  set.sites = sites_by_class(measured);
  set.measured = static_cast<int>(measured.size());
  Growing growing{set, synthetic, {}, std::vector<bool>(synthetic.size(), false)};
  for (const MeasuredProfile& p : measured) {
    set.profiles.push_back(p.reference);
    growing.titles.push_back("measured, " + p.site + ", " + std::to_string(p.samples) +
                             " sample(s)");
  }
  for (const Centroid& c : centroids) {
    if (set.sites[c.texture] >= kEnoughSites) continue;
    set.thin.push_back(c.texture);
    growing.take_class(c.texture);
  }
  for (const Centroid& c : centroids)
    growing.cover(c);
  if (set.profiles.size() > static_cast<std::size_t>(kMaxProfiles)) {
    set.profiles.resize(static_cast<std::size_t>(kMaxProfiles));  // what the program reads
  }
  for (std::size_t k = 0; k < set.profiles.size(); ++k)
    set.profiles[k].title = title(k + 1, set.profiles.size(), growing.titles[k]);
  return set;
}

}  // namespace vantrel::reference_data
