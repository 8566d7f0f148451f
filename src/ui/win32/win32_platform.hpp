// The platform of the Windows edition: its message loop, PostQuitMessage and MessageBoxA.
#pragma once

#include <windows.h>

#include <string_view>

#include "ui/dialog.hpp"
#include "ui/platform.hpp"
#include "ui/win32/win32_dialog_view.hpp"

namespace vantrel::ui {

class Win32Platform final : public Platform {
 public:
  void post_quit(int code) override;
  // A message is modal to the main window once it has one: the window takes no input while
  // it is open, and a held scroll arrow lets go of the mouse.
  void message_box(std::string_view text, std::string_view caption) override;
  void set_owner(HWND owner) { owner_ = owner; }

 private:
  HWND owner_ = nullptr;
};

// Runs the message loop until the quit message (or an error of GetMessageA, which ends it
// with status 1 rather than spinning); returns its code. Each message goes to the dialog
// manager first, then to TranslateMessage and DispatchMessageA.
int message_loop(const Dialog& dialog, Win32DialogView* view);

// A message with an OK button and no owner window.
void error_box(std::string_view text, std::string_view caption);

}  // namespace vantrel::ui
