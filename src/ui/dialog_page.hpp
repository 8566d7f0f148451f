// The dialog as a web page sees it: the template and each control's state as JSON, which the
// page's script turns into elements. The page never holds a copy of the template's rows.
#pragma once

#include <string>

#include "ui/dialog.hpp"
#include "ui/dialog_geometry.hpp"
#include "ui/dialog_template.hpp"

namespace vantrel::ui {

// The window and its controls in creation order (the tab order): kind, caption, rectangle in
// pixels of the page's font (a combo box's closed edit field, with the rows its list shows),
// alignment, flags, whether it takes the focus, its name and description for screen readers;
// then each spinner with its edit box.
std::string page_template(const DialogTemplate& t, const DialogUnits& units);

// What one control shows now: the text it shows (shown_text) and its whole text (what reading
// the control gives), a list's entries, a bar's range, steps and position, a check box's mark.
std::string page_state(const Control& control);

// The name the page gives a kind of control ("push_button", "edit", ...).
std::string_view kind_name(ControlKind kind);

}  // namespace vantrel::ui
