// "Update profile": the horizon in the input panel becomes one horizon of the profile.
#include <string>

#include "data/fields.hpp"
#include "profile/profile_math.hpp"
#include "profile/program.hpp"

namespace vantrel {

namespace {

constexpr int kCellWidth = 5;
constexpr int kDensityWidth = 6;
constexpr int kEnoughEntries = 3;

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

  // Every field first: a text that is not a number stops the update before anything changes.
  const FieldReading sand = read_number(d, id::sand, in.sand);
  const FieldReading silt = read_number(d, id::silt, in.silt);
  const FieldReading clay = read_number(d, id::clay, in.clay);
  const FieldReading stones = read_number(d, id::stones, in.stones);
  const FieldReading density = read_number(d, id::density, in.density);
  const FieldReading thickness = read_number(d, id::thickness, in.thickness);
  NumberText horizon_text;
  ui::dialog_get_text(d, id::horizon, horizon_text);
  FieldReading horizon = read_typed(horizon_text, 0);
  horizon.number = !horizon.separator;  // any other text gives no horizon, without a message
  if (!all_numbers(program, {&sand, &silt, &clay, &stones, &density, &thickness, &horizon},
                   {"sand", "silt", "clay", "stones", "bulk density", "thickness", "horizon"})) {
    ui::dialog_set_logical(d, id::update_profile, false);  // it acts as a push button
    return;
  }

  ui::dialog_get_logical(d, id::density_set, in.density_set);
  in.sand = sand.value;
  in.silt = silt.value;
  in.clay = clay.value;
  in.stones = stones.value;
  in.density = density.value;
  in.thickness = thickness.value;
  STRING_TO_INT(horizon_text, in.horizon);

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
