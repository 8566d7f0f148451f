#include "data/safe_text.hpp"

#include <cstdint>
#include <cstdio>

namespace vantrel {

namespace {

constexpr char32_t kInvalid = 0xFFFFFFFF;
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The code point at `i` and its length in bytes; kInvalid (length 1) for a byte that does not
// start a well-formed sequence (no overlong forms, no surrogates, nothing above U+10FFFF).
char32_t decode(std::string_view s, std::size_t i, std::size_t& length) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  length = 1;
  const unsigned char b0 = byte(i);
  if (b0 < 0x80) return b0;
  std::size_t n = 0;
  char32_t cp = 0;
  char32_t lowest = 0;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    n = 2, cp = b0 & 0x1FU, lowest = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    n = 3, cp = b0 & 0x0FU, lowest = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    n = 4, cp = b0 & 0x07U, lowest = 0x10000;
  } else {
    return kInvalid;
  }
  if (i + n > s.size()) return kInvalid;
  for (std::size_t k = 1; k < n; ++k) {
    if ((byte(i + k) & 0xC0U) != 0x80U) return kInvalid;
    cp = (cp << 6) | (byte(i + k) & 0x3FU);
  }
  if (cp < lowest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kInvalid;
  length = n;
  return cp;
}

bool is_control(char32_t cp) {
  return cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp <= 0x9F);
}

// Marks that change the direction of the text around them.
bool is_bidi_control(char32_t cp) {
  return cp == 0x061C || cp == 0x200E || cp == 0x200F || (cp >= 0x202A && cp <= 0x202E) ||
         (cp >= 0x2066 && cp <= 0x2069);
}

// Calls `each(code point, bytes)` for every code point of the text, kInvalid for a bad byte.
template <class Each>
void for_each_code_point(std::string_view text, Each each) {
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = 1;
    const char32_t cp = decode(text, i, length);
    each(cp, text.substr(i, length));
    i += length;
  }
}

}  // namespace

std::string valid_utf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for_each_code_point(text, [&](char32_t cp, std::string_view bytes) {
    out += cp == kInvalid ? kReplacement : bytes;
  });
  return out;
}

std::string terminal_text(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for_each_code_point(text, [&](char32_t cp, std::string_view bytes) {
    char escape[12];
    if (cp == kInvalid || (is_control(cp) && cp < 0x80)) {
      std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned char>(bytes[0]));
      out += escape;
    } else if (is_control(cp) || is_bidi_control(cp)) {
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(cp));
      out += escape;
    } else {
      out += bytes;
    }
  });
  return out;
}

std::string page_text(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for_each_code_point(text, [&](char32_t cp, std::string_view bytes) {
    if (cp == kInvalid) {
      out += kReplacement;
    } else if (!is_control(cp) && !is_bidi_control(cp)) {
      out += bytes;
    }
  });
  return out;
}

bool reads_as_formula(std::string_view text) {
  return !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

std::string spreadsheet_text(std::string_view text) {
  return reads_as_formula(text) ? "'" + std::string(text) : std::string(text);
}

std::string json_string(std::string_view text) {
  std::string out = "\"";
  for (const char c : valid_utf8(text)) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", u);
      out += escape;
    } else {
      out += c;
    }
  }
  return out + '"';
}

}  // namespace vantrel
