// vantrel-script: a whole session without a window, its commands read from standard input.
// It starts as the program does, in the working directory, on the same files.
#include <iostream>
#include <memory>
#include <string_view>

#include "app/script.hpp"
#include "app/startup.hpp"
#include "cli/command_line.hpp"
#ifdef _WIN32
#include "app/win32_script_driver.hpp"
#endif

namespace {

constexpr const char* kUsage =
    "usage: vantrel-script < SCRIPT\n"
    "Runs a Vantrel session without a window: starts as the program does, in the working\n"
    "directory on its reference files, then performs the commands of standard input, one a\n"
    "line (scroll, type, choose, click, text, position, checked, entries; see the manual).\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace vantrel;
  write_standard_streams_as_is();
  if (argc > 1) {
    const std::string_view arg = argv[1];
    if (argc == 2 && (arg == "--help" || arg == "-h")) {
      std::cout << kUsage;
      return 0;
    }
    if (argc == 2 && arg == "--version") {
      std::cout << "vantrel-script " << VANTREL_VERSION << '\n';
      return 0;
    }
    std::cerr << "vantrel-script: unknown argument " << arg << " (see --help)\n";
    return kScriptMalformed;
  }
  std::ios::sync_with_stdio(false);
  ignore_write_signals();
  ScriptPlatform platform(std::cout);
  Program program(platform, TraceUnit::from_environment());
  ui::Dialog dialog;
#ifdef _WIN32
  // The session drives the real window, hidden: no window pops up while it runs.
  ui::Win32DialogView* view = nullptr;  // owned by the dialog
  dialog.set_view_factory([&view](ui::Dialog& d) {
    auto made = std::make_unique<ui::Win32DialogView>(d, GetModuleHandleW(nullptr));
    view = made.get();
    return made;
  });
  const int show_command = ui::show_hidden;
#else
  dialog.set_view_factory(ui::make_headless_view);
  const int show_command = ui::show_normal;
#endif
  switch (start_run(program, dialog, show_command, std::cerr)) {
    case StartOutcome::started:
      break;
    case StartOutcome::files_stopped:
      return kExitFailed;
    case StartOutcome::no_window:
      std::cerr << kInitError << '\n';
      return kExitFailed;
  }
#ifdef _WIN32
  Win32ScriptDriver driver(*view);
#else
  DialogDriver driver(dialog);
#endif
  const int status = run_script(std::cin, std::cout, std::cerr, dialog, driver, platform);
  ui::dialog_uninit(dialog);
  std::cout.flush();
  return status;
}
