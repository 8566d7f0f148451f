// VANTRELAPPLY: "Calculate" sums the profile into its available water and irrigation triggers.
#include "data/fields.hpp"
#include "data/number_text.hpp"
#include "profile/input_checks.hpp"
#include "profile/profile_math.hpp"
#include "window/program.hpp"

namespace vantrel {

namespace {

constexpr int kResultWidth = 5;

}  // namespace

void VANTRELAPPLY(Program& program, ui::Dialog& d, int /*control*/, int event) {
  if (event != ui::ev_clicked) return;
  NumberText tolerance_text;
  NumberText root_text;
  ui::dialog_get_text(d, id::tolerance, tolerance_text);
  ui::dialog_get_text(d, id::root_depth, root_text);
  if (tolerance_text.blank() || root_text.blank()) return;

  const FieldReading tolerance = read_text(tolerance_text);
  const FieldReading root = read_text(root_text);
  if (!all_numbers(program, {&tolerance, &root}, {"drought tolerance", "root depth"})) return;
  // A text without a number ("/3") or a value outside its range is refused, not carried on.
  if (const auto fault = check_crop(root.given(), tolerance.given())) {
    const FieldReading& field = fault->field == InputField::root_depth ? root : tolerance;
    refuse(program, "Nothing is calculated", describe_fault(*fault, field.text.trimmed()));
    return;
  }
  const ProfileWater water = profile_water(program.layers(), root.value(), tolerance.value());
  const float results[] = {water.taw, water.raw, water.fp, water.rp};
  const int fields[] = {id::taw, id::raw, id::fp, id::rp};
  NumberText texts[4];
  for (int k = 0; k < 4; ++k)
    write_fixed(results[k], kResultWidth, 1, texts[k]);
  for (int k = 0; k < 4; ++k) {
    ui::dialog_set_text(d, fields[k], texts[k], static_cast<int>(texts[k].length));
  }
  // Both lines or neither: a lone TAW line would put every later pair off by one.
  if (!program.trace().write_lines({texts[0], texts[1]})) program.trace_file_failed();
}

}  // namespace vantrel
