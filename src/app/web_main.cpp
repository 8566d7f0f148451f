// The program in a web page: one session at a time, started by the page once it has put the
// three reference files in the working directory, its controls driven by the page's events.
// The page calls these entry points; each runs to its end (no message loop: the browser's is).
#include <emscripten.h>

#include <iostream>
#include <memory>

#include "app/script.hpp"
#include "app/startup.hpp"
#include "ui/dialog_geometry.hpp"
#include "ui/web/web_dialog_view.hpp"

namespace {

using namespace vantrel;

// What one run of the program owns, as main() owns it on the desktop.
struct Session {
  ui::WebPlatform platform;
  Program program{platform, TraceUnit::from_environment()};
  ui::Dialog dialog;
};

// The dialog units of the page's font; the page measures it before the first start.
ui::DialogUnits& page_units() {
  static ui::DialogUnits units{7, 14};
  return units;
}

// The page's one session; the page starts and ends it.
std::unique_ptr<Session>& current() {
  static std::unique_ptr<Session> session;
  return session;
}

ui::Dialog* dialog() {
  Session* s = current().get();
  return s == nullptr ? nullptr : &s->dialog;
}

constexpr int kStarted = 0;
constexpr int kFilesStopped = 1;
constexpr int kNoWindow = 2;

}  // namespace

extern "C" {

// Starts a session in the working directory: 0 started, 1 a reference file stopped the start
// (its report shown as a message), 2 the window could not be made.
EMSCRIPTEN_KEEPALIVE int vantrel_start() {
  current() = std::make_unique<Session>();
  Session& s = *current();
  s.dialog.set_view_factory(
      [](ui::Dialog& d) { return std::make_unique<ui::WebDialogView>(d, page_units()); });
  std::string report;
  switch (start_run(s.program, s.dialog, ui::show_normal, std::cerr, &report)) {
    case StartOutcome::started:
      return kStarted;
    case StartOutcome::files_stopped:
      s.platform.message_box(report, "Vantrel");
      return kFilesStopped;
    case StartOutcome::no_window:
      s.platform.message_box(kInitError, kInitErrorCaption);
      return kNoWindow;
  }
  return kNoWindow;
}

// Ends the session (after "Exit", or before starting again); its trace lines stay on file.
EMSCRIPTEN_KEEPALIVE void vantrel_end() {
  if (current()) ui::dialog_uninit(current()->dialog);
  current().reset();
}

// The page's font, measured as the other views measure theirs: the advance of "A...Za...z" and
// the line height, in CSS pixels. Sessions started afterwards are laid out in its units.
EMSCRIPTEN_KEEPALIVE void vantrel_font(double letters_width, int height) {
  page_units() = ui::DialogUnits::of_font(letters_width, height);
}

EMSCRIPTEN_KEEPALIVE void vantrel_clicked(int id) {
  if (ui::Dialog* d = dialog()) d->notify_clicked(id);
}

EMSCRIPTEN_KEEPALIVE void vantrel_edited(int id, const char* text) {
  if (ui::Dialog* d = dialog()) d->notify_edited(id, text);
}

EMSCRIPTEN_KEEPALIVE void vantrel_selected(int id, int entry) {
  if (ui::Dialog* d = dialog()) d->notify_selected(id, entry);
}

EMSCRIPTEN_KEEPALIVE void vantrel_focus(int id, int gained) {
  if (ui::Dialog* d = dialog()) d->notify_focus(id, gained != 0);
}

// A spinner's action, named as a session's scroll commands name it, with the thumb's position
// for "thumb"; another name does nothing.
EMSCRIPTEN_KEEPALIVE void vantrel_scroll(int id, const char* name, int thumb) {
  ui::Dialog* d = dialog();
  const auto action = scroll_action(name);
  if (d == nullptr || !action) return;
  const ui::Control* bar = d->control(id);
  const int position = bar == nullptr ? 0 : bar->position;
  d->notify_scroll(id, *action, *action == ui::ScrollAction::thumb ? thumb : position);
}

}  // extern "C"
