// VANTRELSUB: the spinners, the texture and crop lists, and the end of the run.
#include <algorithm>
#include <cmath>

#include "data/fields.hpp"
#include "physics/soil_texture.hpp"
#include "window/program.hpp"

namespace vantrel {

namespace {

constexpr int kOneDecimal = 1;
constexpr int kTwoDecimals = 2;
constexpr int kInputWidth = 6;

void show_input(ui::Dialog& d, int control, float value, int decimals = kOneDecimal) {
  show_number(d, control, value, kInputWidth, decimals);
}

void show_texture(ui::Dialog& d, const HorizonInputs& in) {
  ui::dialog_set_text(d, id::texture_label, in.texture_name,
                      static_cast<int>(in.texture_name.length));
}

// Sand or clay set by its spinner: the other one limits it so that silt stays at least 0.
// `set` is the value just written, `other` the other field's.
void composition_follow_up(Program& program, ui::Dialog& d, float& set, float& other, int set_field,
                           const FieldReading& set_reading) {
  HorizonInputs& in = program.inputs();
  set = set_reading.value();
  if (set > 100.0F - other) set = 100.0F - other;
  show_input(d, set_field, set);
  in.silt = (100.0F - in.clay) - in.sand;
  show_input(d, id::silt, in.silt);
  SOIL_TEXTURE(in.sand, in.silt, in.clay, in.texture_name);
  show_texture(d, in);
}

// The row whose name is the list's text (its first 20 characters), searched from the last
// row so that a later row wins; null when no row has that name.
template <class Table>
const typename decltype(Table::rows)::value_type* chosen_row(ui::Dialog& d, int list,
                                                             const Table& table, NumberText& text) {
  ui::dialog_get_text(d, list, text);
  const std::string_view wanted = text.trimmed();
  for (int i = table.row_count; i >= 1; --i) {
    if (table.row(i).name.trimmed() == wanted) return &table.row(i);
  }
  return nullptr;
}

void set_stored_text(ui::Dialog& d, int control, std::string_view text) {
  ui::dialog_set_text(d, control, text, static_cast<int>(text.size()));
}

}  // namespace

namespace {

// The other field a spinner's follow-up reads: clay for sand, sand for clay, both for the
// horizon number.
struct OtherFields {
  FieldReading sand, clay;
};

// Gives the spinner's field the value of position p and carries out its follow-up.
void apply_position(Program& program, ui::Dialog& d, int bar, float p, const OtherFields& other) {
  HorizonInputs& in = program.inputs();
  const float raw = 100.0F - p;
  // Writes the value, then reads back the text just written.
  const auto write_and_read = [&](int field, float value, int decimals, float previous) {
    show_input(d, field, value, decimals);
    return read_number(d, field, previous);
  };
  switch (bar) {
    case id::sand_bar:
      in.clay = other.clay.value();
      composition_follow_up(program, d, in.sand, in.clay, id::sand,
                            write_and_read(id::sand, raw, kOneDecimal, in.sand));
      break;
    case id::clay_bar:
      in.sand = other.sand.value();
      composition_follow_up(program, d, in.clay, in.sand, id::clay,
                            write_and_read(id::clay, raw, kOneDecimal, in.clay));
      break;
    case id::stones_bar:
      in.stones = write_and_read(id::stones, raw, kOneDecimal, in.stones).value();
      in.stones = std::min(in.stones, 99.0F);
      show_input(d, id::stones, in.stones);
      break;
    case id::thickness_bar:
      in.thickness = write_and_read(id::thickness, raw, kOneDecimal, in.thickness).value();
      in.thickness = std::max(std::min(in.thickness, 99.0F), 5.0F);
      show_input(d, id::thickness, in.thickness);
      break;
    case id::horizon_bar:
      show_input(d, id::horizon, std::max(std::min(std::trunc(raw) - 7.0F, 5.0F), 1.0F));
      in.sand = other.sand.value();
      in.clay = other.clay.value();
      if (in.sand > 100.0F - in.clay) in.sand = 100.0F - in.clay;
      show_input(d, id::sand, in.sand);
      in.silt = (100.0F - in.clay) - in.sand;
      show_input(d, id::silt, in.silt);
      break;
    case id::root_depth_bar:
      show_input(d, id::root_depth, 2.0F * raw);
      break;
    case id::tolerance_bar:
      show_input(d, id::tolerance, raw);
      break;
    case id::density_bar:
      in.density =
          write_and_read(id::density, 2.0F * (1.0F - p / 100.0F), kTwoDecimals, in.density).value();
      break;
    default:
      break;
  }
}

}  // namespace

void spinner_event(Program& program, ui::Dialog& d, int bar) {
  const HorizonInputs& in = program.inputs();

  // The range comes first: it is set on every event, also on one that goes no further.
  ui::dialog_set_int(d, bar, -10, ui::sel_range_min);
  ui::dialog_set_int(d, bar, 110, ui::sel_range_max);

  // What the action reads from the other fields must be numbers, or nothing else happens.
  OtherFields other;
  if (bar == id::sand_bar || bar == id::horizon_bar) other.clay = read_number(d, id::clay, in.clay);
  if (bar == id::clay_bar || bar == id::horizon_bar) other.sand = read_number(d, id::sand, in.sand);
  if (!all_numbers(program, {&other.sand, &other.clay}, {"sand", "clay"})) return;

  int position = 0;
  ui::dialog_get_int(d, bar, position, ui::sel_position);
  apply_position(program, d, bar, static_cast<float>(std::clamp(position, 0, 100)), other);
}

void texture_choice(Program& program, ui::Dialog& d) {
  NumberText text;
  const TextureRow* row = chosen_row(d, id::texture_list, program.tables().textures, text);
  if (row == nullptr) return;  // no class of that name: nothing changes
  HorizonInputs& in = program.inputs();
  in.texture_name = text;
  const auto cut = [](const FieldText& f) { return f.trimmed().substr(0, kNumberLength); };
  set_stored_text(d, id::sand, cut(row->sand));
  set_stored_text(d, id::silt, cut(row->silt));
  set_stored_text(d, id::clay, cut(row->clay));
  show_texture(d, in);
}

void crop_choice(Program& program, ui::Dialog& d) {
  NumberText text;
  const CropRow* row = chosen_row(d, id::crop_list, program.tables().crops, text);
  if (row == nullptr) return;  // no crop of that name: nothing changes
  set_stored_text(d, id::root_depth, row->root_depth.trimmed());
  set_stored_text(d, id::tolerance, row->drought_tolerance.trimmed());
}

void VANTRELSUB(Program& program, ui::Dialog& dialog, int control, int event) {
  switch (control) {
    case id::update_profile:
      update_profile(program, dialog);
      break;
    case id::crop_list:
      crop_choice(program, dialog);
      break;
    case id::texture_list:
      texture_choice(program, dialog);
      break;
    case id::sand_bar:
    case id::clay_bar:
    case id::stones_bar:
    case id::thickness_bar:
    case id::horizon_bar:
    case id::root_depth_bar:
    case id::tolerance_bar:
    case id::density_bar:
      spinner_event(program, dialog, control);
      break;
    default:
      break;
  }
  if (event == ui::ev_dialog_destroyed) program.platform().post_quit(0);
}

}  // namespace vantrel
