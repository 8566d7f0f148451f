#include "ui/qt/qt_pictures.hpp"

#include <QResource>
#include <QString>
#include <cstdint>
#include <string_view>
#include <utility>

#include "ui/dialog_bitmap.hpp"
#include "ui/dialog_geometry.hpp"
#include "ui/dialog_template.hpp"
#include "ui/qt/qt_dialog_window.hpp"

namespace vantrel::ui {

namespace {

QString bitmap_name(int bitmap) {
  return QStringLiteral(":/artwork/bitmap%1.bmp").arg(bitmap);
}

}  // namespace

QImage bitmap_image(int bitmap) {
  const QByteArray bytes = resource_bytes(bitmap_name(bitmap));
  const std::string_view file(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  const auto size = bmp_size(file);
  if (!size) return {};
  // Read straight into the image a pixmap takes over: one copy of the pixels.
  QImage image(size->width, size->height, QImage::Format_RGB32);
  if (image.isNull() ||
      !read_bmp_into(file, reinterpret_cast<std::uint32_t*>(image.bits()),
                     static_cast<std::size_t>(image.bytesPerLine()) / sizeof(std::uint32_t))) {
    return {};
  }
  return image;
}

EarlyPictures::EarlyPictures()
    : reading_(std::async(std::launch::async, [] {
        std::map<int, QImage> read;
        if (const DialogTemplate* t = find_template(kMainDialog)) {
          for (const TemplateControl& item : t->controls) {
            if (item.kind == ControlKind::picture)
              read.emplace(item.bitmap, bitmap_image(item.bitmap));
          }
        }
        return read;
      })) {}

EarlyPictures::~EarlyPictures() {
  if (reading_.valid()) reading_.wait();
}

QImage EarlyPictures::take(int bitmap) {
  if (reading_.valid()) read_ = reading_.get();
  const auto it = read_.find(bitmap);
  if (it == read_.end()) return {};
  QImage image = std::move(it->second);
  read_.erase(it);
  return image;
}

QPixmap picture_pixmap(int bitmap, qreal device_pixel_ratio, EarlyPictures* early) {
  if (device_pixel_ratio > 1.0) {
    QPixmap sharp(QStringLiteral(":/artwork/bitmap%1@2x.png").arg(bitmap));
    if (!sharp.isNull()) {
      sharp.setDevicePixelRatio(2.0);  // drawn at twice the size: the same place on screen
      return sharp;
    }
  }
  QImage image = early != nullptr ? early->take(bitmap) : QImage();
  if (image.isNull()) image = bitmap_image(bitmap);
  if (!image.isNull()) return QPixmap::fromImage(std::move(image));
  return QPixmap(bitmap_name(bitmap));  // not a BMP this reader knows: the image plugins
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

}  // namespace vantrel::ui
