// Messages shown from the window's own callbacks, as the program shows them: a held spinner
// arrow gives one message, and a window destroyed while a message is open ends cleanly.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QMessageBox>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "support/scroll_arrows.hpp"
#include "support/window_fixture.hpp"
#include "ui/dialog.hpp"
#include "ui/qt/qt_dialog_view.hpp"
#include "ui/qt/qt_pictures.hpp"
#include "ui/qt/qt_spinner_bar.hpp"

namespace vantrel::ui {
namespace {

class WindowMessagesTest : public testing::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    show();
    window = view->window();
  }

  // A callback that shows a modal message, as the program's message box does, and runs
  // `while_open` inside the message's own event loop before it is answered.
  Callback message_callback(std::function<void()> while_open = {}) {
    return [this, while_open](Dialog&, int, int) {
      ++messages;
      QMessageBox box(QMessageBox::Information, "Vantrel", "The clay field holds \"1,5\".",
                      QMessageBox::Ok);
      QTimer::singleShot(0, &box, [&] {
        if (while_open) while_open();
        box.accept();
      });
      box.exec();
    };
  }

  // The centre of a spinner arrow in the coordinates of the top-level window.
  QPoint arrow_in_window(QScrollBar* bar, QStyle::SubControl arrow) const {
    return bar->mapTo(window.data(), testing::arrow_rect(bar, arrow).center());
  }

  QPointer<QWidget> window;
  int messages = 0;
};

// The press reaches the bar through the window system and the event loop, as a user's does;
// the release never comes while the message is open. The bar must stop repeating: held past
// its repeat delay, it gives no second action and no second message.
TEST_F(WindowMessagesTest, AHeldSpinnerArrowGivesOneMessage) {
  auto* bar = dynamic_cast<SpinnerBar*>(view->widget(1026));
  ASSERT_NE(bar, nullptr);
  bool repeating_behind_the_message = true;
  dialog_set_callback(dialog, 1026,
                      message_callback([&] { repeating_behind_the_message = bar->repeating(); }));
  QWindow* handle = window->windowHandle();
  const QPoint arrow = arrow_in_window(bar, QStyle::SC_ScrollBarAddLine);
  QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, arrow);
  ASSERT_TRUE(QTest::qWaitFor([&] { return messages > 0; }, 5000));
  EXPECT_FALSE(repeating_behind_the_message);
  QTest::qWait(800);  // the bar's repeat starts after 500 ms and fires every 50 ms
  EXPECT_EQ(messages, 1);
  EXPECT_FALSE(bar->repeating());
  EXPECT_FALSE(bar->isSliderDown());
  QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, arrow);
  EXPECT_EQ(messages, 1);
  // The bar works as before: the next click is one more action.
  QTest::mouseClick(handle, Qt::LeftButton, Qt::NoModifier, arrow);
  EXPECT_TRUE(QTest::qWaitFor([&] { return messages == 2; }, 5000));
}

// Another client destroys the window while a message from a spinner is open (the key path
// and the arrow path); answering the message must end the run as "Exit" does, not crash on
// widgets that went with the window.
TEST_F(WindowMessagesTest, WindowDestroyedWhileASpinnerMessageIsOpen) {
  int destroyed = 0;
  dialog_set_callback(dialog, kMainDialog, [&](Dialog&, int, int event) {
    if (event == ev_dialog_destroyed) ++destroyed;
  });
  dialog_set_callback(dialog, 1026, message_callback([&] {
                        window->close();  // what the view does when the X window is gone
                        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                      }));
  QApplication::setActiveWindow(window);
  view->widget(1008)->setFocus();
  QTest::keyClick(view->widget(1008), Qt::Key_Up);
  EXPECT_EQ(messages, 1);
  EXPECT_TRUE(dialog.destroyed());
  EXPECT_EQ(destroyed, 1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }, 5000));
}

TEST_F(WindowMessagesTest, WindowDestroyedWhileAnArrowMessageIsOpen) {
  auto* bar = qobject_cast<QScrollBar*>(view->widget(1026));
  ASSERT_NE(bar, nullptr);
  dialog_set_callback(dialog, 1026, message_callback([&] {
                        window->close();
                        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                      }));
  QWindow* handle = window->windowHandle();
  const QPoint arrow = arrow_in_window(bar, QStyle::SC_ScrollBarSubLine);
  QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, arrow);
  ASSERT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }, 5000));
  EXPECT_EQ(messages, 1);
  EXPECT_TRUE(dialog.destroyed());
}

// A picture larger than its control shows its centre at every screen scale; a smaller one is
// left whole for the label to centre.
TEST(PicturePlacement, TheCentredPartAtEveryScale) {
  for (const int scale : {1, 2, 3}) {
    QImage drawing(176 * scale, 310 * scale, QImage::Format_RGB32);
    for (int y = 0; y < drawing.height(); ++y) {
      for (int x = 0; x < drawing.width(); ++x)
        drawing.setPixel(x, y, qRgb(x % 256, y % 256, (x / 256) * 16 + (y / 256)));
    }
    QPixmap picture = QPixmap::fromImage(drawing);
    picture.setDevicePixelRatio(scale);
    const QPixmap part = centred_part(picture, QSize(151, 277));
    EXPECT_EQ(part.deviceIndependentSize().toSize(), QSize(151, 277)) << scale;
    EXPECT_EQ(part.devicePixelRatio(), scale);
    // Its centre: 176 / 2 - 151 / 2 = 13 and 310 / 2 - 277 / 2 = 17 pixels in.
    const QImage shown = part.toImage();
    EXPECT_EQ(shown.pixel(0, 0), drawing.pixel(13 * scale, 17 * scale)) << scale;
    EXPECT_EQ(shown.pixel(shown.width() - 1, shown.height() - 1),
              drawing.pixel((13 + 151) * scale - 1, (17 + 277) * scale - 1))
        << scale;
    const QPixmap whole = centred_part(picture, QSize(200, 400));
    EXPECT_EQ(whole.deviceIndependentSize().toSize(), QSize(176, 310));
  }
}

// The lists drop to the template's height (the whole combo box, its edit field included),
// not to ten entries.
TEST_F(WindowMessagesTest, ListsDropToTheTemplatesHeight) {
  const DialogUnits& u = view->units();
  for (const auto& [id, height] : {std::pair{1011, 39}, std::pair{1012, 43}}) {
    auto* combo = qobject_cast<QComboBox*>(view->widget(id));
    ASSERT_NE(combo, nullptr);
    for (int i = 0; i < 20; ++i)
      combo->addItem(QStringLiteral("entry %1").arg(i));
    const int list = u.y(height) - u.y(14);
    EXPECT_GE(combo->maxVisibleItems(), 3) << id;
    EXPECT_LE(combo->maxVisibleItems(), 4) << id;
    // The rows the estimate assumed are the rows the list draws, within two pixels.
    const int row = combo->view()->sizeHintForRow(0);
    EXPECT_NEAR(row, combo->fontMetrics().height(), 2) << id;
    EXPECT_NEAR(combo->maxVisibleItems() * row, list, row) << id;
  }
  EXPECT_EQ(dropped_rows(75, 25, 18), 3);
  EXPECT_EQ(dropped_rows(20, 25, 18), 1);
  EXPECT_EQ(dropped_rows(75, 25, 0), 1);
}

}  // namespace
}  // namespace vantrel::ui
