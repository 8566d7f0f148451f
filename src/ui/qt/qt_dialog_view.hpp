// The dialog's window in Qt Widgets: builds the widgets from the dialog template, shows the
// dialog's state and turns the user's actions into the dialog's notifications.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QDialog>
#include <QFont>
#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <map>
#include <memory>
#include <vector>

#include "ui/dialog.hpp"
#include "ui/dialog_geometry.hpp"
#include "ui/qt/qt_dialog_window.hpp"

class QStyle;
class QWidget;

namespace vantrel::ui {

class EarlyPictures;

class QtDialogView final : public DialogView {
 public:
  // With `early`, the pictures read while the toolkit started.
  explicit QtDialogView(Dialog& dialog, EarlyPictures* early = nullptr);
  ~QtDialogView() override;

  bool show(int show_command) override;
  void refresh(const Control& control) override;
  void close() override;

  // For tests and screenshots.
  DialogWindow* window() const { return window_; }
  QWidget* widget(int id) const;
  QWidget* created(int order) const;  // by creation order, from 1
  const DialogUnits& units() const { return units_; }

 private:
  QWidget* create(const TemplateControl& item);
  QWidget* create_combo(int id);  // an editable list that reports choices, edits and focus
  void place(const TemplateControl& item, QWidget* w) const;
  void connect_scroll_bar(int id, QWidget* bar);
  // One scroll action on spinner `bar`, from its arrows or from the keys of its edit box.
  void scroll(int bar, ScrollAction action);
  void sync_bar(int bar);
  // Runs one notification of the dialog. The window is not deleted while one runs, even when
  // it is destroyed meanwhile (by a message's nested loop seeing another client close it).
  void notify(const std::function<void()>& notification);
  void release_window();
  // A message ends every spinner's held press: one user action gives at most one message.
  void end_presses();
  // Up, Down, Page Up and Page Down in an edit box that has a spinner act on the spinner.
  void connect_spinner_keys(const DialogTemplate& t);
  void describe(const TemplateControl& item, QWidget* w) const;

  Dialog& dialog_;
  EarlyPictures* early_;
  std::unique_ptr<QStyle> style_;  // the buttons' and frames' look; outlives the window
  QPointer<DialogWindow> window_;
  std::map<int, QWidget*> widgets_;
  std::vector<QWidget*> created_;
  DialogUnits units_;
  bool closed_ = false;
  int notifying_ = 0;  // notifications running, nested ones included
  std::unique_ptr<QAbstractNativeEventFilter> destroy_watcher_;
};

// The factory that gives a Dialog its Qt window.
std::unique_ptr<DialogView> make_qt_view(Dialog& dialog);
// The same, its pictures taken from `early`, which outlives the dialog's window.
ViewFactory qt_view_factory(EarlyPictures& early);

}  // namespace vantrel::ui
