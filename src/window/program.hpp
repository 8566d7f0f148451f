// The program's state for one run and the routines the dialog calls back.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "data/fields.hpp"
#include "data/retention_curves.hpp"
#include "data/text_tables.hpp"
#include "data/trace_unit.hpp"
#include "profile/profile_layers.hpp"
#include "ui/control_ids.hpp"
#include "ui/dialog.hpp"
#include "ui/platform.hpp"

namespace vantrel {

// The reference tables, filled at start and only read afterwards.
struct ReferenceTables {
  RetentionCurves curves;
  CropTable crops;
  TextureDefaults textures;
};

class Program {
 public:
  Program(ui::Platform& platform, TraceUnit trace);

  ui::Platform& platform() { return platform_; }
  ReferenceTables& tables() { return *tables_; }
  const ReferenceTables& tables() const { return *tables_; }
  // Tables read elsewhere (on another thread, while the window's toolkit starts).
  void adopt_tables(std::unique_ptr<ReferenceTables> tables) { tables_ = std::move(tables); }
  HorizonInputs& inputs() { return inputs_; }
  ProfileLayers& layers() { return layers_; }
  const ProfileLayers& layers() const { return layers_; }
  TraceUnit& trace() { return trace_; }

  // Tells the user once per run that the trace lines could not be written.
  void trace_file_failed();

 private:
  ui::Platform& platform_;
  std::unique_ptr<ReferenceTables> tables_;
  HorizonInputs inputs_;
  ProfileLayers layers_;
  TraceUnit trace_;
  bool told_trace_failure_ = false;
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
  InputValue read;
  float value() const { return read.value; }
  bool usable() const {
    return read.kind != InputRead::decimal_comma && read.kind != InputRead::not_a_number;
  }
  // The value, or nothing when the text gave no number (blank, or a slash before any digit).
  std::optional<float> given() const { return read.number(); }
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
