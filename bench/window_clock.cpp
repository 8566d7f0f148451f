// The window's start against a bare Qt dialog of the same size, in one binary so that both load
// the same libraries: milliseconds from main() to the first paint on the screen, and the memory
// resident then.
//   window_clock vantrel          (in a folder holding the reference files)
//   window_clock bare WIDTH HEIGHT
// Prints "MS KB WIDTH HEIGHT". Run under a display (Xvfb): the offscreen platform paints nothing.
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "app/startup.hpp"
#include "ui/qt/qt_dialog_view.hpp"
#include "ui/qt/qt_pictures.hpp"
#include "ui/qt/qt_platform.hpp"

namespace {

using Clock = std::chrono::steady_clock;

long resident_kb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

// Ends the loop once the first top-level window has painted and its paint has reached the
// screen (the flush follows the paint events of the same round).
class FirstPaint : public QObject {
 public:
  explicit FirstPaint(Clock::time_point start) : start_(start) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!seen_ && event->type() == QEvent::Paint && widget != nullptr && widget->isWindow()) {
      seen_ = true;
      window_ = widget;
      QTimer::singleShot(0, [this] {
        const auto ms = std::chrono::duration<double, std::milli>(Clock::now() - start_).count();
        std::printf("%.1f %ld %d %d\n", ms, resident_kb(), window_->width(), window_->height());
        QCoreApplication::quit();
      });
    }
    return false;
  }

 private:
  Clock::time_point start_;
  bool seen_ = false;
  QWidget* window_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
  const Clock::time_point start = Clock::now();
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode != "vantrel" && !(mode == "bare" && argc == 4)) {
    std::fprintf(stderr, "usage: %s vantrel | bare WIDTH HEIGHT\n", argv[0]);
    return 2;
  }
  // As the program: its reference files and pictures are read while the toolkit starts.
  std::unique_ptr<vantrel::StartFiles> files;
  std::unique_ptr<vantrel::ui::EarlyPictures> pictures;
  if (mode == "vantrel") {
    files = std::make_unique<vantrel::StartFiles>();
    pictures = std::make_unique<vantrel::ui::EarlyPictures>();
  }
  int toolkit_argc = 1;
  QApplication application(toolkit_argc, argv);
  FirstPaint painted(start);
  application.installEventFilter(&painted);
  if (mode == "bare") {
    QDialog bare;
    bare.setWindowTitle(QStringLiteral("Vantrel"));
    bare.setFixedSize(std::atoi(argv[2]), std::atoi(argv[3]));
    QLabel label(QStringLiteral("A bare dialog"), &bare);
    label.move(20, 20);
    bare.show();
    return QApplication::exec();
  }
  // The program's own start, as its main() takes it.
  using namespace vantrel;
  QtPlatform platform;
  Program program(platform, TraceUnit::from_environment());
  ui::Dialog dialog;
  dialog.set_view_factory(ui::qt_view_factory(*pictures));
  if (start_run(program, dialog, ui::show_normal, std::cerr, nullptr, files.get()) !=
      StartOutcome::started) {
    return 1;
  }
  const int status = QApplication::exec();
  ui::dialog_uninit(dialog);
  return status;
}
