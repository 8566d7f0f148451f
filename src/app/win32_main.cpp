// The Windows program's entry: the start of a run, the message loop and the end.
#include <windows.h>

#include <iostream>
#include <memory>
#include <string>

#include "app/startup.hpp"
#include "ui/win32/win32_dialog_view.hpp"
#include "ui/win32/win32_platform.hpp"

// The command line is not used; only the show state is passed on.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_state) {
  using namespace vantrel;
  ui::Win32Platform platform;
  Program program(platform, TraceUnit::from_environment());
  ui::Dialog dialog;
  ui::Win32DialogView* view = nullptr;  // owned by the dialog
  dialog.set_view_factory([&view, instance](ui::Dialog& d) {
    auto made = std::make_unique<ui::Win32DialogView>(d, instance);
    view = made.get();
    return made;
  });
  std::string report;
  const StartOutcome start = start_run(program, dialog, show_state, std::cerr, &report);
  if (start == StartOutcome::files_stopped) {
    ui::error_box(report, "Vantrel");
    return kExitFailed;
  }
  if (start == StartOutcome::no_window) {
    // Not the status 0 of a success: the program did not run.
    ui::error_box(kInitError, kInitErrorCaption);
    return kExitFailed;
  }
  platform.set_owner(view->window());
  const int code = ui::message_loop(dialog, view);
  ui::dialog_uninit(dialog);
  return code;
}
