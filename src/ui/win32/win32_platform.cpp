#include "ui/win32/win32_platform.hpp"

#include <string>

#include "ui/win32/win32_text.hpp"

namespace vantrel::ui {

namespace {

// MessageBoxA takes the system's code page; the program's texts are UTF-8.
void show_box(HWND owner, std::string_view text, std::string_view caption) {
  MessageBoxA(owner, system_text(text).c_str(), system_text(caption).c_str(), MB_OK);
}

}  // namespace

void Win32Platform::post_quit(int code) {
  PostQuitMessage(code);
}

void Win32Platform::message_box(std::string_view text, std::string_view caption) {
  // A scroll bar tracking a held arrow would go on repeating under the message.
  if (const HWND captured = GetCapture()) SendMessageW(captured, WM_CANCELMODE, 0, 0);
  show_box(owner_ != nullptr && IsWindow(owner_) ? owner_ : nullptr, text, caption);
}

int message_loop(const Dialog& dialog, Win32DialogView* view) {
  MSG message{};
  for (;;) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 1;
    const bool live = view != nullptr && dialog.shown() && !dialog.destroyed();
    if (live && view->take_message(message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void error_box(std::string_view text, std::string_view caption) {
  show_box(nullptr, text, caption);
}

}  // namespace vantrel::ui
