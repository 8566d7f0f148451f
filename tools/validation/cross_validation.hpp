// Cross-validation against measured curves: the sites split into folds, each fold's samples
// estimated by the program's own estimate from reference sets built without that fold, the
// estimates compared with each held-out sample's measured water contents.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "import/measured_profiles.hpp"
#include "physics/soil_texture.hpp"
#include "reference_data/bundled_set.hpp"

namespace vantrel::validation {

// The suctions compared (kPa), and the available water FC(10 kPa) - WP(1500 kPa) after them.
inline constexpr std::array<double, 4> kSuctions = {10, 33, 100, 1500};
inline constexpr std::size_t kAvailable = kSuctions.size();
inline constexpr int kFolds = 10;
inline constexpr std::uint64_t kFoldSeed = 20010101;  // UNSODA 2.0's year

// The measured water content (%vol) at `suction`, log-linear in the suction between the two
// measured suctions around it (points at one suction averaged); nothing outside the measured
// range, except that a driest point at 15,000 cm of head (1,471 kPa) or drier reaches 1500 kPa
// along its last segment.
std::optional<double> measured_at(const std::vector<RetentionPoint>& points, double suction);

// Each site's fold (0..folds-1): the sites in name order, shuffled with the seed, dealt round.
std::map<std::string, int> site_folds(std::vector<std::string> sites, int folds,
                                      std::uint64_t seed);

// Estimate less truth, gathered.
struct Errors {
  double sum = 0, squares = 0;
  int count = 0;
  void add(double error) {
    sum += error;
    squares += error * error;
    ++count;
  }
  double bias() const;
  double rmse() const;
  // The bias's standard error: how far it moves with the samples drawn.
  double standard_error() const;
};

// One set's errors at each suction (%vol) and of the available water (mm/m), overall and by
// the held-out samples' class.
struct SetErrors {
  std::array<Errors, kAvailable + 1> all;
  std::map<TextureClass, std::array<Errors, kAvailable + 1>> by_class;
};

// The reference sets compared, and the sample's own fitted curve: how far the truth's
// interpolation between measured points lies from the curve through them.
enum class Set { bundled, measured_only, synthetic_only, class_mean, own_curve };
inline constexpr std::array<Set, 5> kSets = {Set::bundled, Set::measured_only, Set::synthetic_only,
                                             Set::class_mean, Set::own_curve};

struct CrossValidation {
  std::map<Set, SetErrors> sets;
  std::map<TextureClass, int> samples, sites;  // held-out samples with a truth, and their sites
  int sample_count = 0, site_count = 0;
  int uncovered_folds = 0;  // folds whose bundled set leaves a centroid short of entries
};

// `read`: every sample as read (its measured points); `fitted`: those the fit kept, with their
// curves. Reference files for each fold are written to and read from `work`.
CrossValidation cross_validate(const std::vector<MeasuredSample>& read,
                               const std::vector<MeasuredSample>& fitted,
                               const std::vector<reference_data::SyntheticProfile>& synthetic,
                               const std::vector<reference_data::Centroid>& centroids,
                               const std::filesystem::path& work);

}  // namespace vantrel::validation

namespace vantrel::validation {

// The cross-validation's section of the validation document, with whether its goals are met:
// the bundled set's available-water bias within kBiasGoal in every class of kEnoughSites sites
// or more, and its RMSE no worse than the synthetic set's.
inline constexpr double kBiasGoal = 10.0;  // mm/m
void print_cross_validation(const CrossValidation& v);

}  // namespace vantrel::validation
