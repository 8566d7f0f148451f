// Writes the main window as a PNG, to look at it without a display. It starts as the program
// does in the working directory, then runs a session script from standard input, if any:
//   QT_QPA_PLATFORM=offscreen window_shot out.png < session.txt
#include <QApplication>
#include <QPixmap>
#include <cstdio>
#include <iostream>
#include <sstream>

#include "app/script.hpp"
#include "app/startup.hpp"
#include "ui/qt/qt_dialog_view.hpp"

int main(int argc, char** argv) {
  using namespace vantrel;
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s file.png < script\n", argv[0]);
    return 2;
  }
  ignore_write_signals();
  QApplication app(argc, argv);
  ScriptPlatform platform(std::cout);
  Program program(platform, TraceUnit::from_environment());
  ui::Dialog dialog;
  ui::QtDialogView* view = nullptr;
  dialog.set_view_factory([&](ui::Dialog& d) {
    auto made = std::make_unique<ui::QtDialogView>(d);
    view = made.get();
    return made;
  });
  if (const StartOutcome start = start_run(program, dialog, ui::show_normal, std::cerr);
      start != StartOutcome::started) {
    if (start == StartOutcome::no_window) std::cerr << kInitError << '\n';
    return 1;
  }
  DialogDriver driver(dialog);
  const int status = run_script(std::cin, std::cout, std::cerr, dialog, driver, platform);
  if (status != 0 || dialog.destroyed()) return status == 0 ? 1 : status;
  // Typed texts went to the dialog as a user's typing does, without passing through the
  // widgets: show every control as the dialog holds it.
  for (const ui::TemplateControl& item : dialog.dialog_template()->controls) {
    if (const ui::Control* c = dialog.control(item.id); c != nullptr && item.id != ui::kNoId) {
      view->refresh(*c);
    }
  }
  QApplication::processEvents();
  if (!view->window()->grab().save(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
