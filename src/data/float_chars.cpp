#include "data/float_chars.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace vantrel {

namespace {

// Whether [first, last) is an optional '-', digits with an optional point (at least one digit)
// and an optional exponent: the only forms read. `nonzero` when a digit before the exponent is.
[[maybe_unused]] bool number_form(const char* first, const char* last, bool& nonzero) {
  const char* c = first;
  if (c != last && *c == '-') ++c;
  bool digit = false;
  nonzero = false;
  const auto digits = [&] {
    for (; c != last && *c >= '0' && *c <= '9'; ++c) {
      digit = true;
      nonzero = nonzero || *c != '0';
    }
  };
  digits();
  if (c != last && *c == '.') {
    ++c;
    digits();
  }
  if (!digit) return false;
  if (c != last && (*c == 'e' || *c == 'E')) {
    ++c;
    if (c != last && (*c == '-' || *c == '+')) ++c;
    const char* exponent = c;
    while (c != last && *c >= '0' && *c <= '9')
      ++c;
    if (c == exponent) return false;
  }
  return c == last;
}

}  // namespace

namespace fallback {

namespace {

// A decimal of `count` significant digits: digits[0].digits[1..] times ten to `exponent`.
struct Decimal {
  std::array<char, 12> digits{};
  int count = 0;
  int exponent = 0;
};

// The nearest decimal of `precision` digits to the magnitude, correctly rounded by printf.
Decimal nearest(float magnitude, int precision) {
  std::array<char, 48> text{};
  std::snprintf(text.data(), text.size(), "%.*e", precision - 1, static_cast<double>(magnitude));
  Decimal d;
  const char* c = text.data();
  for (; *c != 'e' && *c != '\0'; ++c) {
    if (*c >= '0' && *c <= '9') d.digits[static_cast<std::size_t>(d.count++)] = *c;
  }
  d.exponent = *c == 'e' ? std::atoi(c + 1) : 0;
  return d;
}

// The decimal one unit in its last place away (`step` +1 or -1); false when that changes its
// number of digits.
bool neighbour(const Decimal& d, int step, Decimal& out) {
  out = d;
  for (int i = d.count - 1; i >= 0; --i) {
    char& c = out.digits[static_cast<std::size_t>(i)];
    if (step > 0 ? c != '9' : c != '0') {
      c = static_cast<char>(c + step);
      return out.digits[0] != '0';
    }
    c = step > 0 ? '0' : '9';
  }
  return false;
}

// Whether the decimal reads back as the magnitude. Written without a decimal point, so that
// no locale can change how it reads.
bool reads_back(const Decimal& d, float magnitude) {
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%.*se%d", d.count, d.digits.data(),
                d.exponent - d.count + 1);
  return std::strtof(text.data(), nullptr) == magnitude;
}

// The shortest decimal that reads back as the magnitude, the nearest of those of its length.
Decimal shortest(float magnitude) {
  for (int precision = 1; precision < 9; ++precision) {
    const Decimal d = nearest(magnitude, precision);
    if (reads_back(d, magnitude)) return d;
    // The nearest lies past one end of the values that read back; its neighbour on the other
    // side of the magnitude may lie inside (the range is narrower below a power of two).
    Decimal other;
    const double shown =
        std::strtod((std::string(d.digits.data(), static_cast<std::size_t>(d.count)) + "e" +
                     std::to_string(d.exponent - d.count + 1))
                        .c_str(),
                    nullptr);
    if (neighbour(d, shown > magnitude ? -1 : 1, other) && reads_back(other, magnitude)) {
      return other;
    }
  }
  return nearest(magnitude, 9);  // nine digits always read back
}

// The digits in fixed notation: "36.5", "0.001", "120".
std::string fixed_text(const Decimal& d) {
  const std::string digits(d.digits.data(), static_cast<std::size_t>(d.count));
  if (d.exponent < 0)
    return "0." + std::string(static_cast<std::size_t>(-d.exponent - 1), '0') + digits;
  const auto whole = static_cast<std::size_t>(d.exponent) + 1;
  if (digits.size() <= whole) return digits + std::string(whole - digits.size(), '0');
  return digits.substr(0, whole) + "." + digits.substr(whole);
}

// The digits in scientific notation, as printf's %e writes the exponent: "1e+30", "1.5e-07".
std::string scientific_text(const Decimal& d) {
  std::string text(1, d.digits[0]);
  if (d.count > 1)
    text += "." + std::string(d.digits.data() + 1, static_cast<std::size_t>(d.count - 1));
  const int e = std::abs(d.exponent);
  text += d.exponent < 0 ? "e-" : "e+";
  if (e < 10) text += '0';
  return text + std::to_string(e);
}

}  // namespace

