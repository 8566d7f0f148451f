#include "ui/qt/qt_dialog_window.hpp"

#include <QCloseEvent>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <cstring>

#include "ui/dialog_bitmap.hpp"

namespace vantrel::ui {

// Read without the image plugins, whose loading would be most of the window's start.
QPixmap picture_pixmap(int bitmap, qreal device_pixel_ratio) {
  if (device_pixel_ratio > 1.0) {
    QPixmap sharp(QStringLiteral(":/artwork/bitmap%1@2x.png").arg(bitmap));
    if (!sharp.isNull()) {
      sharp.setDevicePixelRatio(2.0);  // drawn at twice the size: the same place on screen
      return sharp;
    }
  }
  const QString name = QStringLiteral(":/artwork/bitmap%1.bmp").arg(bitmap);
  QFile file(name);
  if (file.open(QIODevice::ReadOnly)) {
    const QByteArray bytes = file.readAll();
    if (const auto read = read_bmp(std::string_view(bytes.constData(), bytes.size()))) {
      QImage image(read->width, read->height, QImage::Format_RGB32);
      for (int y = 0; y < read->height; ++y) {
        std::memcpy(image.scanLine(y),
                    read->pixels.data() + static_cast<std::size_t>(y) * read->width,
                    static_cast<std::size_t>(read->width) * sizeof(std::uint32_t));
      }
      return QPixmap::fromImage(image);
    }
  }
  return QPixmap(name);
}

QPixmap centred_part(const QPixmap& picture, QSize shown) {
  const qreal ratio = picture.devicePixelRatio();
  const QSize size = picture.deviceIndependentSize().toSize();
  const Rect part = ui::centred_part(size.width(), size.height(), shown.width(), shown.height());
  if (part.width == size.width() && part.height == size.height()) return picture;
  QPixmap cut = picture.copy(QRect(QPoint(part.x, part.y) * ratio,
                                   QSize(part.width, part.height) * ratio));  // device pixels
  cut.setDevicePixelRatio(ratio);
  return cut;
}

QFont dialog_font() {
  static const int loaded = QFontDatabase::addApplicationFont(":/fonts/dialog.ttf");
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
