// The Qt look of the dialog window: its font, its pictures, its dialog units in pixels, and
// the top-level window itself.
#pragma once

#include <QDialog>
#include <QFont>
#include <QPixmap>
#include <QRect>
#include <functional>

#include "ui/dialog_geometry.hpp"

namespace vantrel::ui {

// The font that stands in for the template's "MS Sans Serif" 8 point: Liberation Sans (metrics
// of Arial), compiled into the program so that every machine lays the window out alike.
QFont dialog_font();

// The dialog units of a Qt font, and a template rectangle in pixels as Qt's.
DialogUnits dialog_units(const QFont& font);
QRect qt_rect(const Rect& r);

// A picture of the template: the drawing at twice the size on screens at scale 2 or more,
// else the bitmap itself.
QPixmap picture_pixmap(int bitmap, qreal device_pixel_ratio);

// The centred part of a picture that a control of `shown` logical pixels can show, cut here:
// a label would offset a larger picture by half its overflow at a screen scale of 2.
QPixmap centred_part(const QPixmap& picture, QSize shown);

// The top-level application window: fixed, without close, minimise or maximise box. Escape
// does not close it; a close by the window manager is a destruction like "Exit". Its icon is
// set once it has painted.
class DialogWindow : public QDialog {
  Q_OBJECT

 public:
  // `on_blocked` runs when a modal window (a message) starts to block this one.
  DialogWindow(std::function<void()> on_close, std::function<void()> on_blocked);
  void reject() override {}

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  std::function<void()> on_close_;
  std::function<void()> on_blocked_;
  bool painted_ = false;
};

}  // namespace vantrel::ui
