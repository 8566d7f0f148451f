// Writes the bundled Soil_WRC.csv: the measured profiles fitted from vantrel-reference's input
// by its own fitting, with the synthetic profiles of the thinly measured texture classes.
//   make_reference_set MEASURED.csv Soil_texture_default.csv > Soil_WRC.csv
// Deterministic: the same files give the same set.
#include <fstream>
#include <iostream>
#include <string>

#include "data/text_tables.hpp"
#include "reference_data/bundled_set.hpp"

namespace {

using namespace vantrel;
using namespace vantrel::reference_data;

std::vector<Centroid> centroids_in(const std::filesystem::path& file) {
  auto textures = std::make_unique<TextureDefaults>();
  load_texture_defaults(file, *textures);
  return centroids_of(*textures);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_reference_set MEASURED.csv Soil_texture_default.csv\n";
    return 2;
  }
  const std::filesystem::path input = argv[1];
  std::ifstream in(input, std::ios::binary);
  std::vector<MeasuredProblem> problems;
  bool header_ok = false;
  std::vector<MeasuredSample> samples;
  if (in) samples = read_measured(in, problems, header_ok);
  if (!header_ok) {
    std::cerr << input.string() << ": cannot read\n";
    return 2;
  }
  fit_samples(samples, problems, false);
  Misfits misfits;
  const auto synthetic = synthetic_profiles(kSyntheticProfiles, misfits);
  if (!synthetic) return 1;
  const BundledSet set = bundled_set(
      measured_profiles(samples, input.filename().string(), VANTREL_VERSION, kMaxProfiles),
      *synthetic, centroids_in(argv[2]));
  for (const ReferenceProfile& p : set.profiles)
    std::cout << reference_profile_text(p);
  std::cerr << "make_reference_set: " << set.measured << " measured and " << set.synthetic
            << " synthetic profiles; sites by class:";
  for (const auto& [texture, sites] : set.sites)
    std::cerr << ' ' << texture_name(texture) << ' ' << sites << ';';
  std::cerr << " synthetic for:";
  for (const TextureClass t : set.thin)
    std::cerr << ' ' << texture_name(t) << ';';
  std::cerr << '\n';
  for (const TextureClass t : set.uncovered) {
    std::cerr << "make_reference_set: the " << texture_name(t) << " centroid finds fewer than "
              << kCentroidEntries << " entries in the first search\n";
  }
  return set.uncovered.empty() && std::cout ? 0 : 1;
}
