// Dialog templates as data: the main window's controls with their ids, kinds, captions and
// rectangles in dialog units, in creation order (which is also the keyboard's tab order).
#pragma once

#include <span>
#include <string_view>

namespace vantrel::ui {

enum class ControlKind {
  push_button,
  edit,
  scroll_bar,  // the small vertical spinner bars
  combo_box,   // editable, with a drop-down list
  check_box,
  static_text,
  picture,
  frame,  // group box
};

enum class Align { left, centre };

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

struct TemplateControl {
  int order;  // creation order, from 1
  int id;     // -1 for labels and frames that no routine addresses
  ControlKind kind;
  std::string_view caption;
  Rect rect;  // dialog units; for a combo box the height is that of the dropped list
  Align align = Align::left;
  bool hidden = false;
  bool read_only = false;
  bool default_button = false;
  int bitmap = 0;  // resource number of a picture's bitmap
};

struct DialogTemplate {
  int id;
  std::string_view caption;
  Rect rect;  // the position is not used: the window is centred
  std::string_view font_name;
  int font_points;
  std::span<const TemplateControl> controls;
  int icon = 0;
};

inline constexpr int kMainDialog = 101;
inline constexpr int kNoId = -1;

// The template with that id, or null.
const DialogTemplate* find_template(int id);

// The bitmaps that belong to the program's resources (shown or not) and their sizes.
struct BitmapResource {
  int id;
  int width;
  int height;
  int colours;  // 16, 256, or 0 for true colour
};
std::span<const BitmapResource> bitmap_resources();

}  // namespace vantrel::ui
