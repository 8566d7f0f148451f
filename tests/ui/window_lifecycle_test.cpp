// The window's start and end: the init event after the values, "Exit" and a close by the window
// manager.
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

class WindowLifecycleTest : public testing::WindowFixture {};

TEST_F(WindowLifecycleTest, ExitDestroysOnce) {
  show();
  dialog_set_callback(dialog, kMainDialog, recorder());
  QTest::mouseClick(view->widget(30001), Qt::LeftButton);
  EXPECT_TRUE(dialog.destroyed());
  EXPECT_FALSE(view->window()->isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(view->window(), nullptr);
  EXPECT_EQ(calls, (Calls{{kMainDialog, ev_dialog_destroyed}}));
}

TEST_F(WindowLifecycleTest, WindowManagerCloseIsADestroyToo) {
  show();
  dialog_set_callback(dialog, kMainDialog, recorder());
  view->window()->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(dialog.destroyed());
  EXPECT_EQ(calls, (Calls{{kMainDialog, ev_dialog_destroyed}}));
}

TEST_F(WindowLifecycleTest, InitEventComesAfterTheValuesAreShown) {
  dialog_set_text(dialog, 1057, "loam", 4);
  QString shown;
  dialog_set_callback(dialog, kMainDialog, [&](Dialog&, int, int event) {
    if (event == ev_dialog_init) shown = qobject_cast<QLabel*>(view->widget(1057))->text();
  });
  show();
  EXPECT_EQ(shown, "loam");
}

}  // namespace
}  // namespace vantrel::ui
