#include "data/number_text.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <system_error>

#include "data/float_chars.hpp"

namespace vantrel {

namespace {

// Adds one unit in the last place of a string of decimal digits; returns false on carry out.
bool increment(std::string& digits) {
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    if (*it != '9') {
      ++*it;
      return true;
    }
    *it = '0';
  }
  return false;
}

constexpr std::array<double, 7> kPowersOfTen = {1, 10, 100, 1e3, 1e4, 1e5, 1e6};

// The digits of the magnitude rounded to `decimals` places (ties away from zero, from the
// exact value), without the decimal point and with at least decimals + 1 digits.
std::string rounded_digits(double magnitude, int decimals) {
  const auto kept = static_cast<std::size_t>(decimals);
  if (kept < kPowersOfTen.size() && magnitude < 1e9) {
    // A float has 24 significant bits and 10^d = 2^d * 5^d with 5^6 below 2^14, so the
    // scaled value is exact in double and its fraction decides the rounding alone.
    const double scaled = magnitude * kPowersOfTen[kept];
    std::string digits = std::to_string(static_cast<long long>(std::floor(scaled + 0.5)));
    if (digits.size() < kept + 1) digits.insert(0, kept + 1 - digits.size(), '0');
    return digits;
  }
  // A float has at most 149 fractional binary digits, so 160 decimals print it exactly and
  // the digit after the last kept one decides the rounding alone.
  char exact[256];
  const int length = std::snprintf(exact, sizeof exact, "%.160f", magnitude);
  if (length <= 0 || static_cast<std::size_t>(length) >= sizeof exact) return {};
  const std::string_view text(exact, static_cast<std::size_t>(length));
  const std::size_t point = text.find('.');
  std::string digits(text.substr(0, point));
  digits += text.substr(point + 1, kept);
  if (text[point + 1 + kept] >= '5' && !increment(digits)) digits.insert(digits.begin(), '1');
  return digits;
}

}  // namespace

std::string fixed_form(float value, int width, int decimals) {
  if (width <= 0) return {};
  std::string stars(static_cast<std::size_t>(width), '*');
  if (!std::isfinite(value) || decimals < 0) return stars;

  const auto kept = static_cast<std::size_t>(decimals);
  const std::string digits = rounded_digits(std::fabs(static_cast<double>(value)), decimals);
  if (digits.empty()) return stars;

  const std::size_t whole_length = digits.size() - kept;
  std::string whole = digits.substr(0, whole_length);
  const std::string fraction = digits.substr(whole_length);
  const bool zero = digits.find_first_not_of('0') == std::string::npos;
  const std::size_t lead = whole.find_first_not_of('0');
  whole = lead == std::string::npos ? std::string{} : whole.substr(lead);

  const std::string sign = (value < 0.0F && !zero) ? "-" : "";
  std::string body = whole + "." + fraction;
  if (decimals == 0 && whole.empty()) body = "0.";
  std::string result = sign + body;
  if (whole.empty() && decimals > 0 && result.size() < static_cast<std::size_t>(width)) {
    result = sign + "0" + body;  // the optional leading zero, kept when there is room
  }
  if (result.size() > static_cast<std::size_t>(width)) return stars;
  return std::string(static_cast<std::size_t>(width) - result.size(), ' ') + result;
}

}  // namespace vantrel

namespace vantrel {

std::string shortest_form(float value) {
  std::string text;
  append_shortest(text, value);
  return text;
}

namespace {

// Appends a number's text with `decimal` as its decimal mark.
void append_with_mark(std::string& out, const char* text, std::size_t length, char decimal) {
  const std::size_t start = out.size();
  out.append(text, length);
  if (decimal == '.') return;
  std::replace(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(), '.', decimal);
}

}  // namespace

void append_shortest(std::string& out, float value, char decimal) {
  std::array<char, 32> buffer{};
  const char* end = write_shortest(buffer.data(), buffer.data() + buffer.size(), value);
  if (end != nullptr) {
    append_with_mark(out, buffer.data(), static_cast<std::size_t>(end - buffer.data()), decimal);
  }
}

char* ShortestForms::write(char* at, float value, std::size_t column) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  Slot& slot = slots_[column % kColumns];
  if (slot.length == 0 || slot.bits != bits) {
    // Written in place, then remembered whole: fixed-size copies, none a call.
    char* end = write_shortest(at, at + slot.text.size(), value);
    slot.bits = bits;
    slot.length = end == nullptr ? 0 : static_cast<std::uint8_t>(end - at);
    std::memcpy(slot.text.data(), at, slot.text.size());
    return at + slot.length;
  }
  std::memcpy(at, slot.text.data(), slot.text.size());
  return at + slot.length;
}

}  // namespace vantrel
