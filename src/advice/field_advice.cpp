#include "advice/field_advice.hpp"

#include <algorithm>
#include <cmath>

#include "data/fields.hpp"
#include "data/number_text.hpp"
#include "data/table_header.hpp"
#include "data/text.hpp"
#include "profile/input_checks.hpp"

namespace vantrel {

namespace {

constexpr float kTableDepth = kLayers * kLayerThickness;  // cm the reference profiles cover

std::string_view cell(const ColumnMap& columns, const BatchRow& row, Column c) {
  const auto& index = columns.index[static_cast<std::size_t>(c)];
  if (!index || *index >= row.fields.size()) return {};
  return trimmed_field(row.fields[*index]);
}

bool missing(const ColumnMap& columns, const BatchRow& row, Column c) {
  const auto& index = columns.index[static_cast<std::size_t>(c)];
  return index && *index >= row.fields.size();
}

// Why a cell is not a number; a decimal comma in a file that commas separate gets the reading
// with a point.
std::string not_a_number(const ColumnMap& columns, std::string_view name, std::string_view text) {
  std::string reason = std::string(name) + " " + in_quotes(text) + " is not a number";
  const InputValue read = read_input(text, 0);
  if (!columns.decimal_comma && read.kind == InputRead::decimal_comma) {
    reason += ": decimals need a point, as in " + read.with_point;
  }
  return reason;
}

// The values of one row, or the reason it is bad.
struct RowValues {
  int horizon = 0;
  float thickness = 0, sand = 0, clay = 0, stones = 0;
  std::optional<float> density;
};

// A number of the row that must be there (or, with `optional`, may be blank).
bool number(const ColumnMap& columns, const BatchRow& row, Column c, std::optional<float>& value,
            std::string& reason, bool optional = false) {
  const std::string_view text = cell(columns, row, c);
  float v = 0;
  const std::string name(column_name(c));
  switch (read_table_number(number_text(text, columns.decimal_comma), v)) {
    case TableNumber::blank:
      if (optional) return true;
      reason = missing(columns, row, c) ? "the row ends before its " + name + " column"
                                        : "no " + name + " given";
      return false;
    case TableNumber::invalid:
      reason = not_a_number(columns, name, text);
      return false;
    case TableNumber::value:
      value = v;
      return true;
  }
  return false;
}

bool within(float v, float low, float high) {
  return v >= low && v <= high;
}

bool read_row(const ColumnMap& columns, const BatchRow& row, RowValues& out, std::string& reason) {
  std::optional<float> horizon, thickness, sand, clay, stones, density;
  if (!number(columns, row, Column::horizon, horizon, reason) ||
      !number(columns, row, Column::thickness, thickness, reason) ||
      !number(columns, row, Column::sand, sand, reason) ||
      !number(columns, row, Column::clay, clay, reason) ||
      !number(columns, row, Column::stones, stones, reason, true) ||
      !number(columns, row, Column::density, density, reason, true)) {
    return false;
  }
  if (!within(*horizon, 1, kHorizons) || std::trunc(*horizon) != *horizon) {
    reason = "horizon " + in_quotes(cell(columns, row, Column::horizon)) +
             " is not a whole number from 1 to 5";
    return false;
  }
  // The window's checks, so that both accept exactly the same horizons.
  const float stone_share = stones.value_or(0.0F);
  if (const auto fault = check_horizon({thickness, sand, clay, stone_share, density})) {
    static constexpr std::array<Column, 7> kColumnOf = {
        Column::thickness, Column::sand,       Column::clay,     Column::stones,
        Column::density,   Column::root_depth, Column::tolerance};
    const Column c = kColumnOf[static_cast<std::size_t>(fault->field)];
    reason = describe_fault(*fault, cell(columns, row, c), cell(columns, row, Column::clay));
    return false;
  }
  out = {static_cast<int>(*horizon), *thickness, *sand, *clay, stone_share, density};
  return true;
}

// A value of the whole profile that any of its rows may give; all that give it must agree.
struct Agreed {
  std::string text;  // as first given, trimmed
  std::optional<float> value;
  int line = 0;

