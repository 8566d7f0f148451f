#include "ui/win32/win32_dialog_view.hpp"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/dialog_geometry.hpp"
#include "ui/win32/win32_template.hpp"
#include "ui/win32/win32_text.hpp"

namespace vantrel::ui {

namespace {

std::wstring window_text(HWND w) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(w)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(w, text.data(), static_cast<int>(text.size()))));
  return text;
}

void set_text(HWND w, const std::wstring& text) {
  if (window_text(w) != text) SetWindowTextW(w, text.c_str());
}

// A scroll bar's range and position as the dialog holds them; the page stays 0, so the thumb
// keeps its size.
void show_bar(HWND bar, const Control& c) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_POS;
  info.nMin = std::min(c.range_min, c.range_max);
  info.nMax = c.range_max;
  info.nPos = std::clamp(c.position, info.nMin, info.nMax);
  SetScrollInfo(bar, SB_CTL, &info, TRUE);
}

std::wstring list_entry(HWND combo, int index) {
  const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR) return {};
  std::wstring entry(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(entry.data()));
  entry.resize(static_cast<std::size_t>(length));
  return entry;
}

// A combo box's entries and text as the dialog holds them.
void show_combo(HWND combo, const Control& c, const std::wstring& text) {
  std::vector<std::wstring> entries;
  for (const std::string& entry : c.entries)
    entries.push_back(wide_text(entry));
  bool same = SendMessageW(combo, CB_GETCOUNT, 0, 0) == static_cast<LRESULT>(entries.size());
  for (std::size_t i = 0; same && i < entries.size(); ++i)
    same = list_entry(combo, static_cast<int>(i)) == entries[i];
  if (!same) {
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const std::wstring& entry : entries)
      SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  }
  if (window_text(combo) != text) {
    const auto found = std::find(entries.begin(), entries.end(), text);
    const auto index = found == entries.end() ? -1 : found - entries.begin();
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SetWindowTextW(combo, text.c_str());
  }
}

ScrollAction scroll_action(int request) {
  switch (request) {
    case SB_LINEUP:
      return ScrollAction::line_up;
    case SB_LINEDOWN:
      return ScrollAction::line_down;
    case SB_PAGEUP:
      return ScrollAction::page_up;
    case SB_PAGEDOWN:
      return ScrollAction::page_down;
    case SB_TOP:
      return ScrollAction::top;
    case SB_BOTTOM:
      return ScrollAction::bottom;
    default:
      return ScrollAction::thumb;
  }
}

}  // namespace

Win32DialogView::Win32DialogView(Dialog& dialog, HINSTANCE instance)
    : dialog_(dialog), instance_(instance) {}

Win32DialogView::~Win32DialogView() {
  releasing_ = true;
  if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
}

HWND Win32DialogView::control_window(int id) const {
  return window_ == nullptr ? nullptr : GetDlgItem(window_, command_id(id));
}

HWND Win32DialogView::created(int order) const {
  return order >= 1 && order <= static_cast<int>(created_.size())
             ? created_[static_cast<std::size_t>(order - 1)]
             : nullptr;
}

bool Win32DialogView::show(int show_command) {
  const DialogTemplate* t = dialog_.dialog_template();
  if (t == nullptr) return false;
  const bool visible = show_command != SW_HIDE;
  const std::vector<WORD> words = extended_template(*t, visible);
  // The window and its controls get their values in WM_INITDIALOG, before it is shown.
  const HWND created =
      CreateDialogIndirectParamW(instance_, reinterpret_cast<LPCDLGTEMPLATEW>(words.data()),
                                 nullptr, procedure, reinterpret_cast<LPARAM>(this));
  if (created == nullptr) return false;
  if (visible) ShowWindow(window_, show_command);
  return true;
}

