// The program's texts are UTF-8; Windows' wide functions take UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace vantrel::ui {

// Bytes that are not UTF-8 become U+FFFD, as the Qt view shows them.
std::wstring wide_text(std::string_view utf8);
std::string utf8_text(std::wstring_view wide);
// The text in the system's code page, for the functions that take it (MessageBoxA).
std::string system_text(std::string_view utf8);

}  // namespace vantrel::ui
