#include "ui/qt/qt_dialog_style.hpp"

#include <QApplication>
#include <QGroupBox>
#include <QPainter>
#include <QPushButton>
#include <QStyleOption>

namespace vantrel::ui {

namespace {

// The keyboard focus on a button must not look like the default button's frame: the default
// button has a solid dark frame, the focused one a dashed frame on a light fill.
void draw_button_panel(const QStyleOptionButton& button, QPainter& painter) {
  const bool is_default = (button.features & QStyleOptionButton::DefaultButton) != 0;
  const bool focused = (button.state & QStyle::State_HasFocus) != 0;
  const bool pressed = (button.state & (QStyle::State_Sunken | QStyle::State_On)) != 0;
  const int width = is_default ? 2 : 1;
  QColor border(0x7a, 0x7a, 0x7a);
  if (is_default) border = QColor(0x23, 0x45, 0x6f);
  if (focused) border = QColor(0x1d, 0x5f, 0xb0);

  const QRectF outline =
      QRectF(button.rect).adjusted(width / 2.0, width / 2.0, -width / 2.0, -width / 2.0);
  QBrush fill(QColor(0xcf, 0xcf, 0xcf));
  if (focused) {
    fill = QColor(0xff, 0xf1, 0xb8);
  } else if (!pressed) {
    QLinearGradient shade(outline.topLeft(), outline.bottomLeft());
    shade.setColorAt(0, QColor(0xfd, 0xfd, 0xfd));
    shade.setColorAt(1, QColor(0xe2, 0xe2, 0xe2));
    fill = shade;
  }
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(border, width, focused ? Qt::DashLine : Qt::SolidLine));
  painter.setBrush(fill);
  painter.drawRoundedRect(outline, 3, 3);
  painter.restore();
}

// A group box's frame as shades of black over what lies behind, so that nested frames show
// through: a dark outer line, a light inner one and a faint fill, the corners rounded by a
// pixel. `frame` is the line's outer rectangle.
void draw_frame(const QRect& frame, QPainter& painter) {
  const auto shade = [&painter](int x, int y, int width, int height, int alpha) {
    if (width > 0 && height > 0) painter.fillRect(x, y, width, height, QColor(0, 0, 0, alpha));
  };
  const auto ring = [&shade](const QRect& r, int line, int next_to_corner, int corner) {
    const int w = r.width();
    const int h = r.height();
    for (const int y : {r.top(), r.bottom()}) {
      shade(r.left(), y, 1, 1, corner);
      shade(r.left() + 1, y, 1, 1, next_to_corner);
      shade(r.left() + 2, y, w - 4, 1, line);
      shade(r.right() - 1, y, 1, 1, next_to_corner);
      shade(r.right(), y, 1, 1, corner);
    }
    for (const int x : {r.left(), r.right()}) {
      shade(x, r.top() + 1, 1, 1, next_to_corner);
      shade(x, r.top() + 2, 1, h - 4, line);
      shade(x, r.bottom() - 1, 1, 1, next_to_corner);
    }
  };
  if (frame.width() < 4 || frame.height() < 4) return;
  ring(frame, 26, 32, 11);
  const QRect inner = frame.adjusted(1, 1, -1, -1);
  if (inner.width() >= 4 && inner.height() >= 4) ring(inner, 7, 7, 19);
  shade(inner.left() + 1, inner.top() + 1, inner.width() - 2, inner.height() - 2, 3);
}

// Where a group box's line runs: below its title (a line of text or a check box, and a gap),
// a pixel in from the top and left.
QRect group_frame(const QStyleOption& option, const QWidget* widget, const QStyle& style) {
  const auto* box = qobject_cast<const QGroupBox*>(widget);
  const bool titled = box == nullptr || box->isCheckable() || !box->title().isEmpty();
  const int title =
      titled ? std::max(style.pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, &option, widget),
                        option.fontMetrics.height())
             : 0;
  return option.rect.adjusted(1, title + 4, 0, 0);
}

}  // namespace

DialogStyle::DialogStyle() : QProxyStyle(QApplication::style()->name()) {}

void DialogStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const {
  const bool on_button = qobject_cast<const QPushButton*>(widget) != nullptr;
  switch (element) {
    case PE_PanelButtonCommand:
      if (const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
          button != nullptr && on_button) {
        draw_button_panel(*button, *painter);
        return;
      }
      break;
    case PE_FrameDefaultButton:
    case PE_FrameFocusRect:
      if (on_button) return;  // the panel shows both
      break;
    case PE_FrameGroupBox:
      draw_frame(group_frame(*option, widget, *this), *painter);
      return;
    default:
      break;
  }
  QProxyStyle::drawPrimitive(element, option, painter, widget);
}

}  // namespace vantrel::ui
