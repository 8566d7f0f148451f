// What each control of template 101 is, for screen readers and tooltips.
#pragma once

#include <string>
#include <string_view>

#include "ui/dialog_template.hpp"

namespace vantrel::ui {

struct ControlHelp {
  std::string name;     // the accessible name: what the value is, with its unit
  std::string tooltip;  // a sentence for the tooltip and the accessible description; may be empty
};

// The help of the control with this id; an empty name for controls without an entry.
ControlHelp control_help(int id);

// The accessible name of a picture, from the bitmap it shows.
std::string_view picture_name(int bitmap);

// What a screen reader hears of a control of the template, in every view: a picture by its
// bitmap, a control by its help, the frame of the output table without a caption by that name.
ControlHelp accessible_help(const TemplateControl& item);

}  // namespace vantrel::ui
