#include "import/measured_profiles.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <span>
#include <tuple>

#include "data/csv_reader.hpp"
#include "data/fields.hpp"
#include "data/retention_curves.hpp"
#include "data/table_header.hpp"

namespace vantrel {

namespace {

// "TOP-BOTTOM cm".
std::string depths_of(const MeasuredSample& s) {
  char text[64];
  std::snprintf(text, sizeof text, "%g-%g cm", s.top, s.bottom);
  return text;
}

}  // namespace

std::string depth_range(const MeasuredSample& s) {
  return s.profile + " " + depths_of(s);
}

namespace {

enum Col {
  kProfile,
  kTop,
  kBottom,
  kSand,
  kClay,
  kDensity,
  kSuction,
  kTheta,
  kKs,
  kOm,
  kLabel,
  kSample,
  kSource
};
constexpr CellKind kText = CellKind::text, kNumber = CellKind::number;
constexpr std::array<ColumnSpec, 13> kColumns = {{
    {"profile", true, kText},
    {"top_cm", true, kNumber},
    {"bottom_cm", true, kNumber},
    {"sand", true, kNumber},
    {"clay", true, kNumber},
    {"density", true, kNumber},
    {"suction_kpa", true, kNumber},
    {"theta_pct", true, kNumber},
    {"ks_cm_d", false, kNumber},
    {"organic_matter_pct", false, kNumber},
    {"horizon", false, kText},
    {"sample", false, kText},
    {"source", false, kText},
}};
constexpr int kRequiredColumns = 8;

std::string trimmed(const std::string& s) {
  return std::string(trimmed_field(s));
}

// A whole field as one number; false for blanks, commas, slashes, inner blanks or text.
bool number(const std::string& text, double& value) {
  float v = 0;
  if (read_table_number(text, v) != TableNumber::value) return false;
  value = v;
  return true;
}

// One row's required numbers and profile name, or the reason the row is bad.
struct MeasuredRow {
  std::string profile;
  std::array<double, kRequiredColumns> v{};
};
std::string read_row(const std::function<std::string(int)>& field, MeasuredRow& row) {
  auto& v = row.v;
  for (int c = kTop; c < kRequiredColumns; ++c) {
    if (!number(field(c), v[static_cast<std::size_t>(c)])) {
      return std::string(kColumns[static_cast<std::size_t>(c)].name) + " \"" + trimmed(field(c)) +
             "\" is not a number";
    }
  }
  row.profile = trimmed(field(kProfile));
  if (row.profile.empty()) return "no profile name";
  if (!(v[kTop] >= 0 && v[kBottom] > v[kTop])) {
    return "the depth range is not from a top of 0 cm or more to a deeper bottom";
  }
  if (!(v[kSand] >= 0 && v[kClay] >= 0 && v[kSand] + v[kClay] <= 100)) {
    return "sand and clay are not from 0 to 100 % together";
  }
  if (!(v[kDensity] > 0 && v[kDensity] < 2.65)) return "density is not between 0 and 2.65 kg/L";
  if (!(v[kSuction] > 0)) return "suction_kpa is not above 0";
  if (!(v[kTheta] >= 0 && v[kTheta] <= 100)) return "theta_pct is not from 0 to 100";
  return {};
}

void add_distinct(std::vector<std::string>& list, std::string text) {
  if (!text.empty() && std::find(list.begin(), list.end(), text) == list.end()) {
    list.push_back(std::move(text));
  }
}

// A new sample from its first row.
MeasuredSample first_row(const MeasuredRow& row, int line,
                         const std::function<std::string(int)>& field) {
  MeasuredSample s;
  s.profile = row.profile;
  s.top = row.v[kTop];
  s.bottom = row.v[kBottom];
  s.sand = row.v[kSand];
  s.clay = row.v[kClay];
  s.density = row.v[kDensity];
  s.line = line;
  s.label = trimmed(field(kLabel));
  double extra = 0;
  if (number(field(kKs), extra)) s.ks = extra;
  if (number(field(kOm), extra)) s.organic_matter = extra;
  return s;
}

// Adds the row's point to its sample. Several samples of one layer come as several points at
// one suction: all are fitted together, and each counts as a sample.
void add_point(MeasuredSample& s, const MeasuredRow& row, int line,
               std::vector<MeasuredProblem>& problems) {
  const double suction = row.v[kSuction];
  const auto same = static_cast<int>(
      std::count_if(s.points.begin(), s.points.end(),
                    [&](const RetentionPoint& p) { return p.suction == suction; }));
  if (same > 0) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", suction);
    problems.push_back({line,
                        "sample " + depth_range(s) + " has " + std::to_string(same + 1) +
                            " points at " + text +
                            " kPa: taken as replicate samples of one layer, fitted together",
                        true});
    s.replicates = std::max(s.replicates, same + 1);
  }
  s.points.push_back({suction, row.v[kTheta]});
}

// Rows of one layer with another sand, clay or density are another sample of that layer: every
// point joins the layer's fit, and the layer takes the samples' mean texture and density.
void take_replicates(MeasuredSample& s, std::vector<MeasuredProblem>& problems) {
  const auto n = static_cast<double>(s.replicate_values.size());
  if (s.replicate_values.size() < 2) return;
  std::array<double, 3> mean{};
  for (const auto& v : s.replicate_values) {
    for (std::size_t i = 0; i < mean.size(); ++i)
      mean[i] += v[i] / n;
  }
  s.sand = mean[0];
  s.clay = mean[1];
  s.density = mean[2];
  s.replicates = std::max(s.replicates, static_cast<int>(s.replicate_values.size()));
  char text[160];
  std::snprintf(text, sizeof text,
                ": rows of %zu samples with different sand, clay or density, fitted together as "
                "replicates of one layer, with their means (%.1f %% sand, %.1f %% clay, %.2f kg/L)",
                s.replicate_values.size(), mean[0], mean[1], mean[2]);
  problems.push_back({s.line, "sample " + depth_range(s) + text, true});
}

}  // namespace

