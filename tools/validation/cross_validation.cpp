#include "validation/cross_validation.hpp"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <memory>
#include <random>
#include <set>
#include <sstream>

#include "data/retention_curves.hpp"
#include "physics/soil_properties.hpp"

namespace vantrel::validation {

namespace {

using Values = std::array<std::optional<double>, kAvailable>;

constexpr double kDriestTaken = 1400.0;  // kPa: 15,000 cm of head is 1,471 kPa

Values truth_of(const MeasuredSample& s) {
  Values t;
  for (std::size_t i = 0; i < kSuctions.size(); ++i)
    t[i] = measured_at(s.points, kSuctions[i]);
  return t;
}

std::array<double, kAvailable> program_estimate(const RetentionCurves& curves,
                                                const MeasuredSample& s) {
  NullSink trace;
  HorizonQuery q;
  q.top = static_cast<float>(s.top);
  q.bottom = static_cast<float>(s.bottom);
  q.sand = static_cast<float>(s.sand);
  q.clay = static_cast<float>(s.clay);
  q.keep_entries = true;
  const HorizonEstimate e = estimate_horizon(curves, q, trace);
  return {e.fc, mean_water_content(curves, e.used, 0, 33.0), e.sp, e.wp};
}

// A set of profiles as the program reads it: written to a file and loaded.
std::unique_ptr<RetentionCurves> loaded(const std::vector<ReferenceProfile>& profiles,
                                        const std::filesystem::path& file) {
  {
    std::ofstream out(file, std::ios::binary);
    for (const ReferenceProfile& p : profiles)
      out << reference_profile_text(p);
  }
  auto curves = std::make_unique<RetentionCurves>();
  std::ostringstream warnings;
  load_retention_curves(file, *curves, warnings);
  return curves;
}

void add(SetErrors& e, TextureClass t, const std::array<double, kAvailable>& estimate,
         const Values& truth) {
  auto& by_class = e.by_class[t];
  for (std::size_t i = 0; i < kAvailable; ++i) {
    if (!truth[i]) continue;
    e.all[i].add(estimate[i] - *truth[i]);
    by_class[i].add(estimate[i] - *truth[i]);
  }
  if (truth[0] && truth[kAvailable - 1]) {
    const double available = 10.0 * (estimate[0] - estimate[kAvailable - 1]);
    const double measured = 10.0 * (*truth[0] - *truth[kAvailable - 1]);
    e.all[kAvailable].add(available - measured);
    by_class[kAvailable].add(available - measured);
  }
}

// Each class's mean measured water content at each suction over the training samples (the
// mean of all of them for a class without any).
class ClassMeans {
 public:
  void learn(TextureClass t, const Values& truth) {
    for (std::size_t i = 0; i < kAvailable; ++i) {
      if (!truth[i]) continue;
      all_[i].add(*truth[i]);
      by_class_[t][i].add(*truth[i]);
    }
  }
  std::array<double, kAvailable> operator()(TextureClass t) const {
    std::array<double, kAvailable> mean{};
    const auto found = by_class_.find(t);
    for (std::size_t i = 0; i < kAvailable; ++i) {
      const bool known = found != by_class_.end() && found->second[i].count > 0;
      mean[i] = known ? found->second[i].bias() : all_[i].bias();
    }
    return mean;
  }

