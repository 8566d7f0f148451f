// Whole sessions through the real window (headless): the widgets reach the same routines as
// the scripted sessions, and give the same texts.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <sstream>

#include "support/session.hpp"
#include "ui/qt/qt_dialog_view.hpp"
#include "ui/qt/qt_platform.hpp"

namespace vantrel {
namespace {

using testing::padded;

// Performs script commands with the widgets, as a user would.
class WidgetDriver final : public ScriptDriver {
 public:
  explicit WidgetDriver(ui::QtDialogView*& view) : view_(view) {}

  void scroll(int control, ui::ScrollAction action, int thumb) override {
    auto* bar = qobject_cast<QScrollBar*>(view_->widget(control));
    switch (action) {
      case ui::ScrollAction::line_up:
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
      case ui::ScrollAction::line_down:
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
      case ui::ScrollAction::page_up:
        bar->triggerAction(QAbstractSlider::SliderPageStepSub);
        break;
      case ui::ScrollAction::page_down:
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        break;
      case ui::ScrollAction::top:
        bar->triggerAction(QAbstractSlider::SliderToMinimum);
        break;
      case ui::ScrollAction::bottom:
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        break;
      case ui::ScrollAction::thumb:
        bar->setSliderPosition(thumb);
        break;
    }
  }
  void type(int control, std::string_view text) override {
    const QString typed = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (auto* combo = qobject_cast<QComboBox*>(view_->widget(control))) {
      combo->lineEdit()->setText(typed);  // one edit of the whole text, as the script has it
      emit combo->lineEdit()->textEdited(typed);
      return;
    }
    auto* edit = qobject_cast<QLineEdit*>(view_->widget(control));
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, typed);
  }
  void choose(int control, int entry) override {
    emit qobject_cast<QComboBox*>(view_->widget(control))->activated(entry - 1);
  }
  void click(int control) override {
    QTest::mouseClick(view_->widget(control), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
  }

 private:
  ui::QtDialogView*& view_;
};

class WindowSession {
 public:
  WindowSession()
      : platform_(out_), program_(platform_, TraceUnit(dir_ / "fort.99")), driver_(view_) {
    testing::copy_reference_files(dir_.path());
    load_reference_files(program_, dir_.path());
    dialog_.set_view_factory([this](ui::Dialog& d) {
      auto made = std::make_unique<ui::QtDialogView>(d);
      view_ = made.get();
      return made;
    });
    started_ = open_main_window(program_, dialog_, ui::show_normal);
  }
  std::string run(std::string_view script) {
    std::istringstream in{std::string(script)};
    out_.str("");
    std::ostringstream errors;
    status_ = run_script(in, out_, errors, dialog_, driver_, platform_);
    return out_.str();
  }
  bool started() const { return started_; }
  int status() const { return status_; }
  ui::QtDialogView* view() { return view_; }
  ui::Dialog& dialog() { return dialog_; }
  std::string side_file() const { return testing::read_all(dir_ / "fort.99"); }
  QString shown(int control) {
    if (auto* edit = qobject_cast<QLineEdit*>(view_->widget(control))) return edit->text();
    return {};
  }

