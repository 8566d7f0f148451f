#include "import/measured_profiles.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>

#include "data/csv_reader.hpp"
#include "data/fields.hpp"
#include "data/retention_curves.hpp"

namespace vantrel {

namespace {

enum Col { kProfile, kTop, kBottom, kSand, kClay, kDensity, kSuction, kTheta, kKs, kOm, kLabel };
constexpr std::array<const char*, 11> kColumnNames = {
    "profile",   "top_cm",  "bottom_cm",          "sand",   "clay", "density", "suction_kpa",
    "theta_pct", "ks_cm_d", "organic_matter_pct", "horizon"};
constexpr int kRequiredColumns = 8;

std::string trimmed(const std::string& s) {
  return std::string(trimmed_field(s));
}

// A whole field as one number; false for blanks, commas, slashes, inner blanks or text.
bool number(const std::string& text, double& value) {
  float v = 0;
  if (read_field_number(text, v) != FieldNumber::value) return false;
  value = v;
  return true;
}

std::string depth_range(const MeasuredSample& s) {
  char text[64];
  std::snprintf(text, sizeof text, "%g-%g cm", s.top, s.bottom);
  return s.profile + " " + text;
}

}  // namespace

std::vector<MeasuredSample> read_measured(std::istream& in, std::vector<MeasuredProblem>& problems,
                                          bool& header_ok) {
  std::vector<MeasuredSample> samples;
  CsvReader reader(in);
  CsvRecord record;
  header_ok = false;
  if (!reader.next(record) || !record.error.empty()) {
    problems.push_back({record.line == 0 ? 1 : record.line, "no header row"});
    return samples;
  }
  std::array<std::optional<std::size_t>, kColumnNames.size()> where{};
  for (std::size_t i = 0; i < record.fields.size(); ++i) {
    for (std::size_t c = 0; c < kColumnNames.size(); ++c) {
      if (trimmed(record.fields[i]) == kColumnNames[c]) where[c] = i;
    }
  }
  for (int c = 0; c < kRequiredColumns; ++c) {
    if (!where[static_cast<std::size_t>(c)]) {
      problems.push_back({record.line, std::string("no column \"") + kColumnNames[c] + "\""});
      return samples;
    }
  }
  header_ok = true;

  std::map<std::tuple<std::string, double, double>, std::size_t> index;
  while (reader.next(record)) {
    if (!record.error.empty()) {
      problems.push_back({record.line, record.error});
      continue;
    }
    const auto field = [&](int c) -> std::string {
      const auto& at = where[static_cast<std::size_t>(c)];
      return at && *at < record.fields.size() ? record.fields[*at] : std::string();
    };
    std::array<double, kRequiredColumns> v{};
    std::string bad;
    for (int c = kTop; c < kRequiredColumns && bad.empty(); ++c) {
      if (!number(field(c), v[static_cast<std::size_t>(c)])) {
        bad = std::string(kColumnNames[c]) + " \"" + trimmed(field(c)) + "\" is not a number";
      }
    }
    const std::string profile = trimmed(field(kProfile));
    if (bad.empty() && profile.empty()) bad = "no profile name";
    if (bad.empty() && !(v[kTop] >= 0 && v[kBottom] > v[kTop])) {
      bad = "the depth range is not from a top of 0 cm or more to a deeper bottom";
    }
    if (bad.empty() && !(v[kSand] >= 0 && v[kClay] >= 0 && v[kSand] + v[kClay] <= 100)) {
      bad = "sand and clay are not from 0 to 100 % together";
    }
    if (bad.empty() && !(v[kDensity] > 0 && v[kDensity] < 2.65)) {
      bad = "density is not between 0 and 2.65 kg/L";
    }
    if (bad.empty() && !(v[kSuction] > 0)) bad = "suction_kpa is not above 0";
    if (bad.empty() && !(v[kTheta] >= 0 && v[kTheta] <= 100))
      bad = "theta_pct is not from 0 to 100";
    if (!bad.empty()) {
      problems.push_back({record.line, bad});
      continue;
    }
    const auto key = std::tuple{profile, v[kTop], v[kBottom]};
    auto found = index.find(key);
    if (found == index.end()) {
      MeasuredSample s;
      s.profile = profile;
      s.top = v[kTop];
      s.bottom = v[kBottom];
      s.sand = v[kSand];
      s.clay = v[kClay];
      s.density = v[kDensity];
      s.line = record.line;
      s.label = trimmed(field(kLabel));
      double extra = 0;
      if (number(field(kKs), extra)) s.ks = extra;
      if (number(field(kOm), extra)) s.organic_matter = extra;
      found = index.emplace(key, samples.size()).first;
      samples.push_back(std::move(s));
    }
    MeasuredSample& s = samples[found->second];
    if (s.sand != v[kSand] || s.clay != v[kClay] || s.density != v[kDensity]) {
      problems.push_back({record.line,
                          "sand, clay or density differ from the sample's first row "
                          "(line " +
                              std::to_string(s.line) + ")"});
      continue;
    }
    // Several samples of one layer come as several points at one suction: all are fitted
    // together, and each counts as a sample.
    const auto same = static_cast<int>(
        std::count_if(s.points.begin(), s.points.end(),
                      [&](const RetentionPoint& p) { return p.suction == v[kSuction]; }));
    if (same > 0) {
      char suction[32];
      std::snprintf(suction, sizeof suction, "%g", v[kSuction]);
      problems.push_back({record.line,
                          "sample " + depth_range(s) + " has " + std::to_string(same + 1) +
                              " points at " + suction +
                              " kPa: taken as replicate samples of one layer, fitted together",
                          true});
      s.replicates = std::max(s.replicates, same + 1);
    }
    s.points.push_back({v[kSuction], v[kTheta]});
  }
  return samples;
}

void fit_samples(std::vector<MeasuredSample>& samples, std::vector<MeasuredProblem>& problems) {
  std::vector<MeasuredSample> kept;
  for (MeasuredSample& s : samples) {
    if (static_cast<int>(s.points.size()) < kMinimumPoints) {
      problems.push_back(
          {s.line, "sample " + depth_range(s) + " has " + std::to_string(s.points.size()) +
                       " points; a curve needs at least " + std::to_string(kMinimumPoints)});
      continue;
    }
    double wettest = 0;
    for (const RetentionPoint& p : s.points)
      wettest = std::max(wettest, p.theta);
    RetentionBounds bounds;
    bounds.theta_s_min = wettest;
    bounds.theta_s_max = std::max(wettest, std::min(100.0, 100.0 * (1.0 - s.density / 2.65) + 3.0));
    s.curve = fit_retention_curve(s.points, bounds);
    const double misfit = largest_misfit(s.curve, s.points);
    if (!(misfit <= kLargestMisfit)) {
      char text[48];
      std::snprintf(text, sizeof text, "%.1f", misfit);
      problems.push_back({s.line, "sample " + depth_range(s) +
                                      ": the fitted curve misses a point by " + text +
                                      " %vol (more than 5)"});
      continue;
    }
    const RetentionCurve& c = s.curve;
    if (const auto why = implausible_layer(s.density, c.theta_s, c.theta_r, c.alpha, c.n, c.m())) {
      problems.push_back({s.line, "sample " + depth_range(s) +
                                      ": the fitted curve is unlike any real soil (" + *why +
                                      "), so the sample is left out"});
      continue;
    }
    kept.push_back(std::move(s));
  }
  samples = std::move(kept);
}

std::vector<std::size_t> layer_samples(const std::vector<const MeasuredSample*>& samples) {
  std::vector<std::size_t> chosen;
  for (int j = 1; j <= kLayers; ++j) {
    const double middle = double{kLayerThickness} * j - double{kLayerThickness} / 2;
    std::optional<std::size_t> covering;
    std::size_t nearest = 0;
    double nearest_distance = 1e300;
    for (std::size_t i = 0; i < samples.size(); ++i) {
      const MeasuredSample& s = *samples[i];
      if (s.top <= middle && middle < s.bottom && !covering) covering = i;
      const double distance = middle < s.top ? s.top - middle : middle - s.bottom;
      const bool upper_tie = distance == nearest_distance && s.top < samples[nearest]->top;
      if (distance < nearest_distance || upper_tie) {
        nearest = i;
        nearest_distance = distance;
      }
    }
    chosen.push_back(covering.value_or(nearest));
  }
  return chosen;
}

int write_reference_profiles(const std::vector<MeasuredSample>& samples, const std::string& source,
                             const std::string& version, int max_profiles, std::ostream& out,
                             std::size_t* written_samples) {
  std::vector<std::string> order;
  std::map<std::string, std::vector<const MeasuredSample*>> by_profile;
  for (const MeasuredSample& s : samples) {
    auto& list = by_profile[s.profile];
    if (list.empty()) order.push_back(s.profile);
    list.push_back(&s);
  }
  const int count = std::min(static_cast<int>(order.size()), max_profiles);
  if (written_samples != nullptr) {
    *written_samples = 0;
    for (int k = 0; k < count; ++k) {
      for (const MeasuredSample* s : by_profile[order[static_cast<std::size_t>(k)]])
        *written_samples += static_cast<std::size_t>(s->replicates);
    }
  }
  for (int k = 0; k < count; ++k) {
    const auto& list = by_profile[order[static_cast<std::size_t>(k)]];
    out << reference_text_line("Reference profile " + std::to_string(k + 1) + " of " +
                               std::to_string(count) + ": " + order[static_cast<std::size_t>(k)] +
                               ", " + std::to_string(list.size()) + " measured sample(s) from " +
                               source);
    out << reference_text_line("Source: " + source +
                               "; van Genuchten curves (m = 1 - 1/n) fitted by vantrel-reference " +
                               version);
    out << reference_columns_line();
    const std::vector<std::size_t> layers = layer_samples(list);
    for (int j = 1; j <= kLayers; ++j) {
      const MeasuredSample& s = *list[layers[static_cast<std::size_t>(j - 1)]];
      const RetentionCurve& c = s.curve;
      out << reference_layer_line({s.density, s.label.empty() ? "M" : s.label, c.theta_s, c.theta_r,
                                   c.alpha, c.n, c.m(), s.ks, s.organic_matter,
                                   100.0 - s.sand - s.clay, static_cast<int>(kLayerThickness) * j,
                                   s.clay, s.sand});
    }
  }
  return count;
}

}  // namespace vantrel
