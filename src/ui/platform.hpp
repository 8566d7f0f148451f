// The few services of the windowing platform that the program's routines use beyond the
// dialog: ending the message loop and showing a message box.
#pragma once

#include <string_view>

namespace vantrel::ui {

class Platform {
 public:
  virtual ~Platform() = default;
  // Ends the message loop; its code becomes the program's exit status (PostQuitMessage).
  virtual void post_quit(int code) = 0;
  // Shows a message with an OK button and waits for it (MessageBoxA).
  virtual void message_box(std::string_view text, std::string_view caption) = 0;
};

}  // namespace vantrel::ui
