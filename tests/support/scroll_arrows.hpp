// Where a scroll bar draws its arrows, for tests that press them as a user would.
#pragma once

#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

namespace vantrel::testing {

// The rectangle of one arrow (QStyle::SC_ScrollBarSubLine or AddLine), in the bar's pixels.
inline QRect arrow_rect(QScrollBar* bar, QStyle::SubControl arrow) {
  QStyleOptionSlider option;
  option.initFrom(bar);
  option.orientation = bar->orientation();
  option.minimum = bar->minimum();
  option.maximum = bar->maximum();
  option.sliderPosition = bar->sliderPosition();
  option.sliderValue = bar->value();
  option.singleStep = bar->singleStep();
  option.pageStep = bar->pageStep();
  option.subControls = QStyle::SC_All;
  return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, arrow, bar);
}

}  // namespace vantrel::testing
