#include "ui/qt/qt_platform.hpp"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QMessageBox>
#include <cstdlib>

namespace vantrel {

namespace {

constexpr int kQuitMessage = 0x0012;
constexpr int kEventsMessage = 1;

QString qt_text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void QtPlatform::post_quit(int code) {
  quit_ = true;
  quit_code_ = code;
  if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
    dispatcher->wakeUp();
  }
}

void QtPlatform::message_box(std::string_view text, std::string_view caption) {
  QMessageBox box(QMessageBox::Information, qt_text(caption), qt_text(text), QMessageBox::Ok);
  box.exec();
}

bool QtPlatform::get_message(ui::Message& message) {
  if (!quit_) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  message = quit_ ? ui::Message{kQuitMessage, quit_code_} : ui::Message{kEventsMessage, 0};
  return !quit_;
}

int message_loop(QtPlatform& platform, const ui::Dialog& dialog) {
  ui::Message message;
  while (platform.get_message(message)) {
    // Qt has already translated and dispatched the events to their widgets.
    ui::dialog_is_dialog_message(dialog, message);
  }
  return message.param;
}

bool display_available() {
  for (const char* variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

void error_box(std::string_view text, std::string_view caption) {
  QMessageBox box(QMessageBox::Critical, qt_text(caption), qt_text(text), QMessageBox::Ok);
  box.exec();
}

}  // namespace vantrel
