// Floats to text and back, the two conversions every file and field goes through: by the
// standard library where it has them for floating point, by exact fallbacks where it does not
// (libc++ before version 17, the browser's). Both ways give the same bytes and the same values.
#pragma once

#include <system_error>

namespace vantrel {

// The shortest text that reads back as exactly `value`, as std::to_chars(first, last, value)
// writes it: "36.5", "1e+30", "-0"; the end of the text, or nullptr when `value` is not finite
// or the room is too small.
char* write_shortest(char* first, char* last, float value);

// The float nearest the number that fills [first, last) (an optional '-', digits with an
// optional point, an optional exponent), as std::from_chars(first, last, value) reads it:
// result_out_of_range beyond the float range or for a number that rounds to zero (the value
// unchanged), invalid_argument for any other text ("inf", blanks, hexadecimal among them).
std::errc read_float(const char* first, const char* last, float& value);

// `value` rounded to `decimals` places in fixed notation, as std::to_chars(first, last, value,
// std::chars_format::fixed, decimals) writes it: "12.35", "-0.00"; nullptr when `value` is not
// finite or the room is too small.
char* write_fixed(char* first, char* last, double value, int decimals);

// The fallbacks themselves, built everywhere so that each system's tests hold them to the
// standard library's texts.
namespace fallback {
char* write_shortest(char* first, char* last, float value);
std::errc read_float(const char* first, const char* last, float& value);
char* write_fixed(char* first, char* last, double value, int decimals);
}  // namespace fallback

}  // namespace vantrel
