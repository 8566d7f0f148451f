// The scroll bar of a spinner in Qt Widgets: a plain vertical scroll bar that can be told to
// let go of a press whose release it will never see.
#pragma once

#include <QMouseEvent>
#include <QScrollBar>

namespace vantrel::ui {

class SpinnerBar final : public QScrollBar {
 public:
  explicit SpinnerBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent) {}

  // Whether a held press is repeating its action.
  bool repeating() const { return repeatAction() != SliderNoAction; }

  // Ends a held press and its auto-repeat as a release would. A modal message takes the
  // mouse release; without this the bar would go on repeating behind the message.
  void end_press() {
    if (!repeating() && !isSliderDown()) return;
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(-1, -1), QPointF(-1, -1),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    mouseReleaseEvent(&release);
    setRepeatAction(SliderNoAction);
  }
};

}  // namespace vantrel::ui
