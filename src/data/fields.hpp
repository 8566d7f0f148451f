// Cutting a line into comma-separated fields and reading numbers from field texts.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "data/text.hpp"

namespace vantrel {

inline constexpr int kMaxFields = 30;

// Sentinels of the converters.
inline constexpr float kBlankReal = -99.9F;
inline constexpr std::int32_t kBlankInt = -99;
inline constexpr std::int32_t kNoInt = -999;

// Room for the fields of one line, numbered from 1 like the file's columns.
class FieldArray {
 public:
  FieldText& operator[](int k) { return fields_.at(static_cast<std::size_t>(k - 1)); }
  const FieldText& operator[](int k) const { return fields_.at(static_cast<std::size_t>(k - 1)); }

 private:
  std::array<FieldText, kMaxFields> fields_{};
};

// Splits the text (up to its last non-blank) at every delimiter. Fields are kept as they
// stand, blanks included; a delimiter that ends the text adds no empty field. Fields past
// the 30th are ignored, so count is at most 30. Positions beyond count keep their old text.
void SPLIT_STRING(std::string_view text, char delimiter, FieldArray& fields, int& count);

// What a conversion found in its text.
enum class FreeFormRead {
  value,     // a number was read into the value
  blank,     // blank text: the value is the blank sentinel
  no_value,  // first non-blank is a comma or slash: the value keeps what it held
  error,     // not a number (or beyond single precision): the value keeps what it held
};

// Reads a real by free-form number reading: an optional sign, digits with an optional
// decimal point, an optional exponent introduced by E, D or Q (either case). The number
// ends at the first blank, comma or slash; the rest is ignored. Blank text gives -99.9.
FreeFormRead STRING_TO_REAL(std::string_view text, float& value);

// What a field's text gives as a number. The window and every tool read a field through
// read_input, so that they give the same number for the same text.
enum class InputRead {
  number,         // a number: the value
  blank,          // blank text: the value is the blank sentinel -99.9
  no_number,      // a comma or slash before any digit: the value is the previous one
  decimal_comma,  // "1,5" or ",5": read up to the comma it would silently be another number
  not_a_number,   // anything else that does not read: the value is the previous one
};

struct InputValue {
  InputRead kind = InputRead::blank;
  float value = 0;
  std::string with_point;  // for a decimal comma: the number as meant, with a point ("1.5")

  // The value when the text gave a number; nothing for a blank, no number or a refusal.
  std::optional<float> number() const {
    return kind == InputRead::number ? std::optional<float>(value) : std::nullopt;
  }
};

// STRING_TO_REAL's reading, except that a decimal comma (a comma between two digits, or one
// that starts the number and is followed by a digit) is refused instead of ending the number.
InputValue read_input(std::string_view text, float previous);

// A field of a table without the blanks and tabs around it.
std::string_view trimmed_field(std::string_view text);

// What a table field that must hold one number (and nothing else) holds.
enum class TableNumber { blank, value, invalid };

// Stricter than STRING_TO_REAL, for tables that other programs write: the whole field, blanks
// around it aside, must be one finite number; inner blanks, commas or slashes make it invalid.
TableNumber read_table_number(std::string_view text, float& value);

// Reads an integer: an integer form as it stands, a real form cut toward zero. Blank text
// gives -99; anything that yields no 32-bit integer gives -999. Never fails.
void STRING_TO_INT(std::string_view text, std::int32_t& value);

}  // namespace vantrel
