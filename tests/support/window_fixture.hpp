// The Qt window of a dialog, shown headless, with helpers to reach its widgets; the fixture
// of the window tests.
#pragma once

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <memory>
#include <utility>
#include <vector>

#include "support/scroll_arrows.hpp"
#include "ui/dialog.hpp"
#include "ui/qt/qt_dialog_view.hpp"

namespace vantrel::testing {

using ui::Callback;
using ui::Dialog;
using ui::QtDialogView;

using Calls = std::vector<std::pair<int, int>>;

class WindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ui::dialog_init(ui::kMainDialog, dialog));
    dialog.set_view_factory([this](Dialog& d) {
      auto made = std::make_unique<QtDialogView>(d);
      view = made.get();
      return made;
    });
  }
  void show() {
    ASSERT_TRUE(ui::dialog_show_modeless(dialog, ui::show_normal));
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
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, arrow_rect(bar, arrow).center());
  }

  Dialog dialog;
  QtDialogView* view = nullptr;
  Calls calls;
};

}  // namespace vantrel::testing