 private:
  std::array<Errors, kAvailable> all_;
  std::map<TextureClass, std::array<Errors, kAvailable>> by_class_;
};

}  // namespace

double Errors::bias() const {
  return count == 0 ? 0.0 : sum / count;
}

double Errors::standard_error() const {
  if (count < 2) return 0.0;
  const double variance = (squares - sum * sum / count) / (count - 1);
  return std::sqrt(std::max(variance, 0.0) / count);
}

double Errors::rmse() const {
  return count == 0 ? 0.0 : std::sqrt(squares / count);
}

std::optional<double> measured_at(const std::vector<RetentionPoint>& points, double suction) {
  std::map<double, Errors> by_suction;  // the mean of the points at each suction
  for (const RetentionPoint& p : points) {
    if (p.suction > 0) by_suction[p.suction].add(p.theta);
  }
  if (by_suction.size() < 2) return std::nullopt;
  const auto line = [&](auto low, auto high) {
    const double x = std::log(suction), x0 = std::log(low->first), x1 = std::log(high->first);
    return low->second.bias() + (high->second.bias() - low->second.bias()) * (x - x0) / (x1 - x0);
  };
  const auto above = by_suction.lower_bound(suction);
  if (above != by_suction.end() && above->first == suction) return above->second.bias();
  if (above == by_suction.begin()) return std::nullopt;
  if (above == by_suction.end()) {
    const auto last = std::prev(by_suction.end());
    if (suction != 1500.0 || last->first < kDriestTaken) return std::nullopt;
    return line(std::prev(last), last);
  }
  return line(std::prev(above), above);
}

std::map<std::string, int> site_folds(std::vector<std::string> sites, int folds,
                                      std::uint64_t seed) {
  std::sort(sites.begin(), sites.end());
  sites.erase(std::unique(sites.begin(), sites.end()), sites.end());
  std::mt19937_64 engine(seed);  // its raw output: the same on every library
  for (std::size_t i = sites.size(); i > 1; --i)
    std::swap(sites[i - 1], sites[engine() % i]);
  std::map<std::string, int> fold;
  for (std::size_t i = 0; i < sites.size(); ++i)
    fold[sites[i]] = static_cast<int>(i % static_cast<std::size_t>(folds));
  return fold;
}

namespace {

// What the estimates of one fold rest on: the sets built without its sites.
struct FoldSets {
  std::unique_ptr<RetentionCurves> bundled, measured;
  const RetentionCurves* synthetic = nullptr;
  ClassMeans means;
  bool uncovered = false;
};

FoldSets fold_sets(int f, const std::map<std::string, int>& fold,
                   const std::vector<MeasuredSample>& read,
                   const std::vector<MeasuredSample>& fitted,
                   const std::vector<reference_data::SyntheticProfile>& synthetic,
                   const std::vector<reference_data::Centroid>& centroids,
                   const std::filesystem::path& work) {
  FoldSets sets;
  std::vector<MeasuredSample> training;
  for (const MeasuredSample& s : fitted) {
    if (fold.at(s.profile) != f) training.push_back(s);
  }
  for (const MeasuredSample& s : read) {
    if (fold.at(s.profile) != f) {
      sets.means.learn(reference_data::class_of(s.sand, s.clay), truth_of(s));
    }
  }
  const auto measured = measured_profiles(training, "training folds", "", kMaxProfiles);
  std::vector<ReferenceProfile> measured_set;
  measured_set.reserve(measured.size());
  for (const MeasuredProfile& p : measured)
    measured_set.push_back(p.reference);
  const reference_data::BundledSet bundled =
      reference_data::bundled_set(measured, synthetic, centroids);
  sets.uncovered = !bundled.uncovered.empty();
  sets.bundled = loaded(bundled.profiles, work / "bundled.csv");
  sets.measured = loaded(measured_set, work / "measured.csv");
  return sets;
}

// One held-out sample's errors in every set; false when its points give no truth.
bool score(CrossValidation& v, const FoldSets& sets, const MeasuredSample& s,
           const std::vector<MeasuredSample>& fitted) {
  const Values truth = truth_of(s);
  if (std::none_of(truth.begin(), truth.end(), [](const auto& t) { return t.has_value(); })) {
    return false;
  }
  const TextureClass t = reference_data::class_of(s.sand, s.clay);
  add(v.sets[Set::bundled], t, program_estimate(*sets.bundled, s), truth);
  add(v.sets[Set::measured_only], t, program_estimate(*sets.measured, s), truth);
  add(v.sets[Set::synthetic_only], t, program_estimate(*sets.synthetic, s), truth);
  add(v.sets[Set::class_mean], t, sets.means(t), truth);
  const auto own = std::find_if(fitted.begin(), fitted.end(), [&](const MeasuredSample& other) {
    return other.profile == s.profile && other.top == s.top && other.bottom == s.bottom;
  });
  if (own != fitted.end()) {
    const RetentionCurve& c = own->curve;
    add(v.sets[Set::own_curve], t,
        {c.theta_at(10), c.theta_at(33), c.theta_at(100), c.theta_at(1500)}, truth);
  }
  return true;
}

}  // namespace

CrossValidation cross_validate(const std::vector<MeasuredSample>& read,
                               const std::vector<MeasuredSample>& fitted,
                               const std::vector<reference_data::SyntheticProfile>& synthetic,
                               const std::vector<reference_data::Centroid>& centroids,
                               const std::filesystem::path& work) {
  CrossValidation v;
  std::vector<std::string> names;
  names.reserve(read.size());
  for (const MeasuredSample& s : read)
    names.push_back(s.profile);
  const std::map<std::string, int> fold = site_folds(names, kFolds, kFoldSeed);
  std::vector<ReferenceProfile> synthetic_set;
  synthetic_set.reserve(synthetic.size());
  for (const auto& p : synthetic)
    synthetic_set.push_back(p.reference);
  const auto synthetic_curves = loaded(synthetic_set, work / "synthetic.csv");
  std::map<TextureClass, std::set<std::string>> sites;
  std::set<std::string> all_sites;
  for (int f = 0; f < kFolds; ++f) {
    FoldSets sets = fold_sets(f, fold, read, fitted, synthetic, centroids, work);
    sets.synthetic = synthetic_curves.get();
    v.uncovered_folds += sets.uncovered;
    for (const MeasuredSample& s : read) {
      if (fold.at(s.profile) != f || !score(v, sets, s, fitted)) continue;
      const TextureClass t = reference_data::class_of(s.sand, s.clay);
      ++v.samples[t];
      ++v.sample_count;
      sites[t].insert(s.profile);
      all_sites.insert(s.profile);
    }
  }
  for (const auto& [t, names_of_class] : sites)
    v.sites[t] = static_cast<int>(names_of_class.size());
  v.site_count = static_cast<int>(all_sites.size());
  return v;
}

}  // namespace vantrel::validation
