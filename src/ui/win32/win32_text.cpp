#include "ui/win32/win32_text.hpp"

#include <windows.h>

namespace vantrel::ui {

std::wstring wide_text(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int size = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
  return wide;
}

namespace {

std::string narrow_text(std::wstring_view wide, UINT code_page) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(code_page, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(code_page, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
  return text;
}

}  // namespace

std::string utf8_text(std::wstring_view wide) {
  return narrow_text(wide, CP_UTF8);
}

std::string system_text(std::string_view utf8) {
  return narrow_text(wide_text(utf8), CP_ACP);
}

}  // namespace vantrel::ui
