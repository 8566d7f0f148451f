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
};
inline constexpr std::size_t kColumnCount = 11;

// Where each column stands in the input's header (index from 0), if it is there.
struct ColumnMap {
  std::array<std::optional<std::size_t>, kColumnCount> index{};

  // Reads the header; false with the reason when a required column is missing or a column is
  // named twice. Unknown columns are listed in `ignored`.
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
  std::vector<std::string> errors;  // found while grouping: "LINE: reason"
  int dropped_rows = 0;             // rows beyond the limit, not kept
};
inline constexpr int kMaxRowsPerProfile = 100;

// One horizon of a profile's final state.
struct HorizonResult {
  int horizon = 0;
  float top = 0, bottom = 0;  // cm
  std::string texture;
  float stones = 0;  // % by volume
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
  std::string message;              // the reasons of a warning or an error, joined by "; "
  std::vector<std::string> errors;  // "LINE: reason", one per bad row
  std::string crop;
  float root_depth = 0;  // cm
  float tolerance = 0;   // %
  std::optional<float> etc;
  ProfileWater water;
  float irrigation_depth = 0;  // mm: FP - RP
  std::optional<float> interval;
  std::vector<HorizonResult> horizons;  // horizon order; empty for an error
};

// The reference tables a batch computes with, and the crops by name (a later row wins, as
// in the window's list).
struct BatchTables {
  BatchTables(const RetentionCurves& curves, const CropTable& crops,
              const std::vector<RetentionDefect>& defects = {});
  const RetentionCurves& curves;
  const CropTable& crops;
  std::unordered_map<std::string_view, int> crop_rows;
  // Reference profiles the file gives short, with the first reason: an estimate that rests on
  // one of them is a warning.
  std::unordered_map<int, std::string> damaged;
};

// Checks the profile's rows, replays them and sums the profile. A bad row makes the profile an
// error (its numbers are not computed); a horizon that rests on fewer than three reference
// entries, on a reference profile the file gives short, or reaches below the reference
// profiles, makes it a warning.
ProfileResult compute_profile(const BatchTables& tables, const ColumnMap& columns,
                              const ProfileInput& input, bool keep_entries);

}  // namespace vantrel
