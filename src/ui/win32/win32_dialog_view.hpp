// The dialog's window in the Win32 dialog manager: built from the template table as an
// extended dialog template in memory, showing the dialog's state and turning the controls'
// notifications into the dialog's.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "ui/dialog.hpp"

namespace vantrel::ui {

class Win32DialogView final : public DialogView {
 public:
  Win32DialogView(Dialog& dialog, HINSTANCE instance);
  ~Win32DialogView() override;
  Win32DialogView(const Win32DialogView&) = delete;
  Win32DialogView& operator=(const Win32DialogView&) = delete;

  bool show(int show_command) override;  // SW_HIDE (0) creates it without showing it
  void refresh(const Control& control) override;
  void close() override;

  HWND window() const { return window_; }
  HWND control_window(int id) const;
  HWND created(int order) const;  // by creation order, from 1, for tests
  // Lets the dialog manager take a queued message (IsDialogMessageA): keyboard navigation,
  // Enter for the default button.
  bool take_message(MSG& message);

 private:
  static INT_PTR CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK spinner_keys(HWND edit, UINT message, WPARAM wparam, LPARAM lparam,
                                       UINT_PTR bar, DWORD_PTR view);
  INT_PTR handle(UINT message, WPARAM wparam, LPARAM lparam);
  void on_command(int id, int code, HWND from);
  void on_scroll(HWND bar, int request, int position);
  void scroll(int bar, ScrollAction action, int thumb = 0);
  // Runs one notification of the dialog. Another that arrives meanwhile comes through a
  // modal loop (a message box): it is not the user's, and is dropped.
  void notify(const std::function<void()>& notification);
  void attach_spinner_keys();
  // A text or check box too narrow for its caption in the window's font grows to show it.
  void fit(const TemplateControl& item, HWND control) const;

  Dialog& dialog_;
  HINSTANCE instance_;
  HWND window_ = nullptr;
  std::vector<HWND> created_;  // the controls in creation order
  bool closed_ = false;
  bool releasing_ = false;  // destroyed with the view: the dialog is not told
  bool quiet_ = false;      // values the program sets never look like user actions
  int notifying_ = 0;
};

}  // namespace vantrel::ui
