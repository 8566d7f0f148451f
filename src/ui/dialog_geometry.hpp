// What any view of the dialog template needs, whatever its toolkit: dialog units in pixels
// for a font, which controls take the focus, where a spinner's edit box is, how a picture is
// centred in its control and how far a list drops.
#pragma once

#include <string_view>
#include <utility>
#include <vector>

#include "ui/dialog.hpp"
#include "ui/dialog_template.hpp"

namespace vantrel::ui {

// Dialog units of a font: base units from the average width of the 52 letters A-Z a-z
// (rounded) and the font's height; x * base_x / 4 and y * base_y / 8, rounded.
struct DialogUnits {
  int base_x = 0;
  int base_y = 0;
  // `letters_width`: the advance of "A...Za...z" in pixels; `height`: the font's line height.
  static DialogUnits of_font(double letters_width, int height);
  int x(int units) const { return (units * base_x + 2) / 4; }
  int y(int units) const { return (units * base_y + 4) / 8; }
  Rect pixels(const Rect& r) const { return {x(r.x), y(r.y), x(r.width), y(r.height)}; }
};

// Dialog units of a combo box's closed edit field; the template's height is the dropped list's.
inline constexpr int kComboEditHeight = 14;

// Push buttons, edits, combo boxes and check boxes take the keyboard focus, unless hidden.
bool takes_focus(const TemplateControl& item);

// Each spinner bar with the edit box it serves: the edit just left of it on the same line.
std::vector<std::pair<int, int>> spinner_edits(const DialogTemplate& t);  // (bar id, edit id)

// The part of a picture of `picture` logical pixels that a control showing `shown` pixels
// shows: all of it when it fits, else its centre (picture / 2 - shown / 2 from the left and
// the top, as a label centres it).
Rect centred_part(int picture_width, int picture_height, int shown_width, int shown_height);

// How many entries a drop-down list shows in `dropped` pixels (the template's height of the
// whole combo box, its edit field of `edit` pixels included) with rows of `row` pixels: the
// nearest whole number, at least one.
int dropped_rows(int dropped, int edit, int row);

// The template's rectangles were made for a narrower font than a view may have: a text or a
// check box whose caption needs `needed` pixels grows to show all of it, to the right, or about
// its centre when the text is centred. Pixels in, pixels out.
Rect grown_to_fit(const Rect& area, int needed, Align align);

// The text a control shows: without the blanks that only pad it to its length, and for an
// edit or a centred text without leading blanks, which would push it off its place.
std::string_view shown_text(const Control& control);

}  // namespace vantrel::ui
