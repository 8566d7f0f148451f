#include "ui/dialog_geometry.hpp"

#include <algorithm>
#include <cmath>

namespace vantrel::ui {

DialogUnits DialogUnits::of_font(double letters_width, int height) {
  return {static_cast<int>(std::lround(letters_width / 52.0)), height};
}

bool takes_focus(const TemplateControl& item) {
  switch (item.kind) {
    case ControlKind::push_button:
    case ControlKind::edit:
    case ControlKind::combo_box:
    case ControlKind::check_box:
      return !item.hidden;
    default:
      return false;
  }
}

std::vector<std::pair<int, int>> spinner_edits(const DialogTemplate& t) {
  std::vector<std::pair<int, int>> pairs;
  for (const TemplateControl& bar : t.controls) {
    if (bar.kind != ControlKind::scroll_bar) continue;
    for (const TemplateControl& edit : t.controls) {
      const int gap = bar.rect.x - (edit.rect.x + edit.rect.width);
      if (edit.kind == ControlKind::edit && edit.rect.y == bar.rect.y && gap >= 0 && gap <= 2) {
        pairs.emplace_back(bar.id, edit.id);
      }
    }
  }
  return pairs;
}

Rect centred_part(int picture_width, int picture_height, int shown_width, int shown_height) {
  const int width = std::min(picture_width, shown_width);
  const int height = std::min(picture_height, shown_height);
  // Halves taken apart, as a label centres a picture, so every view cuts the same pixels.
  return {picture_width / 2 - width / 2, picture_height / 2 - height / 2, width, height};
}

int dropped_rows(int dropped, int edit, int row) {
  return row > 0 ? std::max(1, (dropped - edit + row / 2) / row) : 1;
}

Rect grown_to_fit(const Rect& area, int needed, Align align) {
  if (needed <= area.width) return area;
  Rect grown = area;
  if (align == Align::centre) grown.x -= (needed - area.width) / 2;
  grown.width = needed;
  return grown;
}

std::string_view shown_text(const Control& c) {
  std::string_view visible = without_trailing_blanks(c.text);
  const bool centred =
      c.item != nullptr && (c.item->kind == ControlKind::edit || c.item->align == Align::centre);
  if (centred) visible.remove_prefix(std::min(visible.find_first_not_of(' '), visible.size()));
  return visible;
}

}  // namespace vantrel::ui