  // False with the reason when the row gives another value than an earlier row.
  bool take(const ColumnMap& columns, const BatchRow& row, Column c, bool numeric,
            std::string& reason) {
    const std::string_view given = cell(columns, row, c);
    if (given.empty()) return true;
    std::optional<float> v;
    if (numeric) {
      float parsed = 0;
      if (read_table_number(number_text(given, columns.decimal_comma), parsed) !=
          TableNumber::value) {
        reason = not_a_number(columns, column_name(c), given);
        return false;
      }
      v = parsed;
    }
    if (line == 0) {
      text = std::string(given);
      value = v;
      line = row.line;
      return true;
    }
    const bool same = numeric ? v == value : given == text;
    if (!same) {
      reason = std::string(column_name(c)) + " " + in_quotes(given) + " disagrees with " +
               in_quotes(text) + " given on line " + std::to_string(line);
    }
    return same;
  }
};

std::string entries_warning(int horizon, int entries) {
  return "horizon " + std::to_string(horizon) + " rests on " +
         (entries == 0 ? std::string("no reference entry")
                       : std::to_string(entries) +
                             (entries == 1 ? " reference entry" : " reference entries"));
}

void fail(ProfileResult& r, int line, const std::string& reason) {
  r.status = ProfileStatus::error;
  r.errors.push_back({line, reason});
  if (!r.message.empty()) r.message += "; ";
  r.message += "line " + std::to_string(line) + ": " + reason;
}

void warn(ProfileResult& r, const std::string& reason) {
  if (r.status == ProfileStatus::ok) r.status = ProfileStatus::warning;
  ++r.warning_count;
  if (!r.message.empty()) r.message += "; ";
  r.message += reason;
}

// The crop's root depth and tolerance as the crop list gives them to the window's fields, and
// read as "Calculate" reads those fields.
bool crop_values(const AdviceTables& tables, ProfileResult& r, int line) {
  const auto found = tables.crop_rows.find(r.crop);
  if (found == tables.crop_rows.end()) {
    fail(r, line, "unknown crop " + in_quotes(r.crop) + " (not in " + kCropFileName + ")");
    return false;
  }
  const CropRow& row = tables.crops.row(found->second);
  const NumberText root(row.root_depth.trimmed());
  const NumberText tolerance(row.drought_tolerance.trimmed());
  const auto root_value = read_input(root, 0).number();
  const auto tolerance_value = read_input(tolerance, 0).number();
  if (const auto fault = check_crop(root_value, tolerance_value)) {
    const NumberText& text = fault->field == InputField::root_depth ? root : tolerance;
    fail(r, line,
         "crop " + in_quotes(r.crop) + " in " + kCropFileName + ": " +
             describe_fault(*fault, text.trimmed()));
    return false;
  }
  r.root_depth = *root_value;
  r.tolerance = *tolerance_value;
  return true;
}

}  // namespace

float silt_as_shown(float sand, float clay) {
  const float rest = (100.0F - clay) - sand;
  if (std::fabs(rest) < 999.0F) {
    // What the text reads back as, without the text: the tenths the field shows (rounded
    // half away from zero from the exact value, which times 10 is exact in double), read as
    // the nearest float. A tenth never lies close enough to a float tie to round twice.
    const double tenths = std::floor(std::fabs(double{rest}) * 10.0 + 0.5);
    const auto silt = static_cast<float>(tenths / 10.0);
    return rest < 0.0F && tenths > 0.0 ? -silt : silt;
  }
  NumberText text;
  write_fixed(rest, 6, 1, text);
  float silt = 0;
  STRING_TO_REAL(text, silt);
  return silt;
}

AdviceTables::AdviceTables(const RetentionCurves& c, const CropTable& t,
                           const std::vector<RetentionDefect>& defects)
    : curves(c), crops(t) {
  for (int i = 1; i <= crops.row_count; ++i)
    crop_rows[crops.row(i).name.trimmed()] = i;
  for (const RetentionDefect& d : defects) {
    if (d.profile > 0)
      damaged.emplace(d.profile, d.reason + " (" + kRetentionFileName + " line " +
                                     std::to_string(d.line) + ")");
    if (d.file_ends && cut_short.empty()) {
      cut_short = std::string(kRetentionFileName) + " ends early, at line " +
                  std::to_string(d.line) +
                  ": the estimates rest on a reference set without the profiles it cut off";
    }
  }
}

std::string_view status_name(ProfileStatus s) {
  switch (s) {
    case ProfileStatus::ok:
      return "ok";
    case ProfileStatus::warning:
      return "warning";
    case ProfileStatus::error:
      return "error";
  }
  return "error";
}

namespace {

// The rows of a profile read and checked, with the per-profile values they give.
struct ProfileRows {
  std::vector<RowValues> rows;
  Agreed crop, root_depth, tolerance, etc, efficiency;
  std::vector<std::string> notes;  // each different note once, in the order given
};

ProfileRows read_rows(const ColumnMap& columns, const ProfileInput& input, ProfileResult& r) {
  ProfileRows p;
  for (const BatchRow& row : input.rows) {
    std::string reason;
    RowValues values;
    if (!read_row(columns, row, values, reason) ||
        !p.crop.take(columns, row, Column::crop, false, reason) ||
        !p.root_depth.take(columns, row, Column::root_depth, true, reason) ||
        !p.tolerance.take(columns, row, Column::tolerance, true, reason) ||
        !p.etc.take(columns, row, Column::etc, true, reason) ||
        !p.efficiency.take(columns, row, Column::efficiency, true, reason)) {
      fail(r, row.line, reason);
      continue;
    }
    const std::string note(cell(columns, row, Column::notes));
    if (!note.empty() && std::find(p.notes.begin(), p.notes.end(), note) == p.notes.end())
      p.notes.push_back(note);
    p.rows.push_back(values);
  }
  if (input.dropped_rows > 0) {
    fail(r, input.first_line,
         "profile " + in_quotes(r.name) + " has more than " + std::to_string(kMaxRowsPerProfile) +
             " rows; " + std::to_string(input.dropped_rows) + " more were not read");
  }
  return p;
}

// The crop, or the root depth and tolerance given directly.
void take_crop_or_root(const AdviceTables& tables, const ProfileRows& p, int first_line,
                       ProfileResult& r) {
  const bool direct = p.root_depth.line != 0 || p.tolerance.line != 0;
  if (p.crop.line != 0 && direct) {
    fail(r, std::max(p.root_depth.line, p.tolerance.line),
         "give either a crop or root_depth and tolerance, not both");
  } else if (p.crop.line != 0) {
    r.crop = p.crop.text;
    crop_values(tables, r, p.crop.line);
  } else if (p.root_depth.line != 0 && p.tolerance.line != 0) {
    if (const auto fault = check_crop(p.root_depth.value, p.tolerance.value)) {
      const Agreed& given = fault->field == InputField::root_depth ? p.root_depth : p.tolerance;
      fail(r, given.line, describe_fault(*fault, given.text));
    } else {
      r.root_depth = *p.root_depth.value;
      r.tolerance = *p.tolerance.value;
    }
  } else {
    fail(r, direct ? std::max(p.root_depth.line, p.tolerance.line) : first_line,
         direct ? "root_depth and tolerance must both be given"
                : "profile " + in_quotes(r.name) + " has no crop and no root_depth and tolerance");
  }
}

// The crop and its water use, the system's efficiency and the notes.
void take_crop(const AdviceTables& tables, const ProfileRows& p, int first_line, ProfileResult& r) {
  take_crop_or_root(tables, p, first_line, r);
  if (p.etc.line != 0 && !(*p.etc.value > 0)) {
    fail(r, p.etc.line, "etc " + in_quotes(p.etc.text) + " is not above 0 mm/day");
  }
  r.etc = p.etc.value;
  if (p.efficiency.line != 0) {
    if (*p.efficiency.value > 0 && *p.efficiency.value <= 100) {
      r.efficiency = *p.efficiency.value;
    } else {
      fail(r, p.efficiency.line,
           "efficiency " + in_quotes(p.efficiency.text) + " is not above 0 and at most 100 %");
    }
  }
  for (const std::string& note : p.notes)
    r.notes += (r.notes.empty() ? "" : "; ") + note;
}

// Replays the updates as the window commits them; the horizons as their last update left them.
std::array<HorizonResult, kHorizons> replay(const AdviceTables& tables,
                                            const std::vector<RowValues>& rows,
                                            ProfileLayers& layers) {
  NullSink no_trace;  // a density match traces lines; a batch keeps none
  HorizonInputs in;
  std::array<HorizonResult, kHorizons> kept{};
  for (const RowValues& row : rows) {
    in.horizon = row.horizon;
    in.thickness = row.thickness;
    in.sand = row.sand;
    in.clay = row.clay;
    in.silt = silt_as_shown(row.sand, row.clay);
    in.stones = row.stones;
    in.density = row.density.value_or(0.0F);
    in.density_set = row.density.has_value();
    HorizonResult& h = kept[static_cast<std::size_t>(row.horizon - 1)];
    // The entries tell how far the reference soils lie from the horizon, whether one comes
    // from a short profile, and the report draws them.
    h.used.clear();
    const HorizonCommit commit = commit_horizon(tables.curves, no_trace, in, layers, &h.used);
    h.horizon = row.horizon;
    h.sand = row.sand;
    h.clay = row.clay;
    h.texture = std::string(in.texture_name.trimmed());
    h.stones = row.stones;
    h.entries = commit.entries;
  }
  return kept;
}

// How far, on average, the reference entries lie from the horizon's sand and clay (points).
std::pair<double, double> distance_of_entries(const RetentionCurves& curves,
                                              const HorizonResult& h) {
  double sand = 0, clay = 0;
  for (const ReferenceEntry& e : h.used) {
    sand += std::abs(double{curves.sand(e.k, e.j)} - h.sand);
    clay += std::abs(double{curves.clay(e.k, e.j)} - h.clay);
  }
  const auto n = static_cast<double>(std::max<std::size_t>(h.used.size(), 1));
  return {sand / n, clay / n};
}

// A horizon's values from the profile, with the warnings its estimate calls for. At another
// field-capacity suction than the window's, FC is the entries' mean curve at that suction.
void add_horizon(const AdviceTables& tables, const ProfileOptions& options, ProfileLayers& layers,
                 HorizonResult& h, ProfileResult& r) {
  const int i = h.horizon;
  if (options.fc_suction != kWindowFcSuction && h.entries > 0) {
    layers.fc(i) = static_cast<float>(
        mean_water_content(tables.curves, h.used, h.stones, double{options.fc_suction}));
  }
  h.top = layers.top(i);
  h.bottom = layers.bottom(i);
  h.density = layers.density(i);
  h.theta_s = layers.theta_s(i);
  h.fc = layers.fc(i);
  h.sp = layers.sp(i);
  h.wp = layers.wp(i);
  if (h.entries < kEnoughEntries) warn(r, entries_warning(i, h.entries));
  if (h.entries > 0) {
    const auto [sand, clay] = distance_of_entries(tables.curves, h);
    std::string far;
    for (const auto& [what, distance] : {std::pair{"sand", sand}, std::pair{"clay", clay}}) {
      if (distance <= kFarEntries) continue;
      far += std::string(far.empty() ? "" : " and ") + "their " + what + " lies " +
             shortest_form(static_cast<float>(std::round(distance * 10.0) / 10.0)) + " points";
    }
    if (!far.empty()) {
      warn(r, "horizon " + std::to_string(i) + " rests on reference soils unlike it: " + far +
                  " from the horizon's on average (the reference set holds no soils like it)");
    }
  }
  std::vector<int> named;  // each short reference profile once per horizon
  for (const ReferenceEntry& e : h.used) {
    const auto short_profile = tables.damaged.find(e.k);
    if (short_profile == tables.damaged.end() ||
        std::find(named.begin(), named.end(), e.k) != named.end()) {
      continue;
    }
    named.push_back(e.k);
    warn(r, "horizon " + std::to_string(i) +
                " rests on a short reference profile: " + short_profile->second);
  }
  if (!options.keep_entries) h.used.clear();
  if (h.bottom > kTableDepth) {
    warn(r, "horizon " + std::to_string(i) + " reaches " + shortest_form(h.bottom) +
                " cm, below the " + shortest_form(kTableDepth) + " cm of the reference profiles");
  }
  r.horizons.push_back(std::move(h));
}

// Two horizons over the same depths are both summed, as the window sums them: say where.
void warn_overlaps(ProfileResult& r) {
  for (std::size_t a = 0; a < r.horizons.size(); ++a) {
    for (std::size_t b = a + 1; b < r.horizons.size(); ++b) {
      const HorizonResult& upper = r.horizons[a];
      const HorizonResult& lower = r.horizons[b];
      const float top = std::max(upper.top, lower.top);
      const float bottom = std::min(upper.bottom, lower.bottom);
      if (!(bottom > top)) continue;
      warn(r, "horizons " + std::to_string(upper.horizon) + " and " +
                  std::to_string(lower.horizon) + " both cover " + shortest_form(top) + " to " +
                  shortest_form(bottom) +
                  " cm, and both are summed (update the lower one again "
                  "after a change above it)");
    }
  }
}

// The profile's water: the window's figures with the crop's tolerance, and the depth to apply
// with the depletion fraction used. Values beyond single precision (a huge thickness, a tiny
// etc) give no result to write.
void add_results(const ProfileLayers& layers, int first_line, ProfileResult& r) {
  r.water = profile_water(layers, r.root_depth, r.tolerance);
  r.layers = layers;
  r.p_table = r.tolerance;
  r.p = r.etc ? adjusted_depletion(r.tolerance, *r.etc) : r.tolerance;
  const ProfileWater applied = profile_water(layers, r.root_depth, r.p);
  r.irrigation_depth = applied.fp - applied.rp;
  r.refill_level = applied.rp;
  r.gross_depth = r.irrigation_depth * 100.0F / r.efficiency;
  if (r.etc) r.interval = r.irrigation_depth / *r.etc;
  float deepest = 0;
  for (const HorizonResult& h : r.horizons)
    deepest = std::max(deepest, h.bottom);
  if (!r.horizons.empty() && r.root_depth > deepest) {
    warn(r, "the root depth, " + shortest_form(r.root_depth) +
                " cm, reaches below the described profile (" + shortest_form(deepest) +
                " cm): water below it is not counted");
  }
  const float results[] = {
      r.water.taw,           r.water.raw,        r.water.fp,    r.water.rp,
      r.water.root_zone_taw, r.irrigation_depth, r.gross_depth, r.interval.value_or(0.0F)};
  if (!std::all_of(std::begin(results), std::end(results),
                   [](float v) { return std::isfinite(v); })) {
    r.horizons.clear();
    fail(r, first_line, "the results are beyond the numbers a result can hold");
  }
}

}  // namespace

ProfileResult compute_profile(const AdviceTables& tables, const ColumnMap& columns,
                              const ProfileInput& input, const ProfileOptions& options) {
  ProfileResult r;
  r.name = input.name;
  r.first_line = input.first_line;
  for (const TableProblem& e : input.errors)
    fail(r, e.line, e.reason);
  const ProfileRows rows = read_rows(columns, input, r);
  if (r.status == ProfileStatus::error) return r;
  take_crop(tables, rows, input.first_line, r);
  if (r.status == ProfileStatus::error) {
    r.etc.reset();
    return r;
  }
  ProfileLayers layers;
  std::array<HorizonResult, kHorizons> kept = replay(tables, rows.rows, layers);
  for (HorizonResult& h : kept) {
    if (h.horizon != 0) add_horizon(tables, options, layers, h, r);
  }
  warn_overlaps(r);
  // A file that ends early lacks the profiles after its end: every estimate rests on less.
  if (!tables.cut_short.empty()) warn(r, tables.cut_short);
  add_results(layers, input.first_line, r);
  return r;
}

}  // namespace vantrel
