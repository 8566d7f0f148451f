// vantrel-script: a whole session without a window, its commands read from standard input.
// It starts as the program does, in the working directory, on the same files.
#include <iostream>
#include <string_view>

#include "app/script.hpp"
#include "app/startup.hpp"

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
  Program program(platform, SideUnit::from_environment());
  ui::Dialog dialog;
  dialog.set_view_factory(ui::make_headless_view);
  switch (start_run(program, dialog, ui::show_normal, std::cerr)) {
    case StartOutcome::started:
      break;
    case StartOutcome::files_stopped:
      return kExitFailed;
    case StartOutcome::no_window:
      std::cerr << kInitError << '\n';
      return kExitFailed;
  }
  DialogDriver driver(dialog);
  const int status = run_script(std::cin, std::cout, std::cerr, dialog, driver, platform);
  ui::dialog_uninit(dialog);
  std::cout.flush();
  return status;
}
