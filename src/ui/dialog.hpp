// The dialog layer: one dialog object per window, its controls' state and the operations the
// program uses on it. It knows nothing of the toolkit: a DialogView shows the state and
// reports the user's actions back as notifications.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/text.hpp"
#include "ui/dialog_template.hpp"

namespace vantrel::ui {

// Event codes passed to callbacks.
inline constexpr int ev_dialog_init = 0;
inline constexpr int ev_dialog_destroyed = -15;
inline constexpr int ev_clicked = -4;
inline constexpr int ev_changed = -6;  // scroll position changed; combo edit text changed
inline constexpr int ev_edit_update = -7;
inline constexpr int ev_selection_changed = -10;
inline constexpr int ev_double_clicked = -14;
inline constexpr int ev_gained_focus = -18;
inline constexpr int ev_lost_focus = -19;

// Selectors of dialog_set_int and dialog_get_int.
inline constexpr int sel_position = -9;
inline constexpr int sel_range_max = -8;
inline constexpr int sel_range_min = -16;
inline constexpr int sel_list_count = -13;

// Show commands of dialog_show_modeless.
inline constexpr int show_normal = 1;
inline constexpr int show_hidden = 0;

class Dialog;

// A routine called as routine(dialog, control id, event code).
using Callback = std::function<void(Dialog&, int, int)>;

// What a scroll notification asks for.
enum class ScrollAction { line_up, line_down, page_up, page_down, thumb, top, bottom };

// The state of one control.
struct Control {
  const TemplateControl* item = nullptr;
  std::string text;
  std::vector<std::string> entries;  // combo box list
  int position = 0;
  int range_min = 1;
  int range_max = 100;
  int line_step = 1;
  int page_step = 10;
  bool checked = false;
  std::map<int, Callback> callbacks;  // by event code
};

// The toolkit window of a dialog.
class DialogView {
 public:
  virtual ~DialogView() = default;
  // Creates the window from the dialog's template and shows it; false when it cannot.
  virtual bool show(int show_command) = 0;
  // Shows the current state of one control.
  virtual void refresh(const Control& control) = 0;
  // Destroys the window; the view then calls Dialog::notify_destroyed.
  virtual void close() = 0;
};

using ViewFactory = std::function<std::unique_ptr<DialogView>(Dialog&)>;

class Dialog {
 public:
  Dialog() = default;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;
  ~Dialog();

  // Where dialog_show_modeless gets its window from; without one it reports false.
  void set_view_factory(ViewFactory factory) { view_factory_ = std::move(factory); }

  const DialogTemplate* dialog_template() const { return template_; }
  Control* control(int id);
  const Control* control(int id) const;
  bool shown() const { return view_ != nullptr; }
  bool destroyed() const { return destroyed_; }

  // Notifications of user actions, from the view (or a test). Each runs the callback that
  // is registered for it, one at a time: one that arrives during a callback waits for it.
  void notify_scroll(int id, ScrollAction action, int thumb = 0);
  void notify_clicked(int id);
  void notify_edited(int id, std::string_view text);  // the user changed an edit's text
  void notify_selected(int id, int entry);            // a combo list entry (from 1) chosen
  void notify_focus(int id, bool gained);
  void notify_double_clicked(int id);
  void notify_destroyed();

  // True while a callback runs: values set now reach the window when it returns.
  bool in_callback() const { return depth_ > 0; }

 private:
  friend bool dialog_init(int template_id, Dialog& dialog);
  friend bool dialog_show_modeless(Dialog& dialog, int show_command);
  friend bool dialog_exit(Dialog& dialog);
  friend void dialog_uninit(Dialog& dialog);
  friend bool dialog_set_text(Dialog&, int, std::string_view, int, std::optional<int>);
  friend bool dialog_set_int(Dialog&, int, int, std::optional<int>);
  friend bool dialog_set_logical(Dialog&, int, bool);
  friend bool dialog_set_callback(Dialog&, int, Callback, std::optional<int>);

  Control* target(int id);  // a control, or the dialog itself for the template's id
  void deliver(int id, int event);
  void show_changes(Control& control);

  const DialogTemplate* template_ = nullptr;
  std::map<int, Control> controls_;  // addressable controls by id
  Control self_;                     // the dialog's own callbacks (id 101)
  ViewFactory view_factory_;
  std::unique_ptr<DialogView> view_;
  int depth_ = 0;
  std::deque<std::pair<int, int>> pending_;  // (id, event) waiting for the current callback
  std::set<int> dirty_;                      // ids set inside a callback, shown when it ends
  bool destroyed_ = false;
};

// One message of the platform's message loop.
struct Message {
  int code = 0;
  int param = 0;
};

// A window that shows nothing: a dialog driven without a display.
std::unique_ptr<DialogView> make_headless_view(Dialog& dialog);

// The operations. Each returns its success unless it returns nothing.
bool dialog_init(int template_id, Dialog& dialog);
bool dialog_show_modeless(Dialog& dialog, int show_command = show_normal);
bool dialog_exit(Dialog& dialog);
void dialog_uninit(Dialog& dialog);
// True when the shown dialog takes the message: the toolkit routes the window's own events
// to its widgets, so every message of a live dialog is its own.
bool dialog_is_dialog_message(const Dialog& dialog, const Message& message);

// A control's text; with entry k (1..count) on a combo box, its list entry k.
bool dialog_set_text(Dialog& dialog, int id, std::string_view text, int length,
                     std::optional<int> entry = std::nullopt);
// The control's text, blank-padded or cut to the buffer.
bool dialog_get_text(const Dialog& dialog, int id, std::string& text);
template <std::size_t N>
bool dialog_get_text(const Dialog& dialog, int id, Text<N>& buffer) {
  std::string text;
  const bool found = dialog_get_text(dialog, id, text);
  buffer.assign(found ? std::string_view(text) : std::string_view{});
  return found;
}

bool dialog_set_int(Dialog& dialog, int id, int value, std::optional<int> selector = std::nullopt);
bool dialog_get_int(const Dialog& dialog, int id, int& value,
                    std::optional<int> selector = std::nullopt);
bool dialog_set_logical(Dialog& dialog, int id, bool value);
bool dialog_get_logical(const Dialog& dialog, int id, bool& value);

// Registers the routine for the control's event, or for its default event when none is given.
// A control refuses events it never sends. Id 101 names the dialog itself.
bool dialog_set_callback(Dialog& dialog, int id, Callback routine,
                         std::optional<int> event = std::nullopt);

}  // namespace vantrel::ui
