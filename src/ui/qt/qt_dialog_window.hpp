// The Qt look of the dialog window: its font, its dialog units in pixels, and the top-level
// window itself.
#pragma once

#include <QDialog>
#include <QFont>
#include <QRect>
#include <functional>

#include "ui/dialog_geometry.hpp"

namespace vantrel::ui {

// The font that stands in for the template's "MS Sans Serif" 8 point: Liberation Sans (metrics
// of Arial), compiled into the program so that every machine lays the window out alike.
QFont dialog_font();

// A resource's bytes where the program holds them, not a copy (the font and the pictures are
// stored uncompressed for that); empty when there is no such resource.
QByteArray resource_bytes(const QString& name);

// The dialog units of a Qt font, and a template rectangle in pixels as Qt's.
DialogUnits dialog_units(const QFont& font);
QRect qt_rect(const Rect& r);

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
