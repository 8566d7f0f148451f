// "Update profile": the horizon in the input panel becomes one horizon of the profile.
#include <string>

#include "data/fields.hpp"
#include "profile/input_checks.hpp"
#include "profile/profile_math.hpp"
#include "profile/routines/program.hpp"

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

}  // namespace

void update_profile(Program& program, ui::Dialog& d) {
  HorizonInputs& in = program.inputs();
  ProfileLayers& layers = program.layers();

  // Every field first: a text that is not a number, or a horizon that is plainly wrong, stops
  // the update before anything changes.
  const FieldReading sand = read_number(d, id::sand, in.sand);
  const FieldReading silt = read_number(d, id::silt, in.silt);
  const FieldReading clay = read_number(d, id::clay, in.clay);
  const FieldReading stones = read_number(d, id::stones, in.stones);
  const FieldReading density = read_number(d, id::density, in.density);
  const FieldReading thickness = read_number(d, id::thickness, in.thickness);
  FieldReading horizon = read_number(d, id::horizon);
  // Any text but a decimal comma gives a horizon number or none, without a message.
  if (horizon.read.kind == FieldRead::not_a_number) horizon.read.kind = FieldRead::no_number;
  bool density_set = false;
  ui::dialog_get_logical(d, id::density_set, density_set);
  if (!all_numbers(program, {&sand, &silt, &clay, &stones, &density, &thickness, &horizon},
                   {"sand", "silt", "clay", "stones", "bulk density", "thickness", "horizon"})) {
    ui::dialog_set_logical(d, id::update_profile, false);  // it acts as a push button
    return;
  }
  std::int32_t number = 0;
  STRING_TO_INT(horizon.text, number);
  HorizonValues values{thickness.given(), sand.given(), clay.given(), stones.given(), {}};
  if (density_set) values.density = density.given().value_or(0.0F);
  const bool placed = number >= 1 && number <= kHorizons;  // other numbers change no row
  if (const auto fault = placed ? check_horizon(values) : std::nullopt) {
    const FieldReading& field = fault->field == InputField::thickness ? thickness
                                : fault->field == InputField::sand    ? sand
                                : fault->field == InputField::clay    ? clay
                                : fault->field == InputField::stones  ? stones
                                                                      : density;
    refuse(program, "The horizon is not updated",
           describe_fault(*fault, field.text.trimmed(), clay.text.trimmed()));
    ui::dialog_set_logical(d, id::update_profile, false);
    return;
  }

  in.density_set = density_set;
  in.sand = sand.value();
  in.silt = silt.value();
  in.clay = clay.value();
  in.stones = stones.value();
  in.density = density.value();
  in.thickness = thickness.value();
  in.horizon = number;

  const HorizonCommit commit = commit_horizon(program.tables().curves, program.side(), in, layers);
  set_text(d, id::texture_label, in.texture_name);
  if (commit.placed) {
    const int h = in.horizon;
    const TableRow& row = table_row(h);
    set_text(d, row.texture, in.texture_name);
    if (h == 1) {
      ui::dialog_set_text(d, row.top, "0.0", 3);
    } else {
      show_cell(d, row.top, layers.top(h));
    }
    show_cell(d, row.bottom, layers.bottom(h));
    set_text(d, row.stones, stones.text);
    show_cell(d, row.fc, layers.fc(h));
    show_cell(d, row.sp, layers.sp(h));
    show_cell(d, row.wp, layers.wp(h));
    show_number(d, row.density, layers.density(h), kDensityWidth, 2);
    if (commit.entries < kEnoughEntries) {
      program.platform().message_box(entries_message(h, commit.entries), "Vantrel");
    }
  }
  ui::dialog_set_logical(d, id::update_profile, false);
}

}  // namespace vantrel
