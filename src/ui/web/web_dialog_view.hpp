// The dialog's window in a web page: the page's script builds the elements from the template's
// description, shows each control's state as the dialog sends it, and hands the user's actions
// back through the entry points of web_main.cpp as the dialog's notifications.
#pragma once

#include <memory>
#include <string_view>

#include "ui/dialog.hpp"
#include "ui/dialog_geometry.hpp"
#include "ui/platform.hpp"

namespace vantrel::ui {

class WebDialogView final : public DialogView {
 public:
  // `units`: the dialog units of the page's font, as the page measured it.
  WebDialogView(Dialog& dialog, const DialogUnits& units) : dialog_(dialog), units_(units) {}
  bool show(int show_command) override;
  void refresh(const Control& control) override;
  void close() override;

 private:
  Dialog& dialog_;
  DialogUnits units_;
  bool closed_ = false;
};

// The page's message boxes (modal dialogs of the page) and the end of the session.
class WebPlatform final : public Platform {
 public:
  void post_quit(int code) override;
  void message_box(std::string_view text, std::string_view caption) override;
};

}  // namespace vantrel::ui
