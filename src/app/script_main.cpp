// vantrel-script: a whole session without a window, its commands read from standard input.
// It starts as the program does, in the working directory, on the same files.
#include <iostream>

#include "app/script.hpp"
#include "app/startup.hpp"
#include "data/reference_file.hpp"

int main() {
  using namespace vantrel;
  std::ios::sync_with_stdio(false);
  ignore_write_signals();
  ScriptPlatform platform(std::cout);
  Program program(platform, SideUnit::from_environment());
  try {
    load_reference_files(program, ".");
  } catch (const FatalStop& stop) {
    std::cout.flush();
    std::cerr << fatal_report(stop.what(), ".") << '\n';
    return kExitFailed;
  }
  ui::Dialog dialog;
  dialog.set_view_factory(ui::make_headless_view);
  if (!open_main_window(program, dialog, ui::show_normal)) {
    std::cerr << kInitError << '\n';
    return kExitFailed;
  }
  DialogDriver driver(dialog);
  const int status = run_script(std::cin, std::cout, std::cerr, dialog, driver, platform);
  ui::dialog_uninit(dialog);
  std::cout.flush();
  return status;
}
