#include "app/startup.hpp"

#include <array>
#include <csignal>
#include <optional>
#include <string_view>

#include "data/path_text.hpp"
#include "data/reference_file.hpp"

namespace vantrel {

namespace {

struct StartText {
  int control;
  std::string_view text;
};
constexpr std::array<StartText, 8> kStartTexts = {{
    {id::horizon, "1.0"},
    {id::sand, "40.0"},
    {id::silt, "40.0"},
    {id::clay, "20.0"},
    {id::stones, "0.0"},
    {id::density, "1.00"},
    {id::thickness, "10.0"},
    {id::texture_label, "loam"},
}};

struct StartPosition {
  int bar;
  int position;
};
constexpr std::array<StartPosition, 8> kStartPositions = {{
    {id::clay_bar, 80},
    {id::sand_bar, 60},
    {id::stones_bar, 110},
    {id::thickness_bar, 110},
    {id::root_depth_bar, 55},
    {id::tolerance_bar, 55},
    {id::horizon_bar, 110},
    {id::density_bar, 50},
}};

struct InputCallback {
  int control;
  std::optional<int> event;
};
const std::array<InputCallback, 14> kInputCallbacks = {{
    {id::sand_bar, std::nullopt},
    {id::clay_bar, std::nullopt},
    {id::stones_bar, std::nullopt},
    {id::thickness_bar, std::nullopt},
    {id::tolerance_bar, std::nullopt},
    {id::horizon_bar, std::nullopt},
    {id::root_depth_bar, std::nullopt},
    {id::density_bar, std::nullopt},
    {id::crop_list, ui::ev_selection_changed},
    {id::crop_list, ui::ev_edit_update},
    {id::texture_list, ui::ev_selection_changed},
    {id::texture_list, ui::ev_edit_update},
    {id::update_profile, std::nullopt},
    {id::density_set, std::nullopt},
}};

// A list's entries: each row's name without its trailing blanks.
template <class Table>
void fill_list(ui::Dialog& dialog, int list, const Table& table) {
  ui::dialog_set_int(dialog, list, table.row_count, ui::sel_list_count);
  for (int i = 1; i <= table.row_count; ++i) {
    const std::string_view name = without_partial_character(table.row(i).name.trimmed());
    ui::dialog_set_text(dialog, list, name, static_cast<int>(name.size()), i);
  }
}

}  // namespace

void load_reference_files(Program& program, const std::filesystem::path& folder) {
  load_reference_files(program.tables(), folder);
}

void load_reference_files(ReferenceTables& tables, const std::filesystem::path& folder) {
  const auto at = [&folder](const char* name) {
    return folder.empty() || folder == "." ? std::filesystem::path(name) : folder / name;
  };
  load_retention_curves(at(kRetentionFileName), tables.curves);
  load_crop_table(at(kCropFileName), tables.crops);
  load_texture_defaults(at(kTextureFileName), tables.textures);
}

bool open_main_window(Program& program, ui::Dialog& dialog, int show_command) {
  if (!ui::dialog_init(ui::kMainDialog, dialog)) return false;
  const auto sub = [&program](ui::Dialog& d, int control, int event) {
    VANTRELSUB(program, d, control, event);
  };
  const auto apply = [&program](ui::Dialog& d, int control, int event) {
    VANTRELAPPLY(program, d, control, event);
  };
  ui::dialog_set_callback(dialog, id::dialog, sub);
  ui::dialog_set_callback(dialog, id::calculate, apply);

  // The start values go to the dialog before it is shown: each control is made once, with
  // them, instead of being changed on the screen entry by entry. The program sets them, so
  // none is a notification either way.
  for (const StartText& s : kStartTexts) {
    ui::dialog_set_text(dialog, s.control, s.text, static_cast<int>(s.text.size()));
  }
  ui::dialog_set_logical(dialog, id::update_profile, false);
  ui::dialog_set_logical(dialog, id::density_set, false);
  for (const StartPosition& s : kStartPositions) {
    ui::dialog_set_int(dialog, s.bar, s.position, ui::sel_position);
  }
  fill_list(dialog, id::crop_list, program.tables().crops);
  fill_list(dialog, id::texture_list, program.tables().textures);
  if (!ui::dialog_show_modeless(dialog, show_command)) return false;
  for (const InputCallback& c : kInputCallbacks) {
    ui::dialog_set_callback(dialog, c.control, sub, c.event);
  }
  return true;
}

namespace {

// Loads the working directory's reference files; the stop's reason when a file stopped loading.
std::optional<std::string> read_start_files(ReferenceTables& tables) {
  try {
    load_reference_files(tables, ".");
  } catch (const FatalStop& stop) {
    return stop.what();
  }
  return std::nullopt;
}

}  // namespace

StartFiles::StartFiles()
    : reading_(std::async(std::launch::async,
                          [tables = tables_.get()] { return read_start_files(*tables); })) {}

StartFiles::~StartFiles() {
  if (reading_.valid()) reading_.wait();  // the thread writes into tables_
}

std::optional<std::string> StartFiles::take(Program& program) {
  std::optional<std::string> stop = reading_.get();
  program.adopt_tables(std::move(tables_));
  tables_ = std::make_unique<ReferenceTables>();
  return stop;
}

StartOutcome start_run(Program& program, ui::Dialog& dialog, int show_command, std::ostream& errors,
                       std::string* report, StartFiles* files) {
  const std::optional<std::string> stop =
      files != nullptr ? files->take(program) : read_start_files(program.tables());
  if (stop) {
    const std::string text = fatal_report(*stop, ".");
    errors << text << '\n';
    if (report != nullptr) *report = text;
    return StartOutcome::files_stopped;
  }
  return open_main_window(program, dialog, show_command) ? StartOutcome::started
                                                         : StartOutcome::no_window;
}

void ignore_write_signals() {
#ifndef _WIN32  // Windows has neither signal: its writes fail without one
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
#endif
}

std::string fatal_report(const std::string& what, const std::filesystem::path& folder) {
  std::error_code ec;
  const auto where = std::filesystem::weakly_canonical(std::filesystem::absolute(folder), ec);
  return what + "\nVantrel reads its reference files from the working directory " +
         path_text((ec ? folder : where)) +
         "; start it in the folder that holds Soil_WRC.csv, fao-crop_databse.csv and "
         "Soil_texture_default.csv.";
}

}  // namespace vantrel