std::vector<MeasuredSample> read_measured(std::istream& in, std::vector<MeasuredProblem>& problems,
                                          bool& header_ok) {
  std::vector<MeasuredSample> samples;
  CsvReader reader(in, CsvReader::kMaxLine, kFindSeparator);
  CsvRecord record;
  header_ok = false;
  if (!reader.next(record) || !record.error.empty()) {
    problems.push_back({record.line == 0 ? 1 : record.line, "no header row"});
    return samples;
  }
  TableHeader header(kColumns);
  if (const auto missing = header.read(record.fields)) {
    problems.push_back({record.line, *missing});
    return samples;
  }
  header.decimal_comma = reader.separator() == ';';
  for (const std::string& name : header.unknown())
    problems.push_back({record.line, "column \"" + name + "\" is not used", true});
  header_ok = true;

  std::map<std::tuple<std::string, double, double>, std::size_t> index;
  while (reader.next(record)) {
    // A number column's text with its decimal comma as the point in a semicolon file.
    const auto field = [&](int c) -> std::string {
      const auto column = static_cast<std::size_t>(c);
      return kColumns[column].kind == kNumber ? header.number_text(record.fields, column)
                                              : std::string(header.text(record.fields, column));
    };
    MeasuredRow row;
    const std::string bad = record.error.empty() ? read_row(field, row) : record.error;
    if (!bad.empty()) {
      problems.push_back({record.line, bad});
      continue;
    }
    const auto key = std::tuple{row.profile, row.v[kTop], row.v[kBottom]};
    auto found = index.find(key);
    if (found == index.end()) {
      found = index.emplace(key, samples.size()).first;
      samples.push_back(first_row(row, record.line, field));
    }
    MeasuredSample& s = samples[found->second];
    add_distinct(s.sample_ids, trimmed(field(kSample)));
    add_distinct(s.sources, trimmed(field(kSource)));
    const std::array<double, 3> values = {row.v[kSand], row.v[kClay], row.v[kDensity]};
    if (s.replicate_values.empty()) s.replicate_values.push_back(values);
    if (std::find(s.replicate_values.begin(), s.replicate_values.end(), values) ==
        s.replicate_values.end()) {
      s.replicate_values.push_back(values);
    }
    add_point(s, row, record.line, problems);
  }
  for (MeasuredSample& s : samples)
    take_replicates(s, problems);
  return samples;
}

