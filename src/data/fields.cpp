#include "data/fields.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <system_error>

#include "data/float_chars.hpp"

namespace vantrel {

void SPLIT_STRING(std::string_view text, char delimiter, FieldArray& fields, int& count) {
  const std::string_view used = without_trailing_blanks(text);
  std::size_t p = 0;
  int k = 0;
  while (p < used.size() && k < kMaxFields) {
    const std::size_t start = p;
    while (p < used.size() && used[p] != delimiter)
      ++p;
    ++k;
    fields[k].assign(used.substr(start, p - start));
    ++p;  // past the delimiter
  }
  count = k;
}

namespace {

// The first of the characters `Cs` in the text from `from`, or npos. A number's field is read
// for every cell of a large file; the library's find_first_of looks up each character in turn.
template <char... Cs>
std::size_t find_any(std::string_view text, std::size_t from = 0) {
  for (std::size_t i = from; i < text.size(); ++i) {
    if (((text[i] == Cs) || ...)) return i;
  }
  return std::string_view::npos;
}

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}
bool is_exponent_letter(char c) {
  return c == 'e' || c == 'E' || c == 'd' || c == 'D' || c == 'q' || c == 'Q';
}

// One number token checked against the accepted forms and rewritten for std::from_chars
// (which knows neither a leading '+' nor the exponent letters D and Q).
struct NumberToken {
  bool valid = false;
  bool integer_form = false;  // sign and digits only
  long long magnitude = 0;    // power of ten of the leading non-zero digit
  std::string normalized;
};

std::string_view take_digits(std::string_view token, std::size_t& i) {
  const std::size_t first = i;
  while (i < token.size() && is_digit(token[i]))
    ++i;
  return token.substr(first, i - first);
}

// The exponent after its letter at i: its value (capped) into `exponent`, its text into the
// token; false when the letter has no digits.
bool scan_exponent(std::string_view token, std::size_t& i, NumberToken& t, long long& exponent) {
  ++i;  // the letter
  bool negative = false;
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) negative = token[i++] == '-';
  const std::string_view digits = take_digits(token, i);
  if (digits.empty()) return false;
  for (const char c : digits)
    exponent = std::min(exponent * 10 + (c - '0'), 1'000'000'000LL);
  if (negative) exponent = -exponent;
  t.normalized += negative ? "e-" : "e";
  t.normalized += digits;
  return true;
}

NumberToken scan(std::string_view token) {
  NumberToken t;
  std::size_t i = 0;
  const std::size_t n = token.size();
  if (i < n && (token[i] == '+' || token[i] == '-')) {
    if (token[i] == '-') t.normalized += '-';
    ++i;
  }
  const std::string_view whole = take_digits(token, i);
  t.normalized += whole;
  std::string_view fraction;
  const bool point = i < n && token[i] == '.';
  if (point) {
    ++i;
    fraction = take_digits(token, i);
    t.normalized += '.';
    t.normalized += fraction;
  }
  if (whole.empty() && fraction.empty()) return t;  // a sign or a point alone is no number

  long long exponent = 0;
  const bool has_exponent = i < n && is_exponent_letter(token[i]);
  if (has_exponent && !scan_exponent(token, i, t, exponent)) return t;
  if (i != n) return t;

  t.valid = true;
  t.integer_form = !point && !has_exponent;
  const std::size_t lead = whole.find_first_not_of('0');
  if (lead != std::string_view::npos) {
    t.magnitude = static_cast<long long>(whole.size() - lead) - 1 + exponent;
  } else if (const std::size_t f = fraction.find_first_not_of('0'); f != std::string_view::npos) {
    t.magnitude = -static_cast<long long>(f) - 1 + exponent;
  }
  return t;
}

// The token of free-form reading: from the first non-blank to the next blank, comma or slash.
std::string_view first_token(std::string_view text) {
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return {};
  const std::size_t end = find_any<' ', ',', '/'>(text, start);
  return text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

bool starts_with_separator(std::string_view text) {
  const std::size_t start = text.find_first_not_of(' ');
  return start != std::string_view::npos && (text[start] == ',' || text[start] == '/');
}

// Nearest single-precision value of a valid token; false when it is beyond the float range.
bool to_float(const NumberToken& t, float& value) {
  float parsed = 0.0F;
  const char* first = t.normalized.data();
  const char* last = first + t.normalized.size();
  const std::errc read = read_float(first, last, parsed);
  if (read == std::errc::result_out_of_range) {
    if (t.magnitude >= 0) return false;                   // too large for single precision
    parsed = t.normalized.front() == '-' ? -0.0F : 0.0F;  // too small: it underflows to zero
  } else if (read != std::errc{}) {
    return false;
  }
  value = parsed;
  return true;
}

}  // namespace

FreeFormRead STRING_TO_REAL(std::string_view text, float& value) {
  if (is_blank(text)) {
    value = kBlankReal;
    return FreeFormRead::blank;
  }
  if (starts_with_separator(text)) return FreeFormRead::no_value;
  const NumberToken token = scan(first_token(text));
  if (!token.valid || !to_float(token, value)) return FreeFormRead::error;
  return FreeFormRead::value;
}

void STRING_TO_INT(std::string_view text, std::int32_t& value) {
  value = kNoInt;
  if (is_blank(text)) {
    value = kBlankInt;
    return;
  }
  if (starts_with_separator(text)) return;
  const NumberToken token = scan(first_token(text));
  if (!token.valid) return;
  if (token.integer_form) {
    std::int32_t parsed = 0;
    const char* first = token.normalized.data();
    const char* last = first + token.normalized.size();
    const auto result = std::from_chars(first, last, parsed);
    if (result.ec == std::errc{} && result.ptr == last) value = parsed;
    return;
  }
  float real = 0.0F;
  if (!to_float(token, real)) return;
  // Cut toward zero only when the result is a 32-bit integer.
  if (real >= -2147483648.0F && real < 2147483648.0F) value = static_cast<std::int32_t>(real);
}

namespace {

// The comma that ends the text's first number, when it stands for a decimal point: a digit on
// its left (or nothing, the comma starting the number) and a digit on its right.
std::optional<std::string> decimal_comma(std::string_view text) {
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return std::nullopt;
  const std::size_t comma = find_any<' ', ',', '/'>(text, start);
  if (comma == std::string_view::npos || text[comma] != ',') return std::nullopt;
  if (comma + 1 >= text.size() || !is_digit(text[comma + 1])) return std::nullopt;
  const std::string_view whole = text.substr(start, comma - start);
  if (!whole.empty() && !is_digit(whole.back())) return std::nullopt;
  const std::size_t end = find_any<' ', ',', '/'>(text, comma + 1);
  const std::string_view fraction = text.substr(
      comma + 1, end == std::string_view::npos ? std::string_view::npos : end - comma - 1);
  return (whole.empty() ? std::string("0") : std::string(whole)) + "." + std::string(fraction);
}

}  // namespace

InputValue read_input(std::string_view text, float previous) {
  InputValue read;
  read.value = previous;
  if (auto meant = decimal_comma(text)) {
    read.kind = InputRead::decimal_comma;
    read.with_point = std::move(*meant);
    return read;
  }
  switch (STRING_TO_REAL(text, read.value)) {
    case FreeFormRead::value:
      read.kind = InputRead::number;
      break;
    case FreeFormRead::blank:
      read.kind = InputRead::blank;
      break;
    case FreeFormRead::no_value:
      read.kind = InputRead::no_number;
      break;
    case FreeFormRead::error:
      read.kind = InputRead::not_a_number;
      break;
  }
  return read;
}

std::string_view trimmed_field(std::string_view text) {
  // Character tests, not find_first_not_of: that looks each character up in the set.
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  std::size_t first = 0, end = text.size();
  while (first < end && blank(text[first]))
    ++first;
  while (end > first && blank(text[end - 1]))
    --end;
  return text.substr(first, end - first);
}

TableNumber read_table_number(std::string_view text, float& value) {
  const std::string_view number = trimmed_field(text);
  if (number.empty()) return TableNumber::blank;
  if (find_any<' ', '\t', ',', '/'>(number) != std::string_view::npos) return TableNumber::invalid;
  const InputValue read = read_input(number, 0);
  if (read.kind != InputRead::number || !std::isfinite(read.value)) return TableNumber::invalid;
  value = read.value;
  return TableNumber::value;
}

}  // namespace vantrel
