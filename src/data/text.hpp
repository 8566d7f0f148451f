// Fixed-length, blank-padded texts: the form in which every text of the program
// is kept, read from files and exchanged with the dialog.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace vantrel {

// True when the text holds no character other than the space (an empty text is blank).
constexpr bool is_blank(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

// The text up to its last non-space character; only spaces count as trailing blanks.
constexpr std::string_view without_trailing_blanks(std::string_view text) {
  const auto last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

// The text without an incomplete UTF-8 sequence at its end (left by cutting a text to a
// fixed length in the middle of a character).
constexpr std::string_view without_partial_character(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  std::size_t lead = text.size();
  for (std::size_t back = 1; back <= 4 && back <= text.size(); ++back) {
    if ((byte(text.size() - back) & 0xC0U) != 0x80U) {
      lead = text.size() - back;
      break;
    }
  }
  if (lead == text.size() || byte(lead) < 0xC0U) return text;  // ASCII or no lead byte
  const std::size_t needed = byte(lead) >= 0xF0U ? 4 : byte(lead) >= 0xE0U ? 3 : 2;
  return text.size() - lead < needed ? text.substr(0, lead) : text;
}

// A text between double quotes, as messages name what a field or cell holds.
inline std::string in_quotes(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

// The text with A to Z as a to z, as header names are matched without regard to case.
inline std::string ascii_lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

// N characters, always full: a shorter value is padded with blanks, a longer one is cut.
template <std::size_t N>
class Text {
 public:
  static constexpr std::size_t length = N;

  constexpr Text() { chars_.fill(' '); }
  constexpr explicit Text(std::string_view value) { assign(value); }

  constexpr void assign(std::string_view value) {
    const std::size_t kept = std::min(value.size(), N);
    std::copy_n(value.begin(), kept, chars_.begin());
    std::fill(chars_.begin() + kept, chars_.end(), ' ');
  }

  constexpr std::string_view view() const { return {chars_.data(), N}; }
  constexpr operator std::string_view() const { return view(); }  // NOLINT: texts read as views
  constexpr std::string_view trimmed() const { return without_trailing_blanks(view()); }
  constexpr bool blank() const { return is_blank(view()); }
  std::string str() const { return std::string(view()); }

  // 0-based access to one character.
  constexpr char& operator[](std::size_t i) { return chars_[i]; }
  constexpr char operator[](std::size_t i) const { return chars_[i]; }

  constexpr bool operator==(const Text&) const = default;

 private:
  std::array<char, N> chars_{};
};

// The widths the program works with.
inline constexpr std::size_t kLineLength = 256;   // one line of a reference file
inline constexpr std::size_t kFieldLength = 128;  // one comma-separated field
inline constexpr std::size_t kNumberLength =
    20;  // a number exchanged with a control or a converter

using LineText = Text<kLineLength>;
using FieldText = Text<kFieldLength>;
using NumberText = Text<kNumberLength>;

}  // namespace vantrel
