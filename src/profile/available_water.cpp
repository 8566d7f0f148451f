// VANTRELAPPLY: "Calculate" sums the profile into its available water and irrigation triggers.
#include "data/fields.hpp"
#include "data/number_text.hpp"
#include "profile/profile_math.hpp"
#include "profile/program.hpp"

namespace vantrel {

namespace {

constexpr int kResultWidth = 5;

}  // namespace

void VANTRELAPPLY(Program& program, ui::Dialog& d, int /*control*/, int event) {
  if (event != ui::ev_clicked) return;
  CalculationState& state = program.calculation();

  NumberText tolerance_text;
  NumberText root_text;
  ui::dialog_get_text(d, id::tolerance, tolerance_text);
  ui::dialog_get_text(d, id::root_depth, root_text);
  if (tolerance_text.blank() || root_text.blank()) return;

  // A text that gives no value keeps what the variable held: the previous calculation's.
  const FieldReading tolerance = read_typed(tolerance_text, state.tolerance);
  const FieldReading root = read_typed(root_text, state.root_depth);
  if (!all_numbers(program, {&tolerance, &root}, {"drought tolerance", "root depth"})) return;
  state.tolerance = tolerance.value / 100.0F;  // from here on the fraction p
  state.root_depth = root.value;
  const ProfileWater water = profile_water(program.layers(), root.value, tolerance.value);
  const float results[] = {water.taw, water.raw, water.fp, water.rp};
  const int fields[] = {id::taw, id::raw, id::fp, id::rp};
  NumberText texts[4];
  for (int k = 0; k < 4; ++k)
    write_fixed(results[k], kResultWidth, 1, texts[k]);
  for (int k = 0; k < 4; ++k) {
    ui::dialog_set_text(d, fields[k], texts[k], static_cast<int>(texts[k].length));
  }
  // Both lines or neither: a lone TAW line would put every later pair off by one.
  if (!program.side().write_lines({texts[0], texts[1]})) program.side_file_failed();
}

}  // namespace vantrel