 private:
  testing::TempDir dir_;
  std::ostringstream out_;
  ScriptPlatform platform_;
  Program program_;
  ui::Dialog dialog_;
  ui::QtDialogView* view_ = nullptr;
  WidgetDriver driver_;
  bool started_ = false;
  int status_ = -1;
};

TEST(WindowSession, TwoHorizonsAndCalculateByButtonAndByEnter) {
  WindowSession w;
  ASSERT_TRUE(w.started());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(w.view()->window()));
  auto* update = w.view()->widget(1010);
  QTest::mouseClick(update, Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
  EXPECT_FALSE(qobject_cast<QCheckBox*>(update)->isChecked());  // it acts as a push button
  EXPECT_EQ(w.run("type 1033 2\ntype 1032 30\nclick 1010\nchoose 1011 1\n"), "");
  QTest::mouseClick(w.view()->widget(30002), Qt::LeftButton);
  const QString taw = w.shown(1069);
  EXPECT_FALSE(taw.trimmed().isEmpty());
  // Enter in any field presses "Calculate" again.
  QApplication::setActiveWindow(w.view()->window());
  w.view()->widget(1035)->setFocus();
  QTest::keyClick(w.view()->widget(1035), Qt::Key_Return);
  const std::string trace = w.side_file();
  ASSERT_EQ(trace.size(), 4U * 21U);
  EXPECT_EQ(trace.substr(0, 42), trace.substr(42));
  EXPECT_EQ(QString::fromStdString(trace.substr(0, 20)).trimmed(), taw);
  EXPECT_EQ(qobject_cast<QLabel*>(w.view()->widget(1023))->text(), "40.0");

  // The same actions in a session without a window give the same results.
  testing::Session s;
  s.run("click 1010\ntype 1033 2\ntype 1032 30\nclick 1010\nchoose 1011 1\nclick 30002\n");
  EXPECT_EQ(QString::fromStdString(s.text(1069)).trimmed(), taw);
  EXPECT_EQ(QString::fromStdString(s.text(1072)).trimmed(), w.shown(1072));
}

TEST(WindowSession, ScriptsGiveTheSameTranscriptThroughWidgets) {
  const std::string script = R"(# spinners, follow-ups, choices and start values
text 1057
scroll 1026 down
scroll 1026 pagedown
text 1008
text 1046
text 1057
scroll 1045 thumb 65
text 1044
text 1057
scroll 1038 up
scroll 1038 up
text 1032
scroll 1039 up
scroll 1039 thumb 90
text 1033
scroll 1049 pageup
text 1048
type 1044 abc
scroll 1026 up
type 1044 15
choose 1012 3
text 1008
choose 1011 10
text 1035
text 1055
scroll 1041 top
text 1035
scroll 1056 bottom
text 1055
click 1010
text 1015
text 1019
text 1020
click 30002
text 1069
text 1072
click 30001
text 1008
)";
  testing::Session headless;
  WindowSession window;
  ASSERT_TRUE(window.started());
  const std::string expected = headless.run(script);
  EXPECT_EQ(window.run(script), expected);
  EXPECT_EQ(window.status(), headless.status());
  EXPECT_EQ(window.status(), 0);
  EXPECT_TRUE(window.dialog().destroyed());
  EXPECT_NE(expected.find("message: The clay field holds \"abc\""), std::string::npos);
}

// The program's own message loop, ended by "Exit" or by the window manager: status 0.
class MessageLoop : public ::testing::TestWithParam<bool> {};

TEST_P(MessageLoop, EndsWithStatusZero) {
  const bool by_window_manager = GetParam();
  testing::TempDir dir;
  testing::copy_reference_files(dir.path());
  QtPlatform platform;
  Program program(platform, TraceUnit(dir / "fort.99"));
  load_reference_files(program, dir.path());
  ui::Dialog dialog;
  ui::QtDialogView* view = nullptr;
  dialog.set_view_factory([&](ui::Dialog& d) {
    auto made = std::make_unique<ui::QtDialogView>(d);
    view = made.get();
    return made;
  });
  ASSERT_TRUE(open_main_window(program, dialog, ui::show_normal));
  QTimer::singleShot(0, [&] {
    if (by_window_manager) {
      view->window()->close();
    } else {
      QTest::mouseClick(view->widget(id::exit), Qt::LeftButton);
    }
  });
  EXPECT_EQ(message_loop(platform, dialog), 0);
  EXPECT_TRUE(dialog.destroyed());
  ui::dialog_uninit(dialog);
}

INSTANTIATE_TEST_SUITE_P(ExitOrClose, MessageLoop, ::testing::Values(false, true));

TEST(MessageLoopCode, IsTheQuitCode) {
  QtPlatform platform;
  ui::Dialog dialog;
  QTimer::singleShot(0, [&] { platform.post_quit(7); });
  EXPECT_EQ(message_loop(platform, dialog), 7);
}

}  // namespace
}  // namespace vantrel
