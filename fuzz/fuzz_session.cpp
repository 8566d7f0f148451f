// Whole sessions: the input becomes a sequence of user actions on the program's routines, the
// headless dialog and the bundled reference files. After every action the invariants hold;
// the same sequence played again gives the same texts.
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/script.hpp"
#include "app/startup.hpp"
#include "data/fields.hpp"
#include "data/number_text.hpp"

namespace {

using namespace vantrel;

constexpr int kBars[] = {id::sand_bar,    id::clay_bar,       id::stones_bar,   id::thickness_bar,
                         id::horizon_bar, id::root_depth_bar, id::tolerance_bar};
constexpr int kFields[] = {id::sand,      id::clay,      id::stones,
                           id::thickness, id::horizon,   id::root_depth,
                           id::tolerance, id::crop_list, id::texture_list};
constexpr std::size_t kMaxActions = 48;

// Reads the input a byte at a time; zeros once it runs out.
class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint8_t next() { return at_ < size_ ? data_[at_++] : 0; }
  bool done() const { return at_ >= size_; }
  std::string text() {
    const std::size_t length = next() % 40;
    std::string t;
    for (std::size_t i = 0; i < length && !done(); ++i)
      t.push_back(static_cast<char>(next()));
    if (next() % 16 == 0) t = std::string(300, t.empty() ? '9' : t[0]);  // long texts too
    return t;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

const ReferenceTables& bundled() {
  static const auto tables = [] {
    class Quiet final : public ui::Platform {
     public:
      void post_quit(int) override {}
      void message_box(std::string_view, std::string_view) override {}
    } quiet;
    Program loader(quiet, TraceUnit("/dev/null"));
    load_reference_files(loader, VANTREL_REFERENCE_DIR);
    return std::make_unique<ReferenceTables>(loader.tables());
  }();
  return *tables;
}

std::string text_of(ui::Dialog& d, int id) {
  std::string t;
  ui::dialog_get_text(d, id, t);
  return t;
}

float value_of(const std::string& text, bool& ok) {
  float v = 0;
  ok = STRING_TO_REAL(text, v) == FreeFormRead::value &&
       text.find_first_of(",/") == std::string::npos;
  return v;
}

// Every written row shows what the profile holds for its horizon.
void check_rows(Program& program, ui::Dialog& d) {
  const ProfileLayers& layers = program.layers();
  for (int h = 1; h <= kHorizons; ++h) {
    const TableRow& row = table_row(h);
    const std::string bottom = text_of(d, row.bottom);
    if (bottom == ".") {
      if (layers.bottom(h) != 0 || layers.fc(h) != 0) __builtin_trap();
      continue;
    }
    const auto shown = [](float v, int width, int decimals) {
      NumberText t;
      write_fixed(v, width, decimals, t);
      return t.str();
    };
    if (bottom != shown(layers.bottom(h), 5, 1)) __builtin_trap();
    if (h > 1 && text_of(d, row.top) != shown(layers.top(h), 5, 1)) __builtin_trap();
    if (text_of(d, row.fc) != shown(layers.fc(h), 5, 1)) __builtin_trap();
    if (text_of(d, row.sp) != shown(layers.sp(h), 5, 1)) __builtin_trap();
    if (text_of(d, row.wp) != shown(layers.wp(h), 5, 1)) __builtin_trap();
    if (text_of(d, row.density) != shown(layers.density(h), 6, 2)) __builtin_trap();
  }
}

// The trace file: whole lines of 20 characters, in pairs.
void check_trace(const std::filesystem::path& trace) {
  std::ifstream in(trace, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.size() % 42 != 0) __builtin_trap();
  for (std::size_t at = 20; at < bytes.size(); at += 21) {
    if (bytes[at] != '\n') __builtin_trap();
  }
}

// After a sand or clay spinner event that wrote the fields, they add up to 100 within the
// rounding of three one-decimal texts.
void check_composition(ui::Dialog& d) {
  bool sand_ok = false, clay_ok = false, silt_ok = false;
  const float sand = value_of(text_of(d, id::sand), sand_ok);
  const float clay = value_of(text_of(d, id::clay), clay_ok);
  const float silt = value_of(text_of(d, id::silt), silt_ok);
  if (!sand_ok || !clay_ok || !silt_ok) return;
  if (sand < 0 || sand > 100 || clay < 0 || clay > 100) return;
  if (std::fabs(sand + clay + silt - 100.0F) > 0.151F) __builtin_trap();
}

// Plays the input; returns every control's text at the end, and the messages.
std::string play(const std::uint8_t* data, std::size_t size, const std::filesystem::path& trace) {
  std::filesystem::remove(trace);
  std::ostringstream messages;
  ScriptPlatform platform(messages);
  Program program(platform, TraceUnit(trace));
  program.tables() = bundled();
  ui::Dialog dialog;
  dialog.set_view_factory(ui::make_headless_view);
  if (!open_main_window(program, dialog, ui::show_normal)) __builtin_trap();
  DialogDriver driver(dialog);
  Bytes in(data, size);
  for (std::size_t n = 0; n < kMaxActions && !in.done(); ++n) {
    const std::uint8_t op = in.next();
    const std::size_t before = messages.str().size();
    bool composition = false;
    switch (op % 6) {
      case 0:
      case 1: {
        const int bar = kBars[in.next() % std::size(kBars)];
        const auto action = static_cast<ui::ScrollAction>(in.next() % 7);
        const int thumb = static_cast<std::int8_t>(in.next()) + 50;
        driver.scroll(bar, action, thumb);
        composition = bar == id::sand_bar || bar == id::clay_bar;
        break;
      }
      case 2:
        driver.type(kFields[in.next() % std::size(kFields)], in.text());
        break;
      case 3: {
        const int list = in.next() % 2 == 0 ? id::crop_list : id::texture_list;
        int entries = 0;
        ui::dialog_get_int(dialog, list, entries, ui::sel_list_count);
        if (entries > 0) driver.choose(list, in.next() % entries + 1);
        break;
      }
      case 4:
        driver.click(id::update_profile);
        break;
      default:
        driver.click(id::calculate);
        break;
    }
    check_rows(program, dialog);
    check_trace(trace);
    if (composition && messages.str().size() == before) check_composition(dialog);
  }
  std::string texts = messages.str();
  for (const ui::TemplateControl& item : dialog.dialog_template()->controls) {
    if (item.id != ui::kNoId) texts += text_of(dialog, item.id) + '\n';
  }
  ui::dialog_uninit(dialog);
  return texts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path trace =
      std::filesystem::temp_directory_path() / ("vantrel-fuzz-" + std::to_string(::getpid()));
  const std::string first = play(data, size, trace);
  const std::string again = play(data, size, trace);
  if (first != again) __builtin_trap();
  return 0;
}
