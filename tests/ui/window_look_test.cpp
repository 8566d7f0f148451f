// What the window's buttons and frames look like, and that drawing them reads no picture.
#include <gtest/gtest.h>

#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <vector>

#include "support/window_fixture.hpp"

namespace vantrel::ui {
namespace {

class WindowLookTest : public testing::WindowFixture {};

// The image plugins this process has loaded, from its memory map.
QStringList image_plugins() {
  QFile maps(QStringLiteral("/proc/self/maps"));
  QStringList found;
  if (!maps.open(QIODevice::ReadOnly)) return found;
  for (const QByteArray& line : maps.readAll().split('\n')) {
    if (line.contains("/imageformats/")) found << QString::fromUtf8(line.mid(line.indexOf('/')));
  }
  found.removeDuplicates();
  return found;
}

QColor rgb(QRgb value) {
  return QColor::fromRgb(value);
}

TEST_F(WindowLookTest, ButtonsShowDefaultFocusAndPressApart) {
  show();
  QApplication::setActiveWindow(view->window());
  struct Case {
    int focus;    // the control holding the focus
    int button;   // the button looked at
    bool down;    // held down by the mouse
    QColor edge;  // the left edge's colour half-way down
    bool dashed;  // whether that edge has gaps
    QColor fill;  // just inside the edge
  };
  const QColor plain_fill = rgb(0xefefef);  // the gradient's middle, roughly
  const std::vector<Case> cases = {
      {1008, 30001, false, rgb(0x7a7a7a), false, plain_fill},     // a plain button
      {1008, 30002, false, rgb(0x23456f), false, plain_fill},     // the default button
      {30001, 30001, false, rgb(0x1d5fb0), true, rgb(0xfff1b8)},  // focus on a plain one
      {30002, 30002, false, rgb(0x1d5fb0), true, rgb(0xfff1b8)},  // focus on the default
      {1008, 30001, true, rgb(0x7a7a7a), false, rgb(0xcfcfcf)},   // pressed, focus elsewhere
  };
  for (const Case& c : cases) {
    view->widget(c.focus)->setFocus();
    auto* button = widget<QPushButton>(c.button);
    button->setDown(c.down);
    const QImage image = button->grab().toImage();
    button->setDown(false);
    const int middle = image.height() / 2;
    const QColor fill = image.pixelColor(6, middle);
    EXPECT_NEAR(fill.red(), c.fill.red(), 12) << c.focus << " " << c.button << " " << c.down;
    EXPECT_NEAR(fill.blue(), c.fill.blue(), 12) << c.focus << " " << c.button << " " << c.down;
    int on_edge = 0;
    const int rows = image.height() - 8;  // the rounded corners left out
    for (int y = 4; y < image.height() - 4; ++y) {
      if (image.pixelColor(0, y) == c.edge) ++on_edge;
    }
    if (c.dashed) {
      EXPECT_GT(on_edge, rows / 4) << c.button;
      EXPECT_LT(on_edge, rows) << c.button;
    } else {
      EXPECT_EQ(on_edge, rows) << c.button;
    }
  }
}

// Every frame's line runs below its title, and a frame inside another still shows: the outer
// one's fill must not hide it.
TEST_F(WindowLookTest, FramesShowTheirLinesNestedOnesToo) {
  show();
  const QImage window = view->window()->grab().toImage();
  const QColor background = view->window()->palette().window().color();
  const QList<QGroupBox*> frames = view->window()->findChildren<QGroupBox*>();
  ASSERT_GE(frames.size(), 8);
  int nested = 0;
  for (const QGroupBox* frame : frames) {
    const QRect r = frame->geometry();
    const int top = r.top() + (frame->title().isEmpty() ? 4 : 4 + frame->fontMetrics().height());
    const int middle = (top + r.bottom()) / 2;
    const QColor line = window.pixelColor(r.left() + 1, middle);
    const QColor inside = window.pixelColor(r.left() + 3, middle);
    EXPECT_LT(line.value() + 12, inside.value()) << frame->title().toStdString();
    EXPECT_LT(inside.value(), background.value()) << frame->title().toStdString();
    EXPECT_EQ(window.pixelColor(r.left() + 1, top - 1).value(),
              window.pixelColor(r.left() + 3, top - 1).value())
        << frame->title().toStdString() << ": nothing drawn above the line at the side";
    for (const QGroupBox* other : frames) {
      if (other != frame && other->geometry().contains(r)) ++nested;
    }
  }
  EXPECT_GE(nested, 2);  // the profile table's two halves
}

// Drawing the window reads no picture through the image plugins; the icon, which does, comes
// after the first paint. Each test runs in a process of its own, so the plugins loaded before
// are this test's own.
TEST_F(WindowLookTest, FirstPaintLoadsNoImagePluginTheIconFollows) {
  const QStringList before = image_plugins();
  ASSERT_TRUE(ui::dialog_show_modeless(dialog, ui::show_hidden));
  QCoreApplication::processEvents();
  EXPECT_TRUE(view->window()->windowIcon().isNull()) << "an icon before any paint";
  view->window()->grab();
  EXPECT_EQ(image_plugins(), before);
  QTRY_VERIFY(!view->window()->windowIcon().isNull());
}

}  // namespace
}  // namespace vantrel::ui
