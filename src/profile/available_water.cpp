// VANTRELAPPLY: "Calculate" sums the profile into its available water and irrigation triggers.
#include "data/fields.hpp"
#include "data/number_text.hpp"
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
  FieldReading tolerance;
  tolerance.text = tolerance_text;
  tolerance.value = state.tolerance;
  tolerance.number = STRING_TO_REAL(tolerance_text, tolerance.value) != NumberRead::error;
  FieldReading root;
  root.text = root_text;
  root.value = state.root_depth;
  root.number = STRING_TO_REAL(root_text, root.value) != NumberRead::error;
  if (!all_numbers(program, {&tolerance, &root}, {"drought tolerance", "root depth"})) return;
  state.tolerance = tolerance.value / 100.0F;  // from here on the fraction p
  state.root_depth = root.value;
  const float p = state.tolerance;
  const float r = state.root_depth;

  const ProfileLayers& layers = program.layers();
  float s_wp = 0.0F;
  float s_sp = 0.0F;
  float s_fc = 0.0F;
  float s_rp = 0.0F;
  for (int i = 1; i <= kProfileEntries; ++i) {
    const float t = layers.bottom(i) - layers.top(i);
    float depth = r - layers.top(i);  // the entry's part above the root depth
    if (depth > t) depth = t;
    if (depth < 0.0F) depth = 0.0F;
    if (!(t > 0.0F)) continue;
    const double fc = layers.fc(i);
    const double wp = layers.wp(i);
    s_wp = static_cast<float>(s_wp + double{t} * wp / 10.0);
    s_sp = static_cast<float>(s_sp + double{t} * layers.sp(i) / 10.0);
    s_fc = static_cast<float>(s_fc + double{t} * fc / 10.0);
    s_rp = static_cast<float>(s_rp + (fc - (fc - wp) * p * depth / t) * t / 10.0);
  }
  const float results[] = {s_fc - s_wp, s_fc - s_sp, s_fc, s_rp};  // TAW, RAW, FP, RP
  const int fields[] = {id::taw, id::raw, id::fp, id::rp};
  NumberText texts[4];
  for (int k = 0; k < 4; ++k)
    write_fixed(results[k], kResultWidth, 1, texts[k]);
  for (int k = 0; k < 4; ++k) {
    ui::dialog_set_text(d, fields[k], texts[k], static_cast<int>(texts[k].length));
  }
  const bool traced = program.side().write_line(texts[0]) && program.side().write_line(texts[1]);
  if (!traced) program.side_file_failed();
}

}  // namespace vantrel
