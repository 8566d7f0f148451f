// Writes the main window as a PNG, to look at it without a display:
//   QT_QPA_PLATFORM=offscreen window_shot out.png
#include <QApplication>
#include <QPixmap>
#include <cstdio>

#include "ui/dialog.hpp"
#include "ui/qt_dialog_view.hpp"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s file.png\n", argv[0]);
    return 2;
  }
  QApplication app(argc, argv);
  vantrel::ui::Dialog dialog;
  vantrel::ui::QtDialogView* view = nullptr;
  dialog.set_view_factory([&](vantrel::ui::Dialog& d) {
    auto made = std::make_unique<vantrel::ui::QtDialogView>(d);
    view = made.get();
    return made;
  });
  if (!vantrel::ui::dialog_init(vantrel::ui::kMainDialog, dialog) ||
      !vantrel::ui::dialog_show_modeless(dialog)) {
    std::fprintf(stderr, "the window cannot be shown\n");
    return 1;
  }
  QApplication::processEvents();
  if (!view->window()->grab().save(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
