// The program's entry: the start of a run, the message loop and the end.
#include <QApplication>
#include <cstdio>
#include <iostream>
#include <memory>

#include "app/qt_platform.hpp"
#include "app/startup.hpp"
#include "data/reference_file.hpp"
#include "ui/qt_dialog_view.hpp"

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

// WinMain's steps. The command line is not used; only the show state is passed on.
int WinMain(int& argc, char** argv, int show_state) {
  using namespace vantrel;
  qInstallMessageHandler(on_qt_message);
  std::unique_ptr<QApplication> application;
  if (display_available()) application = std::make_unique<QApplication>(argc, argv);

  QtPlatform platform;
  Program program(platform, SideUnit::from_environment());
  try {
    load_reference_files(program, ".");
  } catch (const FatalStop& stop) {
    const std::string report = fatal_report(stop.what(), ".");
    std::cerr << report << '\n';
    if (application) error_box(report, "Vantrel");
    return kExitFailed;
  }

  ui::Dialog dialog;
  dialog.set_view_factory(ui::make_qt_view);
  if (!application || !open_main_window(program, dialog, show_state)) {
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
  return WinMain(argc, argv, kShowNormal);
}
