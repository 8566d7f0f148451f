#include "ui/dialog_page.hpp"

#include <string_view>

#include "data/safe_text.hpp"
#include "ui/dialog_help.hpp"

namespace vantrel::ui {

namespace {

// A JSON object written member by member.
class JsonObject {
 public:
  explicit JsonObject(std::string& out) : out_(out) { out_ += '{'; }
  JsonObject& text(std::string_view name, std::string_view value) {
    return key(name).raw(json_string(value));
  }
  JsonObject& number(std::string_view name, int value) {
    return key(name).raw(std::to_string(value));
  }
  JsonObject& flag(std::string_view name, bool value) {
    return key(name).raw(value ? "true" : "false");
  }
  JsonObject& key(std::string_view name) {
    if (!first_) out_ += ',';
    first_ = false;
    out_ += json_string(name);
    out_ += ':';
    return *this;
  }
  JsonObject& raw(std::string_view json) {
    out_ += json;
    return *this;
  }
  void end() { out_ += '}'; }

 private:
  std::string& out_;
  bool first_ = true;
};

void rect_members(JsonObject& o, const Rect& r) {
  o.number("x", r.x).number("y", r.y).number("width", r.width).number("height", r.height);
}

void control_item(std::string& out, const TemplateControl& item, const DialogUnits& units) {
  JsonObject o(out);
  o.number("order", item.order).number("id", item.id).text("kind", kind_name(item.kind));
  o.text("caption", item.caption);
  Rect area = units.pixels(item.rect);
  if (item.kind == ControlKind::combo_box) {
    area.height = units.y(kComboEditHeight);
    o.number("rows", dropped_rows(units.y(item.rect.height), area.height, units.base_y));
  }
  rect_members(o, area);
  o.text("align", item.align == Align::centre ? "centre" : "left");
  o.flag("hidden", item.hidden).flag("readOnly", item.read_only);
  o.flag("defaultButton", item.default_button).number("bitmap", item.bitmap);
  o.flag("focus", takes_focus(item));
  const ControlHelp help = accessible_help(item);
  o.text("name", help.name).text("description", help.tooltip);
  o.end();
}

}  // namespace

std::string_view kind_name(ControlKind kind) {
  switch (kind) {
    case ControlKind::push_button:
      return "push_button";
    case ControlKind::edit:
      return "edit";
    case ControlKind::scroll_bar:
      return "scroll_bar";
    case ControlKind::combo_box:
      return "combo_box";
    case ControlKind::check_box:
      return "check_box";
    case ControlKind::static_text:
      return "static_text";
    case ControlKind::picture:
      return "picture";
    case ControlKind::frame:
      return "frame";
  }
  return "static_text";
}

std::string page_template(const DialogTemplate& t, const DialogUnits& units) {
  std::string out;
  JsonObject o(out);
  o.number("id", t.id).text("caption", t.caption);
  o.number("width", units.x(t.rect.width)).number("height", units.y(t.rect.height));
  o.key("controls").raw("[");
  bool first = true;
  for (const TemplateControl& item : t.controls) {
    if (!first) out += ',';
    first = false;
    control_item(out, item, units);
  }
  out += ']';
  o.key("spinners").raw("[");
  first = true;
  for (const auto& [bar, edit] : spinner_edits(t)) {
    if (!first) out += ',';
    first = false;
    JsonObject(out).number("bar", bar).number("edit", edit).end();
  }
  out += ']';
  o.end();
  return out;
}

std::string page_state(const Control& control) {
  std::string out;
  JsonObject o(out);
  o.number("id", control.item->id).text("text", shown_text(control)).text("value", control.text);
  if (control.item->kind == ControlKind::combo_box) {
    o.key("entries").raw("[");
    for (std::size_t i = 0; i < control.entries.size(); ++i) {
      if (i > 0) out += ',';
      out += json_string(control.entries[i]);
    }
    out += ']';
  }
  if (control.item->kind == ControlKind::scroll_bar) {
    o.number("position", control.position).number("min", control.range_min);
    o.number("max", control.range_max).number("line", control.line_step);
    o.number("page", control.page_step);
  }
  if (control.item->kind == ControlKind::check_box) o.flag("checked", control.checked);
  o.end();
  return out;
}

}  // namespace vantrel::ui
