// The dialog's Qt window, driven through real widgets (headless: QT_QPA_PLATFORM=offscreen).
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
#include <QStyleOptionSlider>
#include <QTest>
#include <string>
#include <utility>
#include <vector>

#include "artwork/soil_profile.hpp"
#include "support/scroll_arrows.hpp"
#include "ui/dialog.hpp"
#include "ui/qt/qt_dialog_view.hpp"

namespace vantrel::ui {
namespace {

using Calls = std::vector<std::pair<int, int>>;

class DialogWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dialog_init(kMainDialog, dialog));
    dialog.set_view_factory([this](Dialog& d) {
      auto made = std::make_unique<QtDialogView>(d);
      view = made.get();
      return made;
    });
  }
  void show() {
    ASSERT_TRUE(dialog_show_modeless(dialog, show_normal));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
  }
  Callback recorder() {
    return [this](Dialog&, int id, int event) { calls.emplace_back(id, event); };
  }
  template <class W>
  W* widget(int id) {
    auto* w = qobject_cast<W*>(view->widget(id));
    EXPECT_NE(w, nullptr) << id;
    return w;
  }
  void click_arrow(int id, QStyle::SubControl arrow) {
    auto* bar = widget<QScrollBar>(id);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                      testing::arrow_rect(bar, arrow).center());
  }

  Dialog dialog;
  QtDialogView* view = nullptr;
  Calls calls;
};

TEST_F(DialogWindowTest, EveryControlAtItsPlace) {
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
TEST_F(DialogWindowTest, EveryCaptionFitsAndNothingOverlaps) {
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

TEST_F(DialogWindowTest, HiddenControlsKeepValuesButNeverShow) {
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

TEST_F(DialogWindowTest, TabVisitsTheTabStopsInCreationOrder) {
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

TEST_F(DialogWindowTest, TypingReachesEditsButNotReadOnlyOnes) {
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

TEST_F(DialogWindowTest, ArrowClicksFollowTheScrollRules) {
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

TEST_F(DialogWindowTest, ValuesSetInACallbackShowWhenItReturns) {
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

TEST_F(DialogWindowTest, ProgramSetsShowAtOnceAndCallNothing) {
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

TEST_F(DialogWindowTest, ComboChoiceAndTyping) {
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

TEST_F(DialogWindowTest, CheckBoxClick) {
  show();
  dialog_set_callback(dialog, 1010, recorder());
  QTest::mouseClick(view->widget(1010), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  bool checked = false;
  dialog_get_logical(dialog, 1010, checked);
  EXPECT_TRUE(checked);
  EXPECT_TRUE(widget<QCheckBox>(1010)->isChecked());
  EXPECT_EQ(calls, (Calls{{1010, ev_clicked}}));
}

TEST_F(DialogWindowTest, EnterPressesCalculateAndEscapeKeepsTheWindow) {
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

TEST_F(DialogWindowTest, ExitDestroysOnce) {
  show();
  dialog_set_callback(dialog, kMainDialog, recorder());
  QTest::mouseClick(view->widget(30001), Qt::LeftButton);
  EXPECT_TRUE(dialog.destroyed());
  EXPECT_FALSE(view->window()->isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(view->window(), nullptr);
  EXPECT_EQ(calls, (Calls{{kMainDialog, ev_dialog_destroyed}}));
}

TEST_F(DialogWindowTest, WindowManagerCloseIsADestroyToo) {
  show();
  dialog_set_callback(dialog, kMainDialog, recorder());
  view->window()->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(dialog.destroyed());
  EXPECT_EQ(calls, (Calls{{kMainDialog, ev_dialog_destroyed}}));
}

TEST_F(DialogWindowTest, InitEventComesAfterTheValuesAreShown) {
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

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

namespace vantrel::ui {
namespace {

TEST_F(DialogWindowTest, ProfileLabelsInsideTheShownPartOfTheDrawing) {
  show();
  auto* picture = qobject_cast<QLabel*>(view->created(102));  // bitmap 107, the profile
  ASSERT_NE(picture, nullptr);
  const int shown = picture->contentsRect().width();
  EXPECT_EQ(picture->pixmap().deviceIndependentSize().toSize(), picture->contentsRect().size());
  ASSERT_LT(shown, artwork::kProfileWidth);  // the frame is narrower than the drawing
  const double left = (artwork::kProfileWidth - shown) / 2.0;
  for (const QRectF& plate : artwork::profile_plates()) {
    EXPECT_GE(plate.left(), left + 2);
    EXPECT_LE(plate.right(), left + shown - 2);
  }
}

TEST_F(DialogWindowTest, AnApplicationWindowWithoutOwner) {
  show();
  const Qt::WindowFlags flags = view->window()->windowFlags();
  EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Window);  // not a dialog: its own taskbar button
  EXPECT_TRUE(flags & Qt::WindowTitleHint);
  ASSERT_NE(view->window()->windowHandle(), nullptr);
  EXPECT_EQ(view->window()->windowHandle()->transientParent(), nullptr);
  EXPECT_EQ(view->window()->parentWidget(), nullptr);
}

TEST_F(DialogWindowTest, TypedListTextIsNeverCompleted) {
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

}  // namespace
}  // namespace vantrel::ui

namespace vantrel::ui {
namespace {

// The fill just inside a button's left edge, half-way down.
QColor fill_of(QWidget* button) {
  const QImage image = button->grab().toImage();
  return image.pixelColor(6, image.height() / 2);
}

TEST_F(DialogWindowTest, FocusOnAButtonLooksUnlikeTheDefaultFrame) {
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

TEST_F(DialogWindowTest, SpinnerKeysInTheirEditBoxes) {
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

TEST_F(DialogWindowTest, EveryVisibleControlHasAnAccessibleName) {
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
