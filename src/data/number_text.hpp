// Writing numbers in fixed-point form: the one way a number reaches a control or a file.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "data/text.hpp"

namespace vantrel {

// The value rounded to `decimals` places (ties away from zero, from the exact single-precision
// value), right-aligned in exactly `width` characters. A value that does not fit, or that is
// not finite, fills the width with asterisks. A value that rounds to zero has no minus sign;
// the leading zero of a value below 1 is written only when it fits.
std::string fixed_form(float value, int width, int decimals);

// The fixed-point form at the start of the text, the rest blanks.
template <std::size_t N>
void write_fixed(float value, int width, int decimals, Text<N>& text) {
  text.assign(fixed_form(value, width, decimals));
}

}  // namespace vantrel

namespace vantrel {

// The shortest decimal text that reads back as exactly this single-precision value ("36.5",
// "0.1", "1e+30"); empty for a value that is not finite.
std::string shortest_form(float value);
// Appends the shortest form to `out`, with `decimal` as its decimal mark.
void append_shortest(std::string& out, float value, char decimal = '.');

// The last shortest form written in each column of a table: a season's rows repeat a column's
// value for days on end (the stage's Kc, the field's full point, no rain, no stress), and
// working a form out is most of the time of writing a row. A value remembered gives exactly the
// text append_shortest gives.
class ShortestForms {
 public:
  // The room write may use: no float's shortest text is longer than 15 chars.
  static constexpr std::size_t kRoom = 32;
  // Writes the value's shortest form (nothing when it is not finite) at `at`, which has kRoom
  // chars; its end.
  char* write(char* at, float value, std::size_t column);

 private:
  struct Slot {
    std::uint32_t bits = 0;
    std::uint8_t length = 0;  // 0: nothing remembered
    std::array<char, 16> text{};
  };
  static constexpr std::size_t kColumns = 32;
  std::array<Slot, kColumns> slots_{};
};

}  // namespace vantrel
