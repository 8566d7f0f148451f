// Small event filters of the Qt view: the focus of a combo box, the keys of an edit box, and a
// window destroyed by another X client.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <cstring>
#include <functional>

namespace vantrel::ui {

// Reports focus changes of a combo box; Qt has no signal for them.
class FocusWatcher : public QObject {
 public:
  FocusWatcher(QObject* parent, std::function<void(bool)> report)
      : QObject(parent), report_(std::move(report)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::FocusIn) report_(true);
    if (event->type() == QEvent::FocusOut) report_(false);
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void(bool)> report_;
};

// Hands the keys of a widget to a function, which says whether it took them.
class KeyWatcher : public QObject {
 public:
  KeyWatcher(QObject* parent, std::function<bool(int)> take)
      : QObject(parent), take_(std::move(take)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier &&
        take_(static_cast<QKeyEvent*>(event)->key())) {
      return true;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<bool(int)> take_;
};

// Sees the X server destroy a window from outside (an XDestroyWindow by another client, as
// `xdotool windowclose` does), which Qt itself does not report.
class ForeignDestroyWatcher : public QAbstractNativeEventFilter {
 public:
  ForeignDestroyWatcher(QWidget* window, std::function<void()> destroyed)
      : window_(window), destroyed_(std::move(destroyed)) {}

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr* /*result*/) override {
    if (type != "xcb_generic_event_t" || window_ == nullptr) return false;
    // X11 protocol: a DestroyNotify event (code 17) names the destroyed window at byte 8.
    constexpr std::uint8_t kDestroyNotify = 17;
    const auto* bytes = static_cast<const unsigned char*>(message);
    if ((bytes[0] & 0x7F) != kDestroyNotify) return false;
    std::uint32_t destroyed = 0;
    std::memcpy(&destroyed, bytes + 8, sizeof destroyed);
    if (destroyed == static_cast<std::uint32_t>(window_->winId()) && destroyed_) destroyed_();
    return false;
  }

 private:
  QPointer<QWidget> window_;
  std::function<void()> destroyed_;
};

}  // namespace vantrel::ui
