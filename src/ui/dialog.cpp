#include "ui/dialog.hpp"

#include <algorithm>
#include <cstdint>

namespace vantrel::ui {

namespace {

bool is_kind(const Control* c, ControlKind kind) {
  return c && c->item && c->item->kind == kind;
}

// The events a control can send, the first being its default.
std::vector<int> events_of(const Control& c, bool is_dialog) {
  if (is_dialog) return {ev_dialog_init, ev_dialog_destroyed};
  switch (c.item->kind) {
    case ControlKind::push_button:
    case ControlKind::check_box:
      return {ev_clicked};
    case ControlKind::scroll_bar:
      return {ev_changed};
    case ControlKind::combo_box:
      return {ev_selection_changed, ev_edit_update,  ev_double_clicked,
              ev_changed,           ev_gained_focus, ev_lost_focus};
    default:
      return {};
  }
}

}  // namespace

Dialog::~Dialog() {
  view_.reset();
}

Control* Dialog::control(int id) {
  const auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : &it->second;
}

const Control* Dialog::control(int id) const {
  const auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : &it->second;
}

Control* Dialog::target(int id) {
  if (template_ && id == template_->id) return &self_;
  return control(id);
}

void Dialog::show_changes(Control& c) {
  if (c.item == nullptr) return;
  if (depth_ > 0) {
    dirty_.insert(c.item->id);
  } else if (view_ && !destroyed_) {
    view_->refresh(c);
  }
}

void Dialog::deliver(int id, int event) {
  if (depth_ > 0) {
    pending_.emplace_back(id, event);
    return;
  }
  pending_.emplace_back(id, event);
  while (!pending_.empty()) {
    const auto [next_id, next_event] = pending_.front();
    pending_.pop_front();
    Control* c = target(next_id);
    if (c == nullptr) continue;
    const auto it = c->callbacks.find(next_event);
    if (it == c->callbacks.end()) continue;
    const Callback routine = it->second;  // a copy: the routine may register others
    ++depth_;
    routine(*this, next_id, next_event);
    --depth_;
    // What the routine set reaches the window now that it has returned.
    const std::set<int> changed = std::exchange(dirty_, {});
    for (const int changed_id : changed) {
      if (Control* shown_control = control(changed_id)) show_changes(*shown_control);
    }
  }
}

void Dialog::notify_scroll(int id, ScrollAction action, int thumb) {
  Control* c = control(id);
  if (destroyed_ || !is_kind(c, ControlKind::scroll_bar)) return;
  std::int64_t p = c->position;
  switch (action) {
    case ScrollAction::line_up:
      p -= c->line_step;
      break;
    case ScrollAction::line_down:
      p += c->line_step;
      break;
    case ScrollAction::page_up:
      p -= c->page_step;
      break;
    case ScrollAction::page_down:
      p += c->page_step;
      break;
    case ScrollAction::thumb:
      p = thumb;
      break;
    case ScrollAction::top:
      p = 1;
      break;
    case ScrollAction::bottom:
      p = c->range_max;
      break;
  }
  p = std::max<std::int64_t>(c->range_min, std::min<std::int64_t>(p, c->range_max));
  c->position = static_cast<int>(p);
  show_changes(*c);
  deliver(id, ev_changed);
}

void Dialog::notify_clicked(int id) {
  Control* c = control(id);
  if (destroyed_ || c == nullptr) return;
  if (is_kind(c, ControlKind::check_box)) {
    c->checked = !c->checked;
    show_changes(*c);
    deliver(id, ev_clicked);
  } else if (is_kind(c, ControlKind::push_button)) {
    // A push button without a routine closes the dialog.
    if (c->callbacks.count(ev_clicked) != 0) {
      deliver(id, ev_clicked);
    } else {
      dialog_exit(*this);
    }
  }
}

void Dialog::notify_edited(int id, std::string_view text) {
  Control* c = control(id);
  if (destroyed_ || c == nullptr) return;
  const bool combo = is_kind(c, ControlKind::combo_box);
  if (!is_kind(c, ControlKind::edit) && !combo) return;
  c->text = std::string(text);
  if (combo) {
    deliver(id, ev_edit_update);
    deliver(id, ev_changed);
  }
}

void Dialog::notify_selected(int id, int entry) {
  Control* c = control(id);
  if (destroyed_ || !is_kind(c, ControlKind::combo_box)) return;
  if (entry < 1 || entry > static_cast<int>(c->entries.size())) return;
  c->text = c->entries[static_cast<std::size_t>(entry - 1)];
  show_changes(*c);
  deliver(id, ev_selection_changed);
}

void Dialog::notify_focus(int id, bool gained) {
  if (!destroyed_ && is_kind(control(id), ControlKind::combo_box)) {
    deliver(id, gained ? ev_gained_focus : ev_lost_focus);
  }
}

void Dialog::notify_double_clicked(int id) {
  if (!destroyed_ && is_kind(control(id), ControlKind::combo_box)) deliver(id, ev_double_clicked);
}

void Dialog::notify_destroyed() {
  if (destroyed_ || template_ == nullptr) return;
  destroyed_ = true;
  deliver(template_->id, ev_dialog_destroyed);
}

namespace {

class HeadlessView final : public DialogView {
 public:
  explicit HeadlessView(Dialog& dialog) : dialog_(dialog) {}
  bool show(int) override { return true; }
  void refresh(const Control&) override {}
  void close() override { dialog_.notify_destroyed(); }

