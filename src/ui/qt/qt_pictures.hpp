// The window's pictures in Qt: read from the program's resources without the image plugins,
// and those of the template read early, on a thread of their own, while the toolkit starts.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QSize>
#include <future>
#include <map>

namespace vantrel::ui {

// The bitmap at scale 1; a null image when the program holds no readable one.
QImage bitmap_image(int bitmap);

// The template's bitmaps, read from when this is made (before the toolkit starts, so that
// their decoding and first touches of memory run beside it) until the window takes them.
class EarlyPictures {
 public:
  EarlyPictures();
  ~EarlyPictures();
  EarlyPictures(const EarlyPictures&) = delete;
  EarlyPictures& operator=(const EarlyPictures&) = delete;

  // The bitmap read for `bitmap`, once; a null image when it was not read early.
  QImage take(int bitmap);

 private:
  std::future<std::map<int, QImage>> reading_;
  std::map<int, QImage> read_;
};

// A picture of the template: the drawing at twice the size on screens at scale 2 or more,
// else the bitmap itself, taken from `early` when it has it.
QPixmap picture_pixmap(int bitmap, qreal device_pixel_ratio, EarlyPictures* early = nullptr);

// The centred part of a picture that a control of `shown` logical pixels can show, cut here:
// a label would offset a larger picture by half its overflow at a screen scale of 2.
QPixmap centred_part(const QPixmap& picture, QSize shown);

}  // namespace vantrel::ui
