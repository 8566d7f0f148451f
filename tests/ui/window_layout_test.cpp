// The window as the template lays it out: every control at its place, captions whole, hidden
// controls, pictures, the kind of window.
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

#include "artwork/soil_profile.hpp"
#include "support/window_fixture.hpp"
#include "ui/qt/qt_pictures.hpp"

namespace vantrel::ui {
namespace {

using testing::Calls;

class WindowLayoutTest : public testing::WindowFixture {};

TEST_F(WindowLayoutTest, EveryControlAtItsPlace) {
  show();
  const DialogUnits& u = view->units();
  EXPECT_GE(u.base_x, 5);
  EXPECT_GE(u.base_y, 11);
  const DialogTemplate& t = *dialog.dialog_template();
  EXPECT_EQ(view->window()->size(), QSize(u.x(516), u.y(353)));
  EXPECT_EQ(view->window()->windowTitle().toStdString(), std::string(t.caption));
  const Qt::WindowFlags flags = view->window()->windowFlags();
  EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(view->window()->minimumSize(), view->window()->maximumSize());

  const QList<QWidget*> children =
      view->window()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
  int made = 0;
  for (QWidget* child : children) {
    if (qobject_cast<QGroupBox*>(child) || qobject_cast<QLabel*>(child) ||
        qobject_cast<QLineEdit*>(child) || qobject_cast<QComboBox*>(child) ||
        qobject_cast<QScrollBar*>(child) || qobject_cast<QPushButton*>(child) ||
        qobject_cast<QCheckBox*>(child)) {
      ++made;
    }
  }
  EXPECT_EQ(made, 115);

  for (const TemplateControl& item : t.controls) {
    if (item.id == kNoId) continue;
    QWidget* w = view->widget(item.id);
    ASSERT_NE(w, nullptr) << item.id;
    QRect expected = qt_rect(u.pixels(item.rect));
    if (item.kind == ControlKind::combo_box) expected.setHeight(u.y(14));
    if (item.kind == ControlKind::static_text || item.kind == ControlKind::check_box) {
      // May be wider than the template to show the whole caption: never narrower.
      EXPECT_EQ(w->y(), expected.y()) << item.id;
      EXPECT_EQ(w->height(), expected.height()) << item.id;
      EXPECT_GE(w->width(), expected.width()) << item.id;
      const int anchor = item.align == Align::left ? w->x() : w->geometry().center().x();
      const int wanted = item.align == Align::left ? expected.x() : expected.center().x();
      EXPECT_NEAR(anchor, wanted, 1) << item.id;
    } else {
      EXPECT_EQ(w->geometry(), expected) << item.id;
    }
    const QString caption = QString::fromUtf8(item.caption.data(), item.caption.size());
    switch (item.kind) {
      case ControlKind::push_button:
        EXPECT_EQ(qobject_cast<QPushButton*>(w)->text(), caption);
        break;
      case ControlKind::check_box:
        EXPECT_EQ(qobject_cast<QCheckBox*>(w)->text(), caption);
        break;
      case ControlKind::static_text:
        EXPECT_EQ(qobject_cast<QLabel*>(w)->text(), caption) << item.id;
        break;
      case ControlKind::edit:
        EXPECT_EQ(qobject_cast<QLineEdit*>(w)->isReadOnly(), item.read_only) << item.id;
        break;
      case ControlKind::scroll_bar:
        EXPECT_EQ(qobject_cast<QScrollBar*>(w)->orientation(), Qt::Vertical);
        break;
      case ControlKind::combo_box:
        EXPECT_TRUE(qobject_cast<QComboBox*>(w)->isEditable());
        break;
      default:
        break;
    }
  }
  EXPECT_TRUE(widget<QPushButton>(30002)->isDefault());
  EXPECT_FALSE(widget<QPushButton>(30001)->isDefault());
}

// Every caption is shown whole, and no control covers another.
TEST_F(WindowLayoutTest, EveryCaptionFitsAndNothingOverlaps) {
  show();
  const QFontMetrics metrics(view->window()->font());
  const DialogUnits& u = view->units();
  std::vector<std::pair<int, QRect>> placed;  // controls other than frames and pictures
  for (const TemplateControl& item : dialog.dialog_template()->controls) {
    QWidget* w = view->created(item.order);
    ASSERT_NE(w, nullptr);
    const QString caption = QString::fromUtf8(item.caption.data(), item.caption.size()).trimmed();
    EXPECT_TRUE(view->window()->rect().contains(w->geometry())) << "#" << item.order;
    if (item.kind != ControlKind::frame && item.kind != ControlKind::picture && !item.hidden) {
      placed.emplace_back(item.order, w->geometry());
    }
    if (caption.isEmpty()) continue;
    const int text = metrics.horizontalAdvance(caption);
    switch (item.kind) {
      case ControlKind::static_text:
        EXPECT_LE(text, w->width()) << '"' << caption.toStdString() << "\" #" << item.order;
        EXPECT_LE(metrics.height(), w->height()) << item.order;
        break;
      case ControlKind::push_button:
        EXPECT_LE(text + 8, w->width()) << caption.toStdString();
        break;
      case ControlKind::check_box:
        EXPECT_LE(w->sizeHint().width(), w->width()) << caption.toStdString();
        break;
      case ControlKind::frame:
        EXPECT_LE(text + 16, u.x(item.rect.width)) << caption.toStdString();
        break;
      default:
        break;
    }
  }
  for (std::size_t i = 0; i < placed.size(); ++i) {
    for (std::size_t j = i + 1; j < placed.size(); ++j) {
      EXPECT_FALSE(placed[i].second.intersects(placed[j].second))
          << "#" << placed[i].first << " and #" << placed[j].first;
    }
  }
}

TEST_F(WindowLayoutTest, HiddenControlsKeepValuesButNeverShow) {
  show();
  for (const int id : {1073, 1074, 1080}) {
    EXPECT_FALSE(view->widget(id)->isVisible()) << id;
    EXPECT_EQ(view->widget(id)->focusPolicy(), Qt::NoFocus) << id;
  }
  ASSERT_TRUE(dialog_set_text(dialog, 1073, "1.00", 4));
  ASSERT_TRUE(dialog_set_logical(dialog, 1080, true));
  ASSERT_TRUE(dialog_set_int(dialog, 1074, 50));
  bool checked = false;
  ASSERT_TRUE(dialog_get_logical(dialog, 1080, checked));
  EXPECT_TRUE(checked);
  EXPECT_EQ(widget<QLineEdit>(1073)->text(), "1.00");
  EXPECT_FALSE(view->widget(1073)->isVisible());
}

TEST_F(WindowLayoutTest, ProfileLabelsInsideTheShownPartOfTheDrawing) {
  show();
  auto* picture = qobject_cast<QLabel*>(view->created(102));  // bitmap 107, the profile
  ASSERT_NE(picture, nullptr);
  const int shown = picture->contentsRect().width();
  // What the frame shows is the drawing's centred part, whether the label or the view cut it.
  const QImage seen = picture->grab().toImage().copy(picture->contentsRect());
  const QImage part =
      centred_part(picture_pixmap(107, 1.0), picture->contentsRect().size()).toImage();
  EXPECT_TRUE(seen.convertToFormat(QImage::Format_RGB32) ==
              part.convertToFormat(QImage::Format_RGB32));
  ASSERT_LT(shown, artwork::kProfileWidth);  // the frame is narrower than the drawing
  const double left = (artwork::kProfileWidth - shown) / 2.0;
  for (const QRectF& plate : artwork::profile_plates()) {
    EXPECT_GE(plate.left(), left + 2);
    EXPECT_LE(plate.right(), left + shown - 2);
  }
}

TEST_F(WindowLayoutTest, AnApplicationWindowWithoutOwner) {
  show();
  const Qt::WindowFlags flags = view->window()->windowFlags();
  EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Window);  // not a dialog: its own taskbar button
  EXPECT_TRUE(flags & Qt::WindowTitleHint);
  ASSERT_NE(view->window()->windowHandle(), nullptr);
  EXPECT_EQ(view->window()->windowHandle()->transientParent(), nullptr);
  EXPECT_EQ(view->window()->parentWidget(), nullptr);
}

TEST_F(WindowLayoutTest, EveryVisibleControlHasAnAccessibleName) {
  show();
  int walked = 0;
  for (int order = 1; QWidget* w = view->created(order); ++order) {
    if (!w->isVisible()) continue;
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
    ASSERT_NE(face, nullptr) << order;
    const QString name = face->text(QAccessible::Name).trimmed();
    EXPECT_FALSE(name.isEmpty() || name == QStringLiteral(".")) << "control " << order;
    ++walked;
  }
  EXPECT_GE(walked, 100);
  const auto name_of = [&](int id) {
    return QAccessible::queryAccessibleInterface(view->widget(id))
        ->text(QAccessible::Name)
        .toStdString();
  };
  EXPECT_EQ(name_of(1008), "sand, %");
  EXPECT_EQ(name_of(1035), "root depth, cm");
  EXPECT_EQ(name_of(1034), "horizon 2, FC %");
  EXPECT_EQ(name_of(1069), "total available water, mm");
  EXPECT_NE(view->widget(1020)->toolTip().indexOf("10 kPa"), -1);
}

}  // namespace
}  // namespace vantrel::ui