namespace {

// "PARTIAL, no point at 500 kPa or drier: 60-80 cm, 80-100 cm", one group per gap.
std::string partial_marks(const std::vector<const MeasuredSample*>& samples) {
  std::vector<std::pair<std::string, std::string>> groups;  // what is missing, the depths
  for (const MeasuredSample* s : samples) {
    if (s->partial.empty()) continue;
    const std::string depths = depths_of(*s);
    auto group = std::find_if(groups.begin(), groups.end(),
                              [&](const auto& g) { return g.first == s->partial; });
    if (group == groups.end()) {
      groups.emplace_back(s->partial, depths);
    } else {
      group->second += ", " + depths;
    }
  }
  std::string marks;
  for (const auto& [missing, depths] : groups) {
    if (!marks.empty()) marks += "; ";
    marks += "PARTIAL, ";
    marks += missing;
    marks += ": ";
    marks += depths;
  }
  return marks;
}

}  // namespace

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

namespace {

// "[PARTIAL ...; ]Samples A, B; Source: S (FILE); van Genuchten curves ... fitted by ...": the
// partial marks lead, so that the line's length limit cuts the source before any of them.
std::string source_line(const std::vector<const MeasuredSample*>& list, const std::string& file,
                        const std::string& version) {
  std::vector<std::string> ids, sources;
  for (const MeasuredSample* s : list) {
    for (const std::string& id : s->sample_ids)
      add_distinct(ids, id);
    for (const std::string& source : s->sources)
      add_distinct(sources, source);
  }
  const auto joined = [](const std::vector<std::string>& parts, const char* between) {
    std::string text;
    for (const std::string& part : parts)
      text += (text.empty() ? "" : between) + part;
    return text;
  };
  std::string line = partial_marks(list);
  if (!ids.empty()) line += (line.empty() ? "Samples " : "; Samples ") + joined(ids, ", ");
  line += (line.empty() ? "" : "; ") + std::string("Source: ");
  line += sources.empty() ? file : joined(sources, "; ") + " (" + file + ")";
  return line + "; van Genuchten curves (m = 1 - 1/n) fitted by vantrel-reference " + version;
}

}  // namespace

std::vector<MeasuredProfile> measured_profiles(const std::vector<MeasuredSample>& samples,
                                               const std::string& source,
                                               const std::string& version, int max_profiles) {
  std::vector<std::string> order;
  std::map<std::string, std::vector<const MeasuredSample*>> by_profile;
  for (const MeasuredSample& s : samples) {
    auto& list = by_profile[s.profile];
    if (list.empty()) order.push_back(s.profile);
    list.push_back(&s);
  }
  const int count = std::min(static_cast<int>(order.size()), max_profiles);
  std::vector<MeasuredProfile> profiles;
  for (int k = 0; k < count; ++k) {
    const std::string& name = order[static_cast<std::size_t>(k)];
    const auto& list = by_profile[name];
    MeasuredProfile p;
    p.site = name;
    for (const MeasuredSample* s : list) {
      p.samples += static_cast<std::size_t>(s->replicates);
      p.textures.push_back({s->sand, s->clay});
    }
    std::string& title = p.reference.title;
    title = "Reference profile " + std::to_string(k + 1);
    title += " of " + std::to_string(count) + ": ";
    title += name;
    title += ", " + std::to_string(list.size()) + " measured sample(s) from ";
    title += source;
    p.reference.source = source_line(list, source, version);
    const std::vector<std::size_t> layers = layer_samples(list);
    for (int j = 1; j <= kLayers; ++j) {
      const MeasuredSample& s = *list[layers[static_cast<std::size_t>(j - 1)]];
      const RetentionCurve& c = s.curve;
      p.reference.layers.push_back({s.density, s.label.empty() ? "M" : s.label, c.theta_s,
                                    c.theta_r, c.alpha, c.n, c.m(), s.ks, s.organic_matter,
                                    100.0 - s.sand - s.clay, static_cast<int>(kLayerThickness) * j,
                                    s.clay, s.sand});
    }
    profiles.push_back(std::move(p));
  }
  return profiles;
}

int write_reference_profiles(const std::vector<MeasuredSample>& samples, const std::string& source,
                             const std::string& version, int max_profiles, std::ostream& out,
                             std::size_t* written_samples) {
  const std::vector<MeasuredProfile> profiles =
      measured_profiles(samples, source, version, max_profiles);
  if (written_samples != nullptr) *written_samples = 0;
  for (const MeasuredProfile& p : profiles) {
    if (written_samples != nullptr) *written_samples += p.samples;
    out << reference_profile_text(p.reference);
  }
  return static_cast<int>(profiles.size());
}

}  // namespace vantrel
