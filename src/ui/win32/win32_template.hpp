// A dialog template in the form Windows builds dialogs from: an extended dialog template
// (DLGTEMPLATEEX and one DLGITEMTEMPLATEEX per control) made in memory from the template table.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "ui/dialog_template.hpp"

namespace vantrel::ui {

// The window styles and the control styles that each kind of control stands for.
struct Win32Styles {
  DWORD style;
  DWORD ex_style;
};
Win32Styles window_styles(bool visible);
Win32Styles control_styles(const TemplateControl& item);

// The predefined window class of a control kind, as its ordinal (Button 0x80 ... ComboBox 0x85).
WORD control_class(ControlKind kind);

// The whole template, ready for CreateDialogIndirectParamW; `visible` adds WS_VISIBLE.
// Its words are DWORD-aligned wherever the format asks, counted from the first.
std::vector<WORD> extended_template(const DialogTemplate& t, bool visible);

// Template ids are 16 bits wide in WM_COMMAND and GetDlgItem: -1 (no id) becomes 0xFFFF.
constexpr WORD command_id(int id) {
  return static_cast<WORD>(id & 0xFFFF);
}

}  // namespace vantrel::ui
