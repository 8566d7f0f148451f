#include "app/script.hpp"

#include <charconv>
#include <istream>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>

namespace vantrel {

void DialogDriver::scroll(int control, ui::ScrollAction action, int thumb) {
  dialog_.notify_scroll(control, action, thumb);
}
void DialogDriver::type(int control, std::string_view text) {
  dialog_.notify_edited(control, text);
}
void DialogDriver::choose(int control, int entry) {
  dialog_.notify_selected(control, entry);
}
void DialogDriver::click(int control) {
  dialog_.notify_clicked(control);
}

void ScriptPlatform::post_quit(int code) {
  quit_ = true;
  quit_code_ = code;
}

void ScriptPlatform::message_box(std::string_view text, std::string_view) {
  std::string line(text);
  for (char& c : line) {
    if (c == '\n') c = ' ';
  }
  out_ << "message: " << line << '\n';
}

std::optional<ui::ScrollAction> scroll_action(std::string_view name) {
  static const std::map<std::string, ui::ScrollAction, std::less<>> actions = {
      {"up", ui::ScrollAction::line_up},     {"down", ui::ScrollAction::line_down},
      {"pageup", ui::ScrollAction::page_up}, {"pagedown", ui::ScrollAction::page_down},
      {"top", ui::ScrollAction::top},        {"bottom", ui::ScrollAction::bottom},
      {"thumb", ui::ScrollAction::thumb}};
  const auto action = actions.find(name);
  if (action == actions.end()) return std::nullopt;
  return action->second;
}

namespace {

class Malformed {
 public:
  explicit Malformed(std::string why) : why_(std::move(why)) {}
  const std::string& why() const { return why_; }

 private:
  std::string why_;
};

std::optional<int> to_int(std::string_view word) {
  int value = 0;
  const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (ec != std::errc{} || end != word.data() + word.size()) return std::nullopt;
  return value;
}

// One line cut into its command, its control and the rest after one blank.
struct Command {
  std::string name;
  int control = 0;
  std::string rest;
};

Command parse(std::string_view line) {
  Command c;
  const std::size_t first_blank = line.find(' ');
  c.name = std::string(line.substr(0, first_blank));
  if (first_blank == std::string_view::npos) throw Malformed("no control id");
  const std::string_view after = line.substr(first_blank + 1);
  const std::size_t second_blank = after.find(' ');
  const auto control = to_int(after.substr(0, second_blank));
  if (!control) throw Malformed("\"" + std::string(after.substr(0, second_blank)) + "\" is no id");
  c.control = *control;
  if (second_blank != std::string_view::npos) c.rest = std::string(after.substr(second_blank + 1));
  return c;
}

const ui::Control& control_of(const ui::Dialog& dialog, int control,
                              std::initializer_list<ui::ControlKind> kinds, bool user_reaches) {
  const ui::Control* c = dialog.control(control);
  if (c == nullptr) throw Malformed("the window has no control " + std::to_string(control));
  bool fits = false;
  for (const ui::ControlKind k : kinds)
    fits = fits || c->item->kind == k;
  if (!fits) throw Malformed("control " + std::to_string(control) + " cannot do that");
  if (user_reaches && (c->item->hidden || c->item->read_only)) {
    throw Malformed("the user cannot reach control " + std::to_string(control));
  }
  return *c;
}

void perform(const Command& c, std::ostream& out, ui::Dialog& dialog, ScriptDriver& driver) {
  using K = ui::ControlKind;
  if (c.name == "scroll") {
    control_of(dialog, c.control, {K::scroll_bar}, true);
    if (c.rest.rfind("thumb ", 0) == 0) {
      const auto n = to_int(std::string_view(c.rest).substr(6));
      if (!n) throw Malformed("thumb needs a position");
      driver.scroll(c.control, ui::ScrollAction::thumb, *n);
      return;
    }
    const auto action = scroll_action(c.rest);
    // A thumb without its position is no action a session can give.
    if (!action || *action == ui::ScrollAction::thumb) {
      throw Malformed("unknown scroll action \"" + c.rest + "\"");
    }
    driver.scroll(c.control, *action, 0);
  } else if (c.name == "type") {
    control_of(dialog, c.control, {K::edit, K::combo_box}, true);
    driver.type(c.control, c.rest);
  } else if (c.name == "choose") {
    const ui::Control& combo = control_of(dialog, c.control, {K::combo_box}, true);
    const auto entry = to_int(c.rest);
    if (!entry || *entry < 1 || *entry > static_cast<int>(combo.entries.size())) {
      throw Malformed("the list has no entry \"" + c.rest + "\"");
    }
    driver.choose(c.control, *entry);
  } else if (c.name == "click") {
    control_of(dialog, c.control, {K::push_button, K::check_box}, true);
    driver.click(c.control);
  } else if (c.name == "text") {
    const ui::Control& shown =
        control_of(dialog, c.control,
                   {K::edit, K::combo_box, K::static_text, K::push_button, K::check_box}, false);
    out << c.control << '|' << shown.text << "|\n";
  } else if (c.name == "position") {
    const int position = control_of(dialog, c.control, {K::scroll_bar}, false).position;
    out << c.control << ' ' << position << '\n';
  } else if (c.name == "checked") {
    const bool checked = control_of(dialog, c.control, {K::check_box}, false).checked;
    out << c.control << ' ' << (checked ? "true" : "false") << '\n';
  } else if (c.name == "entries") {
    const std::size_t count = control_of(dialog, c.control, {K::combo_box}, false).entries.size();
    out << c.control << ' ' << count << '\n';
  } else {
    throw Malformed("unknown command \"" + c.name + "\"");
  }
}

}  // namespace

int run_script(std::istream& script, std::ostream& out, std::ostream& errors, ui::Dialog& dialog,
               ScriptDriver& driver, const ScriptPlatform& platform) {
  std::string line;
  int number = 0;
  while (std::getline(script, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') continue;
    try {
      perform(parse(line), out, dialog, driver);
    } catch (const Malformed& m) {
      out.flush();
      errors << "script line " << number << ": " << m.why() << ": " << line << '\n';
      return kScriptMalformed;
    }
    out.flush();  // a driver that waits for a command's answer sees it now
    if (platform.quit()) return platform.quit_code();
  }
  return 0;
}

}  // namespace vantrel
