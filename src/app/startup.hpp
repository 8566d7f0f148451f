// The start of a run, the same with a window or without: load the reference files, create
// and show the main dialog, give its controls their start values and lists, attach the routines.
#pragma once

#include <filesystem>
#include <future>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "ui/dialog.hpp"
#include "window/program.hpp"

namespace vantrel {

inline constexpr const char* kInitError = "Error initializing application vantrel";
inline constexpr const char* kInitErrorCaption = "Error";

// Exit statuses of the program.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;

// Loads the three reference files of `folder` into the program's tables, in their fixed
// order. A file that stops loading throws FatalStop.
void load_reference_files(Program& program, const std::filesystem::path& folder);
void load_reference_files(ReferenceTables& tables, const std::filesystem::path& folder);

// The reference files of the working directory read on a thread of their own, begun before the
// toolkit connects to the display: neither needs the other. start_run takes them.
class StartFiles {
 public:
  StartFiles();
  ~StartFiles();
  StartFiles(const StartFiles&) = delete;
  StartFiles& operator=(const StartFiles&) = delete;

  // Waits for the reading and hands the tables to the program; the stop's reason when a file
  // stopped loading.
  std::optional<std::string> take(Program& program);

 private:
  std::unique_ptr<ReferenceTables> tables_ = std::make_unique<ReferenceTables>();
  std::future<std::optional<std::string>> reading_;
};

// Creates the dialog from template 101 and brings it up; false when the window cannot be
// created or shown.
bool open_main_window(Program& program, ui::Dialog& dialog, int show_command);

// How a start in the working directory ended.
enum class StartOutcome { started, files_stopped, no_window };

// The start of a run, for the program and every other front end: the reference files of the
// working directory in their order, then the window with its start values and routines. A
// stop while loading is written to `errors` with where the program looked; its report also
// goes to `report` when given. On no_window nothing is written.
// With `files`, the files they read are the ones taken.
StartOutcome start_run(Program& program, ui::Dialog& dialog, int show_command, std::ostream& errors,
                       std::string* report = nullptr, StartFiles* files = nullptr);

// A trace file whose reader has gone, or that reaches the file-size limit, must fail a write,
// not end the process: SIGPIPE and SIGXFSZ are ignored, and the writes see EPIPE and EFBIG.
void ignore_write_signals();

// The report of a stop while loading, telling where the program looked.
std::string fatal_report(const std::string& what, const std::filesystem::path& folder);

}  // namespace vantrel
