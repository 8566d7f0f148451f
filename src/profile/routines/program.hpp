// The program's state for one run and the routines the dialog calls back.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "data/fields.hpp"
#include "data/retention_curves.hpp"
#include "data/side_unit.hpp"
#include "data/text_tables.hpp"
#include "profile/profile_layers.hpp"
#include "ui/dialog.hpp"
#include "ui/platform.hpp"

namespace vantrel {

// Control ids of the main window that the routines address.
namespace id {
inline constexpr int dialog = 101;
inline constexpr int calculate = 30002;
inline constexpr int exit = 30001;
inline constexpr int horizon = 1033, horizon_bar = 1039;
inline constexpr int thickness = 1032, thickness_bar = 1038;
inline constexpr int sand = 1008, sand_bar = 1026;
inline constexpr int silt = 1046;
inline constexpr int clay = 1044, clay_bar = 1045;
inline constexpr int stones = 1048, stones_bar = 1049;
inline constexpr int texture_label = 1057;
inline constexpr int texture_list = 1012;
inline constexpr int crop_list = 1011;
inline constexpr int root_depth = 1035, root_depth_bar = 1041;
inline constexpr int tolerance = 1055, tolerance_bar = 1056;
inline constexpr int density = 1073, density_bar = 1074;
inline constexpr int density_set = 1080;
inline constexpr int update_profile = 1010;
inline constexpr int taw = 1069, raw = 1070, fp = 1071, rp = 1072;
}  // namespace id

// The cells of one row of the output table.
struct TableRow {
  int top, bottom, texture, density, stones, fc, sp, wp;
};
const TableRow& table_row(int horizon);  // horizon 1..5

// The reference tables, filled at start and only read afterwards.
struct ReferenceTables {
  RetentionCurves curves;
  CropTable crops;
  TextureDefaults textures;
};

class Program {
 public:
  Program(ui::Platform& platform, SideUnit side);

  ui::Platform& platform() { return platform_; }
  ReferenceTables& tables() { return *tables_; }
  const ReferenceTables& tables() const { return *tables_; }
  HorizonInputs& inputs() { return inputs_; }
  ProfileLayers& layers() { return layers_; }
  const ProfileLayers& layers() const { return layers_; }
  SideUnit& side() { return side_; }

  // Tells the user once per run that the trace lines could not be written.
  void side_file_failed();

 private:
  ui::Platform& platform_;
  std::unique_ptr<ReferenceTables> tables_;
  HorizonInputs inputs_;
  ProfileLayers layers_;
  SideUnit side_;
  bool told_side_failure_ = false;
};

// The routine of the input controls and of the dialog itself.
void VANTRELSUB(Program& program, ui::Dialog& dialog, int control, int event);
// The routine of "Calculate".
void VANTRELAPPLY(Program& program, ui::Dialog& dialog, int control, int event);

// Parts of VANTRELSUB, one per kind of action.
void spinner_event(Program& program, ui::Dialog& dialog, int bar);
void texture_choice(Program& program, ui::Dialog& dialog);
void crop_choice(Program& program, ui::Dialog& dialog);
void update_profile(Program& program, ui::Dialog& dialog);

// A field read as a number: the text as read (20 characters) and what it gave. A decimal
// comma or a text that is not a number is no usable reading: the user is told which field
// holds it, and the action must not go on.
struct FieldReading {
  NumberText text;
  FieldValue read;
  float value() const { return read.value; }
  bool usable() const {
    return read.kind != FieldRead::decimal_comma && read.kind != FieldRead::not_a_number;
  }
  // The value, or nothing when the text gave no number (blank, or a slash before any digit).
  std::optional<float> given() const {
    return read.kind == FieldRead::number ? std::optional<float>(read.value) : std::nullopt;
  }
};
FieldReading read_number(ui::Dialog& dialog, int control, float previous = 0);
FieldReading read_text(const NumberText& text, float previous = 0);
// Tells the user of the first reading that is not usable; false when there was one.
bool all_numbers(Program& program, std::initializer_list<const FieldReading*> readings,
                 std::initializer_list<std::string_view> names);
// Tells the user that an action did not run because of a value outside its range.
void refuse(Program& program, std::string_view action, const std::string& fault);

// Writes a value in fixed form as a 20-character text.
void show_number(ui::Dialog& dialog, int control, float value, int width, int decimals);

}  // namespace vantrel