INT_PTR CALLBACK Win32DialogView::procedure(HWND window, UINT message, WPARAM wparam,
                                            LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    auto* view = reinterpret_cast<Win32DialogView*>(lparam);
    SetWindowLongPtrW(window, DWLP_USER, lparam);
    view->window_ = window;
  }
  auto* view = reinterpret_cast<Win32DialogView*>(GetWindowLongPtrW(window, DWLP_USER));
  return view == nullptr ? FALSE : view->handle(message, wparam, lparam);
}

INT_PTR Win32DialogView::handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      // The dialog manager creates the controls in the template's order, each below the last.
      for (HWND w = GetWindow(window_, GW_CHILD); w != nullptr; w = GetWindow(w, GW_HWNDNEXT))
        created_.push_back(w);
      const auto& items = dialog_.dialog_template()->controls;
      for (std::size_t i = 0; i < items.size() && i < created_.size(); ++i) {
        fit(items[i], created_[i]);
        if (const Control* c = dialog_.control(items[i].id)) refresh(*c);
      }
      attach_spinner_keys();
      return TRUE;  // the dialog manager gives the first tab stop the focus
    }
    case WM_COMMAND:
      on_command(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
      return TRUE;
    case WM_VSCROLL:
      on_scroll(reinterpret_cast<HWND>(lparam), LOWORD(wparam), static_cast<short>(HIWORD(wparam)));
      return TRUE;
    case WM_CLOSE:  // Alt+F4 or the window manager: a destruction like "Exit"
      close();
      return TRUE;
    case WM_DESTROY:
      closed_ = true;
      if (!releasing_) dialog_.notify_destroyed();
      return TRUE;
    case WM_NCDESTROY:
      SetWindowLongPtrW(window_, DWLP_USER, 0);
      window_ = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}

void Win32DialogView::on_command(int id, int code, HWND from) {
  if (quiet_ || closed_ || from == nullptr) return;  // menus and accelerators: none here
  const Control* c = dialog_.control(static_cast<short>(id));
  if (c == nullptr) return;  // Escape (IDCANCEL) and Enter without a default do nothing
  const int control = c->item->id;
  switch (c->item->kind) {
    case ControlKind::push_button:
    case ControlKind::check_box:
      if (code == BN_CLICKED) notify([&] { dialog_.notify_clicked(control); });
      break;
    case ControlKind::edit:
      if (code == EN_CHANGE) {
        const std::string text = utf8_text(window_text(from));
        notify([&] { dialog_.notify_edited(control, text); });
      }
      break;
    case ControlKind::combo_box:
      if (code == CBN_EDITCHANGE) {
        const std::string text = utf8_text(window_text(from));
        notify([&] { dialog_.notify_edited(control, text); });
      } else if (code == CBN_SELCHANGE) {
        // The edit field still shows the old entry: the list's selection is the new one.
        const auto index = static_cast<int>(SendMessageW(from, CB_GETCURSEL, 0, 0));
        if (index != CB_ERR) notify([&] { dialog_.notify_selected(control, index + 1); });
      } else if (code == CBN_SETFOCUS || code == CBN_KILLFOCUS) {
        notify([&] { dialog_.notify_focus(control, code == CBN_SETFOCUS); });
      }
      break;
    default:
      break;
  }
}

void Win32DialogView::on_scroll(HWND bar, int request, int position) {
  if (quiet_ || closed_ || bar == nullptr) return;
  if (request == SB_ENDSCROLL || request == SB_THUMBPOSITION) return;  // the drag reported it
  const Control* c = dialog_.control(static_cast<short>(GetDlgCtrlID(bar)));
  if (c == nullptr || c->item->kind != ControlKind::scroll_bar) return;
  int thumb = position;
  if (request == SB_THUMBTRACK && GetCapture() == bar) {
    // A drag by the mouse: the full 32-bit position, not the 16 bits of the message.
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    if (GetScrollInfo(bar, SB_CTL, &info)) thumb = info.nTrackPos;
  }
  scroll(c->item->id, scroll_action(request), thumb);
}

