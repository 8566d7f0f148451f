#include "ui/qt/qt_dialog_window.hpp"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QIcon>
#include <QKeyEvent>
#include <QResource>
#include <QTimer>

namespace vantrel::ui {

QByteArray resource_bytes(const QString& name) {
  const QResource resource(name);
  if (!resource.isValid()) return {};
  if (resource.compressionAlgorithm() != QResource::NoCompression) {
    return resource.uncompressedData();
  }
  return QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()),
                                 static_cast<qsizetype>(resource.size()));
}

QFont dialog_font() {
  static const int loaded = QFontDatabase::addApplicationFontFromData(
      resource_bytes(QStringLiteral(":/fonts/dialog.ttf")));
  QFont font;
  const QStringList families = QFontDatabase::applicationFontFamilies(loaded);
  font.setFamily(families.isEmpty() ? QStringLiteral("Sans Serif") : families.front());
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(12);  // base units 7 x 14: closest to those of MS Sans Serif 8 pt
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  return font;
}

DialogUnits dialog_units(const QFont& font) {
  const QFontMetrics metrics(font);
  const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  return DialogUnits::of_font(metrics.horizontalAdvance(letters), metrics.height());
}

QRect qt_rect(const Rect& r) {
  return {r.x, r.y, r.width, r.height};
}

DialogWindow::DialogWindow(std::function<void()> on_close, std::function<void()> on_blocked)
    // An application window with its own taskbar button, a caption and no close box.
    : QDialog(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      on_close_(std::move(on_close)),
      on_blocked_(std::move(on_blocked)) {}

bool DialogWindow::event(QEvent* event) {
  if (event->type() == QEvent::WindowBlocked && on_blocked_) on_blocked_();
  if (event->type() == QEvent::Paint && !painted_) {
    // The icon is the window manager's, not the first paint's: reading it loads an image
    // plugin, so it waits until the window is on the screen.
    painted_ = true;
    QTimer::singleShot(0, this,
                       [this] { setWindowIcon(QIcon(QStringLiteral(":/artwork/vantrel.ico"))); });
  }
  return QDialog::event(event);
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    event->accept();  // closing would lose the profile without asking; "Exit" is the way out
    return;
  }
  QDialog::keyPressEvent(event);
}

void DialogWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  if (on_close_) on_close_();
}

}  // namespace vantrel::ui
