// PostQuitMessage, MessageBoxA and the message loop, stood in for by Qt.
#pragma once

#include <string_view>

#include "ui/dialog.hpp"
#include "ui/platform.hpp"

namespace vantrel {

class QtPlatform final : public ui::Platform {
 public:
  void post_quit(int code) override;
  void message_box(std::string_view text, std::string_view caption) override;

  // Waits for and handles the next events (GetMessageA); false once the quit is posted,
  // with its code in the message.
  bool get_message(ui::Message& message);

 private:
  bool quit_ = false;
  int quit_code_ = 0;
};

// Runs the message loop until the quit message; returns its code.
int message_loop(QtPlatform& platform, const ui::Dialog& dialog);

// Whether Qt can reach a display; without one it would abort instead of failing.
bool display_available();

// Shows an error box without an owner window.
void error_box(std::string_view text, std::string_view caption);

}  // namespace vantrel
