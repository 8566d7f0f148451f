#include "window/program.hpp"

#include <array>
#include <string>

#include "data/fields.hpp"
#include "data/number_text.hpp"
#include "data/path_text.hpp"

namespace vantrel {

namespace {

constexpr std::string_view kCaption = "Vantrel";

}  // namespace

Program::Program(ui::Platform& platform, TraceUnit trace)
    : platform_(platform), tables_(std::make_unique<ReferenceTables>()), trace_(std::move(trace)) {}

void Program::trace_file_failed() {
  if (told_trace_failure_) return;
  told_trace_failure_ = true;
  std::error_code ec;
  const auto where = std::filesystem::absolute(trace_.path(), ec);
  platform_.message_box("The trace lines could not be written to " +
                            path_text((ec ? trace_.path() : where)) +
                            ". The results are shown but not recorded.",
                        kCaption);
}

FieldReading read_text(const NumberText& text, float previous) {
  return {text, read_input(text, previous)};
}

FieldReading read_number(ui::Dialog& dialog, int control, float previous) {
  NumberText text;
  ui::dialog_get_text(dialog, control, text);
  return read_text(text, previous);
}

bool all_numbers(Program& program, std::initializer_list<const FieldReading*> readings,
                 std::initializer_list<std::string_view> names) {
  auto name = names.begin();
  for (const FieldReading* r : readings) {
    if (!r->usable()) {
      const std::string holds =
          "The " + std::string(*name) + " field holds \"" + std::string(r->text.trimmed()) + "\"";
      program.platform().message_box(
          r->read.kind == InputRead::decimal_comma
              ? holds + ": decimals need a point, as in " + r->read.with_point + "."
              : holds + ", which is not a number.",
          kCaption);
      return false;
    }
    ++name;
  }
  return true;
}

void refuse(Program& program, std::string_view action, const std::string& fault) {
  program.platform().message_box(std::string(action) + ": " + fault + ".", kCaption);
}

void show_number(ui::Dialog& dialog, int control, float value, int width, int decimals) {
  NumberText text;
  write_fixed(value, width, decimals, text);
  ui::dialog_set_text(dialog, control, text, static_cast<int>(text.length));
}

}  // namespace vantrel
