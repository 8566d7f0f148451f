#include "data/fields.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace vantrel {
namespace {

int split(std::string_view line, FieldArray& fields) {
  int count = -1;
  SPLIT_STRING(LineText(line), ',', fields, count);
  return count;
}

TEST(SplitString, TakesFieldsAsTheyStand) {
  FieldArray f;
  EXPECT_EQ(split("loam,40,20,40", f), 4);
  EXPECT_EQ(f[1].trimmed(), "loam");
  EXPECT_EQ(f[2].trimmed(), "40");
  EXPECT_EQ(f[3].trimmed(), "20");
  EXPECT_EQ(f[4].trimmed(), "40");

  EXPECT_EQ(split(" x , y", f), 2);
  EXPECT_EQ(f[1].view().substr(0, 4), " x  ");  // blank before the delimiter kept
  EXPECT_EQ(f[2].trimmed(), " y");

  EXPECT_EQ(split("\"a,b\",c", f), 3);  // quotes are ordinary characters
  EXPECT_EQ(f[1].trimmed(), "\"a");
  EXPECT_EQ(f[2].trimmed(), "b\"");
}

TEST(SplitString, EmptyFieldsAndTrailingDelimiter) {
  FieldArray f;
  EXPECT_EQ(split("a,b,c", f), 3);
  EXPECT_EQ(f[3].trimmed(), "c");  // a one-character last field is stored
  EXPECT_EQ(split("a,,b", f), 3);
  EXPECT_TRUE(f[2].blank());
  EXPECT_EQ(split(",a", f), 2);
  EXPECT_TRUE(f[1].blank());
  EXPECT_EQ(f[2].trimmed(), "a");
  EXPECT_EQ(split("a,b,", f), 2);  // a delimiter that ends the line adds no field
  EXPECT_EQ(split(",", f), 1);
  EXPECT_TRUE(f[1].blank());
}

TEST(SplitString, ShortAndBlankLinesKeepEarlierFields) {
  FieldArray f;
  split("one,two,three,four", f);
  EXPECT_EQ(split("uno,dos", f), 2);
  EXPECT_EQ(f[1].trimmed(), "uno");
  EXPECT_EQ(f[3].trimmed(), "three");
  EXPECT_EQ(f[4].trimmed(), "four");
  EXPECT_EQ(split("", f), 0);
  EXPECT_EQ(split("      ", f), 0);
  EXPECT_EQ(f[1].trimmed(), "uno");
}

TEST(SplitString, FieldsAreCutTo128Characters) {
  FieldArray f;
  const std::string longer(200, 'x');
  EXPECT_EQ(split(longer + ",y", f), 2);
  EXPECT_EQ(f[1].view(), std::string(128, 'x'));
  EXPECT_EQ(f[2].trimmed(), "y");
}

TEST(SplitString, NeverMoreThanThirtyFields) {
  for (const int fields_in_line : {30, 31, 40, 128}) {
    std::string line;
    for (int i = 1; i <= fields_in_line; ++i)
      line += std::to_string(i) + ",";
    FieldArray f;
    EXPECT_EQ(split(line, f), 30) << fields_in_line;
    EXPECT_EQ(f[30].trimmed(), "30");
    EXPECT_EQ(f[1].trimmed(), "1");
  }
}

float real_of(std::string_view text, float start = 7.0F, FreeFormRead* read = nullptr) {
  float value = start;
  const FreeFormRead r = STRING_TO_REAL(NumberText(text), value);
  if (read != nullptr) *read = r;
  return value;
}

TEST(StringToReal, BlankAndSeparators) {
  FreeFormRead r{};
  EXPECT_FLOAT_EQ(real_of("", 7.0F, &r), -99.9F);
  EXPECT_EQ(r, FreeFormRead::blank);
  EXPECT_EQ(real_of("     "), kBlankReal);
  EXPECT_EQ(real_of(",5", 7.0F, &r), 7.0F);  // no value: keeps what it held
  EXPECT_EQ(r, FreeFormRead::no_value);
  EXPECT_EQ(real_of("   /5", 3.5F, &r), 3.5F);
  EXPECT_EQ(r, FreeFormRead::no_value);
}

TEST(StringToReal, AcceptsTheFreeFormNumbers) {
  struct Case {
    const char* text;
    float value;
  };
  const Case cases[] = {
      {"12.5", 12.5F}, {"  12.5 kPa", 12.5F}, {"1e2", 100.0F},     {"1E2", 100.0F}, {"1d2", 100.0F},
      {"1D-2", 0.01F}, {"1q2", 100.0F},       {"1Q+2", 100.0F},    {"+3", 3.0F},    {"-3", -3.0F},
      {"5.", 5.0F},    {".5", 0.5F},          {"-.5", -0.5F},      {"+.5e1", 5.0F}, {"1.e1", 10.0F},
      {"007", 7.0F},   {"40,20", 40.0F},      {"40/20", 40.0F},    {"40 x", 40.0F}, {"0", 0.0F},
      {"1.35", 1.35F}, {"-0", 0.0F},          {"3.4e38", 3.4e38F},
  };
  for (const Case& c : cases) {
    FreeFormRead r{};
    EXPECT_EQ(real_of(c.text, 7.0F, &r), c.value) << c.text;
    EXPECT_EQ(r, FreeFormRead::value) << c.text;
  }
}

TEST(StringToReal, RejectsWhatIsNoDecimalNumber) {
  const char* texts[] = {"abc",  "inf", "-inf", "nan",   "NaN",  "infinity", "0x1p3",
                         "0x10", "++1", "+-1",  "--1",   "1e",   "1e+",      "e5",
                         ".",    "+",   "-",    "1.2.3", "1..2", "12a",      "1e5.5",
                         "\t1",  "1\t", "1+5",  "3*1.0", "1e40", "-1e40",    "1e99999999999"};
  for (const char* text : texts) {
    FreeFormRead r{};
    EXPECT_EQ(real_of(text, 7.0F, &r), 7.0F) << text;
    EXPECT_EQ(r, FreeFormRead::error) << text;
  }
}

TEST(StringToReal, DecimalCommaReadsOnlyTheWholePart) {
  FreeFormRead r{};
  EXPECT_EQ(real_of("2,5", 7.0F, &r), 2.0F);
  EXPECT_EQ(r, FreeFormRead::value);
}

// Only a comma between digits, or one that starts the number before a digit, is a decimal
// comma; every other text reads as STRING_TO_REAL reads it.
TEST(ReadField, DecimalCommasAndTheFreeFormReading) {
  struct Case {
    const char* text;
    InputRead kind;
    float value;  // previous is 7
    const char* with_point;
  } cases[] = {
      {"1,5", InputRead::decimal_comma, 7, "1.5"},
      {"  12,50 cm", InputRead::decimal_comma, 7, "12.50"},
      {",5", InputRead::decimal_comma, 7, "0.5"},
      {"-1,5", InputRead::decimal_comma, 7, "-1.5"},
      {"1,5e2", InputRead::decimal_comma, 7, "1.5e2"},
      {"30/60", InputRead::number, 30, ""},
      {"55 %/day", InputRead::number, 55, ""},
      {"1.5, 2", InputRead::number, 1.5F, ""},
      {"1,", InputRead::number, 1, ""},
      {"1,,2x", InputRead::number, 1, ""},
      {"1, 5", InputRead::number, 1, ""},
      {"12 1,5", InputRead::number, 12, ""},
      {"1/2,5", InputRead::number, 1, ""},
      {",", InputRead::no_number, 7, ""},
      {"/3", InputRead::no_number, 7, ""},
      {" ,x", InputRead::no_number, 7, ""},
      {"", InputRead::blank, -99.9F, ""},
      {"abc", InputRead::not_a_number, 7, ""},
      {"a,5", InputRead::not_a_number, 7, ""},
      {"-,5", InputRead::not_a_number, 7, ""},
  };
  for (const Case& c : cases) {
    const InputValue read = read_input(NumberText(c.text), 7);
    EXPECT_EQ(read.kind, c.kind) << c.text;
    EXPECT_FLOAT_EQ(read.value, c.value) << c.text;
    EXPECT_EQ(read.with_point, c.with_point) << c.text;
  }
}

TEST(StringToReal, TinyValuesUnderflowToZero) {
  FreeFormRead r{};
  EXPECT_EQ(real_of("1e-50", 7.0F, &r), 0.0F);
  EXPECT_EQ(r, FreeFormRead::value);
  const float negative = real_of("-1e-50");
  EXPECT_EQ(negative, 0.0F);
  EXPECT_TRUE(std::signbit(negative));
  EXPECT_GT(real_of("1e-40"), 0.0F);  // still a subnormal float
}

TEST(StringToReal, OnlyTheTextGivenIsRead) {
  // A caller that hands over the first 20 characters of a longer number reads only those.
  const std::string longer = "1234567890.123456789012345";
  EXPECT_EQ(real_of(longer.substr(0, 20)), 1234567890.12345678F);
  float value = 0.0F;
  EXPECT_EQ(STRING_TO_REAL(std::string(100, ' ') + "42", value), FreeFormRead::value);
  EXPECT_EQ(value, 42.0F);
}

std::int32_t int_of(std::string_view text) {
  std::int32_t value = 12345;
  STRING_TO_INT(NumberText(text), value);
  return value;
}

TEST(StringToInt, IntegerAndRealForms) {
  EXPECT_EQ(int_of("2"), 2);
  EXPECT_EQ(int_of("   2.0"), 2);
  EXPECT_EQ(int_of("1.5"), 1);
  EXPECT_EQ(int_of("-2.7"), -2);
  EXPECT_EQ(int_of("-0.5"), 0);
  EXPECT_EQ(int_of("1e2"), 100);
  EXPECT_EQ(int_of("+7"), 7);
  EXPECT_EQ(int_of("3 apples"), 3);
  EXPECT_EQ(int_of("6,1"), 6);
  EXPECT_EQ(int_of("2147483647"), 2147483647);
  EXPECT_EQ(int_of("-2147483648"), std::numeric_limits<std::int32_t>::min());
}

TEST(StringToInt, NoValueGivesSentinels) {
  EXPECT_EQ(int_of(""), -99);
  EXPECT_EQ(int_of("    "), -99);
  EXPECT_EQ(int_of("abc"), -999);
  EXPECT_EQ(int_of("1.2.3"), -999);
  EXPECT_EQ(int_of(",3"), -999);
  EXPECT_EQ(int_of("/3"), -999);
  EXPECT_EQ(int_of("nan"), -999);
  EXPECT_EQ(int_of("inf"), -999);
  EXPECT_EQ(int_of("0x10"), -999);
}

TEST(StringToInt, OutOfRangeGivesNoValue) {
  EXPECT_EQ(int_of("2147483648"), -999);
  EXPECT_EQ(int_of("-2147483649"), -999);
  EXPECT_EQ(int_of("99999999999999999999"), -999);
  EXPECT_EQ(int_of("1e10"), -999);
  EXPECT_EQ(int_of("-1e10"), -999);
  EXPECT_EQ(int_of("2.2e9"), -999);
  EXPECT_EQ(int_of("1e40"), -999);
  EXPECT_EQ(int_of("2.1e9"), 2100000000);
}

}  // namespace
}  // namespace vantrel
