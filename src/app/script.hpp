// Scripted sessions: a whole session driven by lines of commands, as a user would drive the
// window, with the controls' texts printed on request.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "ui/dialog.hpp"
#include "ui/platform.hpp"

namespace vantrel {

// How a command reaches the dialog: straight to the dialog object, or through widgets.
class ScriptDriver {
 public:
  virtual ~ScriptDriver() = default;
  virtual void scroll(int control, ui::ScrollAction action, int thumb) = 0;
  virtual void type(int control, std::string_view text) = 0;
  virtual void choose(int control, int entry) = 0;
  virtual void click(int control) = 0;
};

// Delivers the commands to the dialog object, as the window's widgets do.
class DialogDriver final : public ScriptDriver {
 public:
  explicit DialogDriver(ui::Dialog& dialog) : dialog_(dialog) {}
  void scroll(int control, ui::ScrollAction action, int thumb) override;
  void type(int control, std::string_view text) override;
  void choose(int control, int entry) override;
  void click(int control) override;

 private:
  ui::Dialog& dialog_;
};

// The platform of a session without a window: message boxes become lines of output.
class ScriptPlatform final : public ui::Platform {
 public:
  explicit ScriptPlatform(std::ostream& out) : out_(out) {}
  void post_quit(int code) override;
  void message_box(std::string_view text, std::string_view caption) override;
  bool quit() const { return quit_; }
  int quit_code() const { return quit_code_; }

 private:
  std::ostream& out_;
  bool quit_ = false;
  int quit_code_ = 0;
};

inline constexpr int kScriptMalformed = 2;

// A spinner's action by the name a session's scroll command gives it: up, down, pageup,
// pagedown, top, bottom, thumb; nothing for another name.
std::optional<ui::ScrollAction> scroll_action(std::string_view name);

// Runs the script's commands until its end or until the session quits ("Exit"). Returns the
// exit status: the quit code, 0 at the end of the script, or 2 for a malformed line (named
// on `errors`).
int run_script(std::istream& script, std::ostream& out, std::ostream& errors, ui::Dialog& dialog,
               ScriptDriver& driver, const ScriptPlatform& platform);

}  // namespace vantrel
