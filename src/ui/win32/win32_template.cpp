#include "ui/win32/win32_template.hpp"

#include <string>

#include "ui/win32/win32_text.hpp"

namespace vantrel::ui {

namespace {

constexpr WORD kExtendedSignature = 0xFFFF;
constexpr WORD kOrdinal = 0xFFFF;  // the next word is a number, not a string

// The template's words are written in order; strings in UTF-16 with their terminating zero.
class TemplateWriter {
 public:
  void word(WORD w) { words_.push_back(w); }
  void dword(DWORD d) {
    word(LOWORD(d));
    word(HIWORD(d));
  }
  void text(std::string_view utf8) {
    for (const wchar_t c : wide_text(utf8))
      word(static_cast<WORD>(c));
    word(0);
  }
  void align_dword() {
    if (words_.size() % 2 != 0) word(0);
  }
  std::vector<WORD> take() { return std::move(words_); }

 private:
  std::vector<WORD> words_;
};

short dialog_units(int value) {
  return static_cast<short>(value);
}

}  // namespace

Win32Styles window_styles(bool visible) {
  // Popup with a title bar but no system menu (so no close box), modal frame, centred, the
  // font named in the template; a taskbar button of its own.
  DWORD style = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER | DS_SETFONT;
  if (visible) style |= WS_VISIBLE;
  return {style, WS_EX_APPWINDOW};
}

Win32Styles control_styles(const TemplateControl& item) {
  DWORD style = WS_CHILD;
  if (!item.hidden) style |= WS_VISIBLE;
  DWORD ex_style = 0;
  switch (item.kind) {
    case ControlKind::push_button:
      style |= WS_TABSTOP | (item.default_button ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
      break;
    case ControlKind::edit:
      style |= WS_BORDER | WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL;
      if (item.read_only) style |= ES_READONLY;
      break;
    case ControlKind::scroll_bar:
      style |= SBS_VERT;
      break;
    case ControlKind::combo_box:
      style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
      break;
    case ControlKind::check_box:
      style |= WS_TABSTOP | BS_AUTOCHECKBOX;
      break;
    case ControlKind::static_text:
      // Texts come from files too: an ampersand is shown, never taken as an accelerator.
      style |= WS_GROUP | SS_NOPREFIX | (item.align == Align::centre ? SS_CENTER : SS_LEFT);
      break;
    case ControlKind::picture:
      style |= SS_BITMAP | SS_CENTERIMAGE | SS_SUNKEN;
      break;
    case ControlKind::frame:
      style |= BS_GROUPBOX | (item.align == Align::centre ? BS_CENTER : BS_LEFT);
      break;
  }
  if (item.hidden) style &= ~static_cast<DWORD>(WS_TABSTOP);
  return {style, ex_style};
}

WORD control_class(ControlKind kind) {
  switch (kind) {
    case ControlKind::push_button:
    case ControlKind::check_box:
    case ControlKind::frame:
      return 0x0080;  // Button
    case ControlKind::edit:
      return 0x0081;  // Edit
    case ControlKind::static_text:
    case ControlKind::picture:
      return 0x0082;  // Static
    case ControlKind::scroll_bar:
      return 0x0084;  // ScrollBar
    case ControlKind::combo_box:
      return 0x0085;  // ComboBox
  }
  return 0x0082;
}

std::vector<WORD> extended_template(const DialogTemplate& t, bool visible) {
  TemplateWriter w;
  const Win32Styles window = window_styles(visible);
  w.word(1);  // version
  w.word(kExtendedSignature);
  w.dword(0);  // help id
  w.dword(window.ex_style);
  w.dword(window.style);
  w.word(static_cast<WORD>(t.controls.size()));
  // The position is ignored: DS_CENTER places the window.
  w.word(static_cast<WORD>(dialog_units(t.rect.x)));
  w.word(static_cast<WORD>(dialog_units(t.rect.y)));
  w.word(static_cast<WORD>(dialog_units(t.rect.width)));
  w.word(static_cast<WORD>(dialog_units(t.rect.height)));
  w.word(0);  // no menu
  w.word(0);  // the standard dialog class
  w.text(t.caption);
  w.word(static_cast<WORD>(t.font_points));
  w.word(FW_NORMAL);
  w.word(MAKEWORD(FALSE, DEFAULT_CHARSET));  // italic, character set
  w.text(t.font_name);
  for (const TemplateControl& item : t.controls) {
    const Win32Styles styles = control_styles(item);
    w.align_dword();
    w.dword(0);  // help id
    w.dword(styles.ex_style);
    w.dword(styles.style);
    for (const int v : {item.rect.x, item.rect.y, item.rect.width, item.rect.height})
      w.word(static_cast<WORD>(dialog_units(v)));
    w.dword(static_cast<DWORD>(item.id));  // -1 stays 0xFFFFFFFF, the usual "no id"
    w.word(kOrdinal);
    w.word(control_class(item.kind));
    if (item.kind == ControlKind::picture) {
      w.word(kOrdinal);  // a picture's title is the number of its bitmap resource
      w.word(static_cast<WORD>(item.bitmap));
    } else {
      w.text(item.caption);
    }
    w.word(0);  // no creation data
  }
  return w.take();
}

}  // namespace vantrel::ui