void Win32DialogView::scroll(int bar, ScrollAction action, int thumb) {
  notify([&] { dialog_.notify_scroll(bar, action, thumb); });
}

void Win32DialogView::notify(const std::function<void()>& notification) {
  if (notifying_ > 0) return;
  ++notifying_;
  notification();
  --notifying_;
}

void Win32DialogView::refresh(const Control& c) {
  if (closed_ || window_ == nullptr) return;
  const HWND w = control_window(c.item->id);
  if (w == nullptr) return;
  quiet_ = true;
  const std::wstring text = wide_text(shown_text(c));
  switch (c.item->kind) {
    case ControlKind::scroll_bar:
      show_bar(w, c);
      break;
    case ControlKind::combo_box:
      show_combo(w, c, text);
      break;
    case ControlKind::check_box:
      set_text(w, text);
      SendMessageW(w, BM_SETCHECK, c.checked ? BST_CHECKED : BST_UNCHECKED, 0);
      fit(*c.item, w);
      break;
    case ControlKind::static_text:
      set_text(w, text);
      fit(*c.item, w);
      break;
    case ControlKind::picture:
      break;
    default:  // edits, buttons, texts and frames show their text
      set_text(w, text);
      break;
  }
  quiet_ = false;
}

void Win32DialogView::fit(const TemplateControl& item, HWND control) const {
  if (item.kind != ControlKind::static_text && item.kind != ControlKind::check_box) return;
  RECT area{item.rect.x, item.rect.y, item.rect.x + item.rect.width,
            item.rect.y + item.rect.height};
  MapDialogRect(window_, &area);
  std::wstring text = window_text(control);
  text.erase(text.find_last_not_of(L' ') + 1);
  text.erase(0, std::min(text.find_first_not_of(L' '), text.size()));
  const HDC dc = GetDC(control);
  const HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  int needed = size.cx;
  if (item.kind == ControlKind::check_box) needed += GetSystemMetrics(SM_CXMENUCHECK) + 4;
  const Rect fitted = grown_to_fit(
      {area.left, area.top, area.right - area.left, area.bottom - area.top}, needed, item.align);
  SetWindowPos(control, nullptr, fitted.x, fitted.y, fitted.width, fitted.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32DialogView::close() {
  if (closed_ || window_ == nullptr) return;
  DestroyWindow(window_);  // WM_DESTROY tells the dialog
}

bool Win32DialogView::take_message(MSG& message) {
  return window_ != nullptr && IsDialogMessageA(window_, &message) != FALSE;
}

void Win32DialogView::attach_spinner_keys() {
  for (const auto& [bar, edit] : spinner_edits(*dialog_.dialog_template())) {
    if (const HWND box = control_window(edit)) {
      SetWindowSubclass(box, spinner_keys, static_cast<UINT_PTR>(bar),
                        reinterpret_cast<DWORD_PTR>(this));
    }
  }
}

LRESULT CALLBACK Win32DialogView::spinner_keys(HWND edit, UINT message, WPARAM wparam,
                                               LPARAM lparam, UINT_PTR bar, DWORD_PTR view) {
  if (message == WM_NCDESTROY) RemoveWindowSubclass(edit, spinner_keys, bar);
  if (message == WM_KEYDOWN) {
    auto* self = reinterpret_cast<Win32DialogView*>(view);
    const int id = static_cast<int>(bar);
    // Up, Down, Page Up and Page Down in an edit box with a spinner act on the spinner.
    switch (wparam) {
      case VK_UP:
        self->scroll(id, ScrollAction::line_up);
        return 0;
      case VK_DOWN:
        self->scroll(id, ScrollAction::line_down);
        return 0;
      case VK_PRIOR:
        self->scroll(id, ScrollAction::page_up);
        return 0;
      case VK_NEXT:
        self->scroll(id, ScrollAction::page_down);
        return 0;
      default:
        break;
    }
  }
  return DefSubclassProc(edit, message, wparam, lparam);
}

}  // namespace vantrel::ui
