#include "app/win32_script_driver.hpp"

#include <algorithm>
#include <string>

#include "ui/win32/win32_template.hpp"
#include "ui/win32/win32_text.hpp"

namespace vantrel {

namespace {

WORD scroll_request(ui::ScrollAction action) {
  switch (action) {
    case ui::ScrollAction::line_up:
      return SB_LINEUP;
    case ui::ScrollAction::line_down:
      return SB_LINEDOWN;
    case ui::ScrollAction::page_up:
      return SB_PAGEUP;
    case ui::ScrollAction::page_down:
      return SB_PAGEDOWN;
    case ui::ScrollAction::top:
      return SB_TOP;
    case ui::ScrollAction::bottom:
      return SB_BOTTOM;
    case ui::ScrollAction::thumb:
      return SB_THUMBTRACK;
  }
  return SB_ENDSCROLL;
}

}  // namespace

void Win32ScriptDriver::scroll(int control, ui::ScrollAction action, int thumb) {
  // The message carries a thumb position in 16 bits, as a scroll bar's is.
  const auto position = static_cast<short>(std::clamp(thumb, -32768, 32767));
  SendMessageW(view_.window(), WM_VSCROLL,
               MAKEWPARAM(scroll_request(action), static_cast<WORD>(position)),
               reinterpret_cast<LPARAM>(view_.control_window(control)));
}

void Win32ScriptDriver::type(int control, std::string_view text) {
  HWND field = view_.control_window(control);
  COMBOBOXINFO combo{};
  combo.cbSize = sizeof combo;
  if (GetComboBoxInfo(field, &combo) && combo.hwndItem != nullptr) field = combo.hwndItem;
  const std::wstring wide = ui::wide_text(text);
  SendMessageW(field, EM_SETSEL, 0, -1);
  SendMessageW(field, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
}

void Win32ScriptDriver::choose(int control, int entry) {
  const HWND combo = view_.control_window(control);
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(entry - 1), 0);
  SendMessageW(view_.window(), WM_COMMAND, MAKEWPARAM(ui::command_id(control), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
}

void Win32ScriptDriver::click(int control) {
  SendMessageW(view_.control_window(control), BM_CLICK, 0, 0);
}

}  // namespace vantrel