 private:
  Dialog& dialog_;
};

}  // namespace

std::unique_ptr<DialogView> make_headless_view(Dialog& dialog) {
  return std::make_unique<HeadlessView>(dialog);
}

bool dialog_is_dialog_message(const Dialog& dialog, const Message&) {
  return dialog.shown() && !dialog.destroyed();
}

bool dialog_init(int template_id, Dialog& dialog) {
  const DialogTemplate* t = find_template(template_id);
  if (t == nullptr) return false;
  dialog_uninit(dialog);
  dialog.template_ = t;
  for (const TemplateControl& item : t->controls) {
    if (item.id == kNoId) continue;
    Control c;
    c.item = &item;
    if (item.kind != ControlKind::edit && item.kind != ControlKind::combo_box) {
      c.text = std::string(item.caption);
    }
    dialog.controls_[item.id] = std::move(c);
  }
  return true;
}

bool dialog_show_modeless(Dialog& dialog, int show_command) {
  if (dialog.template_ == nullptr || dialog.destroyed_ || !dialog.view_factory_) return false;
  if (dialog.view_) return true;
  std::unique_ptr<DialogView> view = dialog.view_factory_(dialog);
  if (!view || !view->show(show_command)) return false;
  dialog.view_ = std::move(view);
  dialog.deliver(dialog.template_->id, ev_dialog_init);
  return true;
}

bool dialog_exit(Dialog& dialog) {
  if (dialog.template_ == nullptr || dialog.destroyed_) return false;
  if (dialog.view_) {
    dialog.view_->close();  // the view reports the destruction
  }
  dialog.notify_destroyed();  // without a window, or if the view did not
  return true;
}

void dialog_uninit(Dialog& dialog) {
  dialog.view_.reset();
  dialog.controls_.clear();
  dialog.self_ = Control{};
  dialog.template_ = nullptr;
  dialog.pending_.clear();
  dialog.dirty_.clear();
  dialog.destroyed_ = false;
}

bool dialog_set_text(Dialog& dialog, int id, std::string_view text, int length,
                     std::optional<int> entry) {
  Control* c = dialog.control(id);
  if (c == nullptr) return false;
  const std::string value(text.substr(0, static_cast<std::size_t>(std::max(length, 0))));
  if (entry.has_value()) {
    if (!is_kind(c, ControlKind::combo_box) || *entry < 1 ||
        *entry > static_cast<int>(c->entries.size())) {
      return false;
    }
    c->entries[static_cast<std::size_t>(*entry - 1)] = value;
  } else {
    c->text = value;
  }
  dialog.show_changes(*c);
  return true;
}

bool dialog_get_text(const Dialog& dialog, int id, std::string& text) {
  const Control* c = dialog.control(id);
  if (c == nullptr) return false;
  text = c->text;
  return true;
}

bool dialog_set_int(Dialog& dialog, int id, int value, std::optional<int> selector) {
  Control* c = dialog.control(id);
  if (is_kind(c, ControlKind::scroll_bar)) {
    switch (selector.value_or(sel_position)) {
      case sel_position:
        c->position = value;
        break;  // stored as given, even out of range
      case sel_range_max:
        c->range_max = value;
        break;
      case sel_range_min:
        c->range_min = value;
        break;
      default:
        return false;
    }
  } else if (is_kind(c, ControlKind::combo_box)) {
    if (selector.value_or(sel_list_count) != sel_list_count || value < 0) return false;
    c->entries.resize(static_cast<std::size_t>(value));
  } else {
    return false;
  }
  dialog.show_changes(*c);
  return true;
}

bool dialog_get_int(const Dialog& dialog, int id, int& value, std::optional<int> selector) {
  const Control* c = dialog.control(id);
  if (is_kind(c, ControlKind::scroll_bar)) {
    switch (selector.value_or(sel_position)) {
      case sel_position:
        value = c->position;
        return true;
      case sel_range_max:
        value = c->range_max;
        return true;
      case sel_range_min:
        value = c->range_min;
        return true;
      default:
        return false;
    }
  }
  if (is_kind(c, ControlKind::combo_box) && selector.value_or(sel_list_count) == sel_list_count) {
    value = static_cast<int>(c->entries.size());
    return true;
  }
  return false;
}

bool dialog_set_logical(Dialog& dialog, int id, bool value) {
  Control* c = dialog.control(id);
  if (!is_kind(c, ControlKind::check_box)) return false;
  c->checked = value;
  dialog.show_changes(*c);
  return true;
}

bool dialog_get_logical(const Dialog& dialog, int id, bool& value) {
  const Control* c = dialog.control(id);
  if (!is_kind(c, ControlKind::check_box)) return false;
  value = c->checked;
  return true;
}

bool dialog_set_callback(Dialog& dialog, int id, Callback routine, std::optional<int> event) {
  Control* c = dialog.target(id);
  if (c == nullptr || !routine) return false;
  const bool is_dialog = c == &dialog.self_;
  const std::vector<int> events = events_of(*c, is_dialog);
  if (events.empty()) return false;
  if (event.has_value()) {
    if (std::find(events.begin(), events.end(), *event) == events.end()) return false;
    c->callbacks[*event] = std::move(routine);
  } else if (is_dialog) {
    for (const int e : events)
      c->callbacks[e] = routine;  // every dialog-level event
  } else {
    c->callbacks[events.front()] = std::move(routine);
  }
  return true;
}

}  // namespace vantrel::ui
