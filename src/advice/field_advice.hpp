// One profile of a batch input: its rows read, checked and replayed as the window would
// commit them, then summed. No dialog and no toolkit.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "data/retention_curves.hpp"
#include "data/table_header.hpp"
#include "data/text_tables.hpp"
#include "physics/soil_properties.hpp"
#include "profile/profile_math.hpp"

namespace vantrel {

// The columns a batch input may have, in the order of this list.
enum class Column {
  profile,
  horizon,
  thickness,
  sand,
  clay,
  stones,
  density,
  crop,
  root_depth,
  tolerance,
  etc,
  efficiency,
  notes,
};
inline constexpr std::size_t kColumnCount = 13;

// Where each column stands in the input's header (index from 0), if it is there.
struct ColumnMap {
  std::array<std::optional<std::size_t>, kColumnCount> index{};
  // In a file whose fields a semicolon separates, a decimal comma is the decimal point; the
  // rows keep their cells as written, for the messages.
  bool decimal_comma = false;

  // Reads the header; false with the reason when a required column is missing or a column is
  // named twice. Names are matched without regard to case and surrounding blanks. Unknown
  // columns are listed in `ignored`.
  bool read(const std::vector<std::string>& header, std::string& error,
            std::vector<std::string>& ignored);
  bool has(Column c) const { return index[static_cast<std::size_t>(c)].has_value(); }
};

std::string_view column_name(Column c);

// One line of the input that belongs to a profile.
struct BatchRow {
  int line = 0;
  std::vector<std::string> fields;
};

// The rows of one profile as the input gives them (consecutive lines with the same name).
struct ProfileInput {
  std::string name;
  int first_line = 0;
  std::vector<BatchRow> rows;
  std::vector<TableProblem> errors;  // found while grouping
  int dropped_rows = 0;              // rows beyond the limit, not kept
  bool split_checked = true;         // whether `errors` says already if the profile is split
};
inline constexpr int kMaxRowsPerProfile = 100;

// One horizon of a profile's final state.
struct HorizonResult {
  int horizon = 0;
  float top = 0, bottom = 0;  // cm
  std::string texture;
  float sand = 0, clay = 0;  // % as given
  float stones = 0;          // % by volume
  float density = 0, theta_s = 0, fc = 0, sp = 0, wp = 0;
  int entries = 0;
  std::vector<ReferenceEntry> used;  // kept only when asked for (the report draws from them)
};

enum class ProfileStatus { ok, warning, error };
std::string_view status_name(ProfileStatus s);

struct ProfileResult {
  std::string name;
  int first_line = 0;
  ProfileStatus status = ProfileStatus::ok;
  std::string message;               // the reasons of a warning or an error, joined by "; "
  std::vector<TableProblem> errors;  // one per bad row
  std::string crop;
  float root_depth = 0;  // cm
  float tolerance = 0;   // %
  std::optional<float> etc;
  float p_table = 0;       // %: the crop's drought tolerance (for a crop water use of 5 mm/day)
  float p = 0;             // %: the depletion fraction used, adjusted for etc when it is given
  float efficiency = 100;  // % of the water applied that reaches the root zone
  std::string notes;
  ProfileWater water;          // the window's figures, with the crop's tolerance
  ProfileLayers layers;        // the profile as its last row left it, for a season's roots
  float irrigation_depth = 0;  // mm: the net depth to apply, p of the root-zone TAW
  float refill_level = 0;      // mm: the profile's water when it is due, FP less that depth
  float gross_depth = 0;       // mm: the net depth at the efficiency
  std::optional<float> interval;
  int warning_count = 0;
  std::vector<HorizonResult> horizons;  // horizon order; empty for an error
};

// How a run computes beyond the window's rule.
inline constexpr float kWindowFcSuction = 10.0F;  // kPa
struct ProfileOptions {
  float fc_suction = kWindowFcSuction;  // kPa at which field capacity is read from the curves
  bool keep_entries = false;            // the reference entries, for the report
};

// A horizon whose reference entries lie on average farther than this (percentage points)
// from its sand or its clay rests on soils unlike it.
inline constexpr double kFarEntries = 15.0;

// The reference tables a batch computes with, and the crops by name (a later row wins, as
// in the window's list).
struct AdviceTables {
  AdviceTables(const RetentionCurves& curves, const CropTable& crops,
               const std::vector<RetentionDefect>& defects = {});
  const RetentionCurves& curves;
  const CropTable& crops;
  std::unordered_map<std::string_view, int> crop_rows;
  // Reference profiles the file gives short, with the first reason: an estimate that rests on
  // one of them is a warning.
  std::unordered_map<int, std::string> damaged;
  // Why every profile is a warning when the file ends before its last profile does; empty when
  // it ends where a profile does.
  std::string cut_short;
};

// The silt field as the window shows it after a sand or clay change: the rest, one decimal,
// read back from its text.
float silt_as_shown(float sand, float clay);

// Checks the profile's rows, replays them and sums the profile. A bad row makes the profile an
// error (its numbers are not computed). A warning: a horizon that rests on fewer than three
// reference entries, on entries far from its sand or clay, on a reference profile the file
// gives short, or reaches below the reference profiles; two horizons over the same depths; a
// root depth below the described profile.
ProfileResult compute_profile(const AdviceTables& tables, const ColumnMap& columns,
                              const ProfileInput& input, const ProfileOptions& options);

}  // namespace vantrel
