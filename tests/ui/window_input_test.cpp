// The user's hand on the window: keys, clicks, typing and lists, and what reaches the dialog.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <string>
#include <utility>
#include <vector>

#include "support/window_fixture.hpp"

namespace vantrel::ui {
namespace {

using testing::Calls;

class WindowInputTest : public testing::WindowFixture {};

// The fill just inside a button's left edge, half-way down.
QColor fill_of(QWidget* button) {
  const QImage image = button->grab().toImage();
  return image.pixelColor(6, image.height() / 2);
}

TEST_F(WindowInputTest, TabVisitsTheTabStopsInCreationOrder) {
  show();
  QApplication::setActiveWindow(view->window());
  ASSERT_TRUE(QTest::qWaitForWindowActive(view->window()));
  view->widget(30002)->setFocus();
  std::vector<int> order;
  for (int i = 0; i < 18; ++i) {
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr);
    for (const int id : {30002, 30001, 1008, 1032, 1044, 1046, 1048, 1033, 1010, 1011, 1012, 1035,
                         1055, 1069, 1070, 1071, 1072}) {
      QWidget* w = view->widget(id);
      if (w == focused || w->isAncestorOf(focused)) order.push_back(id);
    }
    QTest::keyClick(focused, Qt::Key_Tab);
  }
  EXPECT_EQ(order, (std::vector<int>{30002, 30001, 1008, 1032, 1044, 1046, 1048, 1033, 1010, 1011,
                                     1012, 1035, 1055, 1069, 1070, 1071, 1072, 30002}));
}

TEST_F(WindowInputTest, TypingReachesEditsButNotReadOnlyOnes) {
  show();
  QTest::keyClicks(view->widget(1008), "55");
  std::string text;
  dialog_get_text(dialog, 1008, text);
  EXPECT_EQ(text, "55");
  for (const int id : {1046, 1069, 1070, 1071, 1072}) {
    dialog_set_text(dialog, id, " 1.0", 4);
    QTest::keyClicks(view->widget(id), "99");
    dialog_get_text(dialog, id, text);
    EXPECT_EQ(text, " 1.0") << id;
    EXPECT_EQ(widget<QLineEdit>(id)->text(), "1.0") << id;  // shown without padding blanks
  }
}

TEST_F(WindowInputTest, ArrowClicksFollowTheScrollRules) {
  show();
  dialog_set_callback(dialog, 1026, recorder());
  dialog_set_int(dialog, 1026, 110);
  click_arrow(1026, QStyle::SC_ScrollBarSubLine);
  int position = 0;
  dialog_get_int(dialog, 1026, position);
  EXPECT_EQ(position, 100);
  dialog_set_int(dialog, 1026, 110);
  click_arrow(1026, QStyle::SC_ScrollBarAddLine);
  dialog_get_int(dialog, 1026, position);
  EXPECT_EQ(position, 100);
  click_arrow(1026, QStyle::SC_ScrollBarSubLine);
  dialog_get_int(dialog, 1026, position);
  EXPECT_EQ(position, 99);
  EXPECT_EQ(widget<QScrollBar>(1026)->value(), 99);
  EXPECT_EQ(calls, (Calls{{1026, ev_changed}, {1026, ev_changed}, {1026, ev_changed}}));
}

TEST_F(WindowInputTest, ValuesSetInACallbackShowWhenItReturns) {
  show();
  QString seen_during;
  dialog_set_callback(dialog, 1045, [&](Dialog& d, int, int) {
    dialog_set_text(d, 1044, "33.0", 4);
    seen_during = widget<QLineEdit>(1044)->text();
  });
  click_arrow(1045, QStyle::SC_ScrollBarAddLine);
  EXPECT_EQ(seen_during, "");
  EXPECT_EQ(widget<QLineEdit>(1044)->text(), "33.0");
}

TEST_F(WindowInputTest, ProgramSetsShowAtOnceAndCallNothing) {
  show();
  for (const int id : {1026, 1011, 1012, 1010})
    dialog_set_callback(dialog, id, recorder());
  dialog_set_callback(dialog, 1011, recorder(), ev_edit_update);
  dialog_set_int(dialog, 1026, 30);
  dialog_set_int(dialog, 1026, -10, sel_range_min);
  dialog_set_logical(dialog, 1010, true);
  dialog_set_int(dialog, 1011, 2);
  dialog_set_text(dialog, 1011, "Grass", 5, 1);
  dialog_set_text(dialog, 1011, "Oats", 4, 2);
  dialog_set_text(dialog, 1011, "Oats", 4);
  EXPECT_EQ(widget<QScrollBar>(1026)->value(), 30);
  EXPECT_EQ(widget<QScrollBar>(1026)->minimum(), -10);
  EXPECT_TRUE(widget<QCheckBox>(1010)->isChecked());
  EXPECT_EQ(widget<QComboBox>(1011)->count(), 2);
  EXPECT_EQ(widget<QComboBox>(1011)->currentText(), "Oats");
  EXPECT_TRUE(calls.empty());
}

TEST_F(WindowInputTest, ComboChoiceAndTyping) {
  show();
  dialog_set_int(dialog, 1012, 3);
  dialog_set_text(dialog, 1012, "sand", 4, 1);
  dialog_set_text(dialog, 1012, "loamy sand", 10, 2);
  dialog_set_text(dialog, 1012, "loam", 4, 3);
  std::string during;
  dialog_set_callback(
      dialog, 1012,
      [&](Dialog& d, int id, int event) {
        calls.emplace_back(id, event);
        dialog_get_text(d, id, during);
      },
      ev_selection_changed);
  dialog_set_callback(dialog, 1012, recorder(), ev_edit_update);
  auto* combo = widget<QComboBox>(1012);
  emit combo->activated(2);  // what a choice from the list sends
  EXPECT_EQ(during, "loam");
  calls.clear();
  combo->lineEdit()->clear();
  QTest::keyClicks(combo->lineEdit(), "si");
  std::string text;
  dialog_get_text(dialog, 1012, text);
  EXPECT_EQ(text, "si");
  EXPECT_EQ(calls, (Calls{{1012, ev_edit_update}, {1012, ev_edit_update}}));
}

TEST_F(WindowInputTest, CheckBoxClick) {
  show();
  dialog_set_callback(dialog, 1010, recorder());
  QTest::mouseClick(view->widget(1010), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  bool checked = false;
  dialog_get_logical(dialog, 1010, checked);
  EXPECT_TRUE(checked);
  EXPECT_TRUE(widget<QCheckBox>(1010)->isChecked());
  EXPECT_EQ(calls, (Calls{{1010, ev_clicked}}));
}

TEST_F(WindowInputTest, EnterPressesCalculateAndEscapeKeepsTheWindow) {
  show();
  dialog_set_callback(dialog, 30002, recorder());
  dialog_set_callback(dialog, kMainDialog, recorder());
  QApplication::setActiveWindow(view->window());
  view->widget(1008)->setFocus();
  QTest::keyClick(view->widget(1008), Qt::Key_Return);
  QTest::keyClick(view->widget(1008), Qt::Key_Escape);
  EXPECT_TRUE(view->window()->isVisible());
  EXPECT_EQ(calls, (Calls{{30002, ev_clicked}}));  // the init event came before registration
}

TEST_F(WindowInputTest, TypedListTextIsNeverCompleted) {
  show();
  dialog_set_int(dialog, 1012, 2);
  dialog_set_text(dialog, 1012, "sand", 4, 1);
  dialog_set_text(dialog, 1012, "loam", 4, 2);
  dialog_set_int(dialog, 1011, 1);
  dialog_set_text(dialog, 1011, "Cabbage", 7, 1);
  dialog_set_callback(dialog, 30002, recorder());
  QApplication::setActiveWindow(view->window());
  for (const auto& [id, typed] : {std::pair{1012, "SAN"}, std::pair{1011, "Cab"}}) {
    auto* combo = widget<QComboBox>(id);
    EXPECT_EQ(combo->completer(), nullptr);
    combo->setFocus();
    combo->lineEdit()->clear();
    QTest::keyClicks(combo->lineEdit(), typed);
    EXPECT_EQ(combo->lineEdit()->text().toStdString(), typed);
    std::string text;
    dialog_get_text(dialog, id, text);
    EXPECT_EQ(text, typed);
  }
  // Enter after a typed crop presses "Calculate", not a list entry.
  QTest::keyClick(widget<QComboBox>(1011)->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(calls, (Calls{{30002, ev_clicked}}));
  std::string crop;
  dialog_get_text(dialog, 1011, crop);
  EXPECT_EQ(crop, "Cab");
}

TEST_F(WindowInputTest, SpinnerKeysInTheirEditBoxes) {
  show();
  dialog_set_callback(dialog, 1026, recorder());
  dialog_set_callback(dialog, 1038, recorder());
  dialog_set_int(dialog, 1026, 50, sel_position);
  dialog_set_int(dialog, 1038, 50, sel_position);
  QApplication::setActiveWindow(view->window());
  struct Case {
    int edit, bar;
    Qt::Key key;
    int position;  // after the key, from 50 with the default steps 1 and 10
  } cases[] = {
      {1008, 1026, Qt::Key_Up, 49},     {1008, 1026, Qt::Key_Down, 50},
      {1008, 1026, Qt::Key_PageUp, 40}, {1008, 1026, Qt::Key_PageDown, 50},
      {1032, 1038, Qt::Key_Down, 51},   {1032, 1038, Qt::Key_PageDown, 61},
  };
  for (const Case& c : cases) {
    calls.clear();
    view->widget(c.edit)->setFocus();
    QTest::keyClick(view->widget(c.edit), c.key);
    int position = 0;
    dialog_get_int(dialog, c.bar, position, sel_position);
    EXPECT_EQ(position, c.position) << c.edit << " " << c.key;
    EXPECT_EQ(widget<QScrollBar>(c.bar)->sliderPosition(), c.position);
    EXPECT_EQ(calls, (Calls{{c.bar, ev_changed}}));  // the callback a click would give
  }
  // Keys of edit boxes without a spinner, and other keys, stay with the box.
  calls.clear();
  view->widget(1046)->setFocus();
  QTest::keyClick(view->widget(1046), Qt::Key_Up);
  QTest::keyClick(view->widget(1008), Qt::Key_Left);
  EXPECT_TRUE(calls.empty());
}

TEST_F(WindowInputTest, FocusOnAButtonLooksUnlikeTheDefaultFrame) {
  show();
  QApplication::setActiveWindow(view->window());
  view->widget(1008)->setFocus();
  const QColor calculate_default = fill_of(view->widget(30002));
  const QColor exit_plain = fill_of(view->widget(30001));
  view->widget(30001)->setFocus();
  const QColor exit_focused = fill_of(view->widget(30001));
  view->widget(30002)->setFocus();
  const QColor calculate_focused = fill_of(view->widget(30002));
  // The focus fill is warm; the plain and the default button's fill are grey.
  const auto warmth = [](const QColor& c) { return c.red() - c.blue(); };
  EXPECT_LT(warmth(calculate_default), 10);
  EXPECT_LT(warmth(exit_plain), 10);
  EXPECT_GT(warmth(exit_focused), 40);
  EXPECT_GT(warmth(calculate_focused), 40);
}

}  // namespace
}  // namespace vantrel::ui
