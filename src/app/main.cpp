// The program's entry: the start of a run, the message loop and the end.
#include <QApplication>
#include <cstdio>
#include <iostream>
#include <memory>

#include "app/startup.hpp"
#include "ui/qt/qt_dialog_view.hpp"
#include "ui/qt/qt_pictures.hpp"
#include "ui/qt/qt_platform.hpp"

namespace {

constexpr int kShowNormal = 1;

// A display that Qt cannot open ends in a toolkit abort; end with the start-up error instead.
void on_qt_message(QtMsgType type, const QMessageLogContext&, const QString& message) {
  std::fprintf(stderr, "%s\n", qPrintable(message));
  if (type == QtFatalMsg) {
    std::fprintf(stderr, "%s: the display cannot be opened\n", vantrel::kInitError);
    std::_Exit(vantrel::kExitFailed);
  }
}

// WinMain's steps. The command line is not used; only the show state is passed on. The toolkit
// gets the program's name alone, so no argument can change the window or the platform.
int WinMain(char* program_name, int show_state) {
  using namespace vantrel;
  ignore_write_signals();
  StartFiles files;  // read while the toolkit starts, as are the pictures
  ui::EarlyPictures pictures;
  qInstallMessageHandler(on_qt_message);
  int toolkit_argc = 1;
  char* toolkit_argv[] = {program_name, nullptr};
  std::unique_ptr<QApplication> application;
  if (display_available()) {
    application = std::make_unique<QApplication>(toolkit_argc, toolkit_argv);
  }

  QtPlatform platform;
  Program program(platform, TraceUnit::from_environment());
  ui::Dialog dialog;
  dialog.set_view_factory(ui::qt_view_factory(pictures));  // without a toolkit, no window
  std::string report;
  const StartOutcome start = start_run(program, dialog, show_state, std::cerr, &report, &files);
  if (start == StartOutcome::files_stopped) {
    if (application) error_box(report, "Vantrel");
    return kExitFailed;
  }
  if (start == StartOutcome::no_window) {
    // Not the status 0 of a success: the program did not run.
    std::cerr << kInitError << (application ? "" : ": no display (DISPLAY is not set)") << '\n';
    if (application) error_box(kInitError, kInitErrorCaption);
    return kExitFailed;
  }
  const int code = message_loop(platform, dialog);
  ui::dialog_uninit(dialog);
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  static char fallback_name[] = "vantrel";
  return WinMain(argc > 0 && argv[0] != nullptr ? argv[0] : fallback_name, kShowNormal);
}
