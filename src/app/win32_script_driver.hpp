// Scripted sessions on Windows: each command reaches the real controls of the Win32 window as
// the window messages a user's action would give.
#pragma once

#include "app/script.hpp"
#include "ui/win32/win32_dialog_view.hpp"

namespace vantrel {

class Win32ScriptDriver final : public ScriptDriver {
 public:
  explicit Win32ScriptDriver(ui::Win32DialogView& view) : view_(view) {}
  // WM_VSCROLL from the bar, as its arrows, page areas or thumb send it.
  void scroll(int control, ui::ScrollAction action, int thumb) override;
  // The whole text selected and replaced in the edit field (EM_REPLACESEL), as a paste does.
  void type(int control, std::string_view text) override;
  // The entry selected in the list, then its CBN_SELCHANGE to the window.
  void choose(int control, int entry) override;
  // BM_CLICK: the button's own press and release.
  void click(int control) override;

 private:
  ui::Win32DialogView& view_;
};

}  // namespace vantrel