char* write_shortest(char* first, char* last, float value) {
  if (!std::isfinite(value)) return nullptr;
  std::string text = std::signbit(value) ? "-" : "";
  const float magnitude = std::fabs(value);
  if (magnitude == 0.0F) {
    text += '0';
  } else {
    // The shorter notation; fixed when both are as long.
    const Decimal d = shortest(magnitude);
    std::string fixed = fixed_text(d);
    if (d.exponent >= d.count - 1) {
      // A whole number: of the texts of its length, its own digits lie nearest.
      std::array<char, 48> whole{};
      std::snprintf(whole.data(), whole.size(), "%.0f", static_cast<double>(magnitude));
      fixed = whole.data();
    }
    const std::string scientific = scientific_text(d);
    text += fixed.size() <= scientific.size() ? fixed : scientific;
  }
  if (static_cast<std::size_t>(last - first) < text.size()) return nullptr;
  return std::copy(text.begin(), text.end(), first);
}

std::errc read_float(const char* first, const char* last, float& value) {
  bool nonzero = false;
  if (!number_form(first, last, nonzero)) return std::errc::invalid_argument;
  // The number with the locale's decimal point, which strtof reads.
  std::string text(first, last);
  const char point = *std::localeconv()->decimal_point;
  std::replace(text.begin(), text.end(), '.', point);
  const float read = std::strtof(text.c_str(), nullptr);
  if (std::isinf(read) || (read == 0.0F && nonzero)) return std::errc::result_out_of_range;
  value = read;
  return std::errc{};
}

char* write_fixed(char* first, char* last, double value, int decimals) {
  if (!std::isfinite(value) || decimals < 0) return nullptr;
  // printf rounds the exact value as to_chars does; only its decimal point is the locale's.
  std::array<char, 400> text{};
  const int length = std::snprintf(text.data(), text.size(), "%.*f", decimals, value);
  if (length < 0 || static_cast<std::size_t>(length) >= text.size() || last - first < length) {
    return nullptr;
  }
  const char point = *std::localeconv()->decimal_point;
  char* out = first;
  for (int i = 0; i < length; ++i)
    *out++ = text[static_cast<std::size_t>(i)] == point ? '.' : text[static_cast<std::size_t>(i)];
  return out;
}

}  // namespace fallback

#if defined(__cpp_lib_to_chars)

char* write_fixed(char* first, char* last, double value, int decimals) {
  if (!std::isfinite(value) || decimals < 0) return nullptr;
  const auto [end, ec] = std::to_chars(first, last, value, std::chars_format::fixed, decimals);
  return ec == std::errc{} ? end : nullptr;
}

char* write_shortest(char* first, char* last, float value) {
  if (!std::isfinite(value)) return nullptr;
  const auto [end, ec] = std::to_chars(first, last, value);
  return ec == std::errc{} ? end : nullptr;
}

std::errc read_float(const char* first, const char* last, float& value) {
  bool nonzero = false;
  if (!number_form(first, last, nonzero)) return std::errc::invalid_argument;
  float read = 0.0F;
  const auto [end, ec] = std::from_chars(first, last, read, std::chars_format::general);
  if (ec != std::errc{}) return ec;
  if (end != last) return std::errc::invalid_argument;
  value = read;
  return std::errc{};
}

#else

char* write_fixed(char* first, char* last, double value, int decimals) {
  return fallback::write_fixed(first, last, value, decimals);
}

char* write_shortest(char* first, char* last, float value) {
  return fallback::write_shortest(first, last, value);
}

std::errc read_float(const char* first, const char* last, float& value) {
  return fallback::read_float(first, last, value);
}

#endif

}  // namespace vantrel
