#include "ui/web/web_dialog_view.hpp"

#include <emscripten.h>

#include <string>

#include "ui/dialog_page.hpp"

// The page's side: window.vantrelPage, set by page.js before the module starts. Each takes
// JSON or plain text as UTF-8 in the module's memory. (JavaScript: not for clang-format.)
// clang-format off
EM_JS(int, page_show, (const char* description, int shown), {
  return window.vantrelPage.show(JSON.parse(UTF8ToString(description)), shown !== 0) ? 1 : 0;
});
EM_JS(void, page_refresh, (const char* state), {
  window.vantrelPage.refresh(JSON.parse(UTF8ToString(state)));
});
EM_JS(void, page_close, (), { window.vantrelPage.close(); });
EM_JS(void, page_message, (const char* text, const char* caption), {
  window.vantrelPage.message(UTF8ToString(text), UTF8ToString(caption));
});
EM_JS(void, page_quit, (int code), { window.vantrelPage.quit(code); });
// clang-format on

namespace vantrel::ui {

bool WebDialogView::show(int show_command) {
  const DialogTemplate* t = dialog_.dialog_template();
  if (t == nullptr) return false;
  if (page_show(page_template(*t, units_).c_str(), show_command != show_hidden ? 1 : 0) == 0)
    return false;
  for (const TemplateControl& item : t->controls) {
    if (const Control* c = item.id == kNoId ? nullptr : dialog_.control(item.id)) refresh(*c);
  }
  return true;
}

void WebDialogView::refresh(const Control& control) {
  if (!closed_) page_refresh(page_state(control).c_str());
}

void WebDialogView::close() {
  if (closed_) return;
  closed_ = true;
  page_close();
  dialog_.notify_destroyed();
}

void WebPlatform::post_quit(int code) {
  page_quit(code);
}

void WebPlatform::message_box(std::string_view text, std::string_view caption) {
  page_message(std::string(text).c_str(), std::string(caption).c_str());
}

}  // namespace vantrel::ui
