// "Update profile": the horizon in the input panel becomes one horizon of the profile.
#include <string>

#include "data/fields.hpp"
#include "profile/input_checks.hpp"
#include "profile/profile_math.hpp"
#include "window/program.hpp"

namespace vantrel {

namespace {

constexpr int kCellWidth = 5;
constexpr int kDensityWidth = 6;

void show_cell(ui::Dialog& d, int control, float value) {
  show_number(d, control, value, kCellWidth, 1);
}

void set_text(ui::Dialog& d, int control, const NumberText& text) {
  ui::dialog_set_text(d, control, text, static_cast<int>(text.length));
}

std::string entries_message(int horizon, int entries) {
  const std::string which = "Horizon " + std::to_string(horizon);
  if (entries == 0) {
    return which +
           ": no reference profile is close to this horizon, so its density and water "
           "contents are 0 and cannot be used.";
  }
  return which + ": its density and water contents rest on only " + std::to_string(entries) +
         (entries == 1 ? " reference entry" : " reference entries") +
         " instead of three or more; use them with care.";
}

// The input panel as "Update profile" reads it.
struct PanelReadings {
  FieldReading sand, silt, clay, stones, density, thickness, horizon;
  bool density_set = false;
  std::int32_t number = 0;  // the horizon number
};

// Reads every field first; false (the user told) when a text is not a number or the horizon
// is plainly wrong, so that nothing changes.
bool read_panel(Program& program, ui::Dialog& d, PanelReadings& r) {
  const HorizonInputs& in = program.inputs();
  r.sand = read_number(d, id::sand, in.sand);
  r.silt = read_number(d, id::silt, in.silt);
  r.clay = read_number(d, id::clay, in.clay);
  r.stones = read_number(d, id::stones, in.stones);
  r.density = read_number(d, id::density, in.density);
  r.thickness = read_number(d, id::thickness, in.thickness);
  r.horizon = read_number(d, id::horizon);
  // Any text but a decimal comma gives a horizon number or none, without a message.
  if (r.horizon.read.kind == InputRead::not_a_number) r.horizon.read.kind = InputRead::no_number;
  ui::dialog_get_logical(d, id::density_set, r.density_set);
  if (!all_numbers(program,
                   {&r.sand, &r.silt, &r.clay, &r.stones, &r.density, &r.thickness, &r.horizon},
                   {"sand", "silt", "clay", "stones", "bulk density", "thickness", "horizon"})) {
    return false;
  }
  STRING_TO_INT(r.horizon.text, r.number);
  HorizonValues values{r.thickness.given(), r.sand.given(), r.clay.given(), r.stones.given(), {}};
  if (r.density_set) values.density = r.density.given().value_or(0.0F);
  const bool placed = r.number >= 1 && r.number <= kHorizons;  // other numbers change no row
  const auto fault = placed ? check_horizon(values) : std::nullopt;
  if (!fault) return true;
  const FieldReading& field = fault->field == InputField::thickness ? r.thickness
                              : fault->field == InputField::sand    ? r.sand
                              : fault->field == InputField::clay    ? r.clay
                              : fault->field == InputField::stones  ? r.stones
                                                                    : r.density;
  refuse(program, "The horizon is not updated",
         describe_fault(*fault, field.text.trimmed(), r.clay.text.trimmed()));
  return false;
}

// Writes horizon h's row of the output table.
void show_row(ui::Dialog& d, const ProfileLayers& layers, int h, const HorizonInputs& in,
              const NumberText& stones) {
  const TableRow& row = table_row(h);
  set_text(d, row.texture, in.texture_name);
  if (h == 1) {
    ui::dialog_set_text(d, row.top, "0.0", 3);
  } else {
    show_cell(d, row.top, layers.top(h));
  }
  show_cell(d, row.bottom, layers.bottom(h));
  set_text(d, row.stones, stones);
  show_cell(d, row.fc, layers.fc(h));
  show_cell(d, row.sp, layers.sp(h));
  show_cell(d, row.wp, layers.wp(h));
  show_number(d, row.density, layers.density(h), kDensityWidth, 2);
}

}  // namespace

void update_profile(Program& program, ui::Dialog& d) {
  PanelReadings r;
  if (!read_panel(program, d, r)) {
    ui::dialog_set_logical(d, id::update_profile, false);  // it acts as a push button
    return;
  }
  HorizonInputs& in = program.inputs();
  in.density_set = r.density_set;
  in.sand = r.sand.value();
  in.silt = r.silt.value();
  in.clay = r.clay.value();
  in.stones = r.stones.value();
  in.density = r.density.value();
  in.thickness = r.thickness.value();
  in.horizon = r.number;

  ProfileLayers& layers = program.layers();
  const HorizonCommit commit = commit_horizon(program.tables().curves, program.trace(), in, layers);
  set_text(d, id::texture_label, in.texture_name);
  if (commit.placed) {
    show_row(d, layers, in.horizon, in, r.stones.text);
    if (commit.entries < kEnoughEntries) {
      program.platform().message_box(entries_message(in.horizon, commit.entries), "Vantrel");
    }
  }
  ui::dialog_set_logical(d, id::update_profile, false);
}

}  // namespace vantrel
