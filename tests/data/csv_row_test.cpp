// Output rows built in place: each kind of cell as a spreadsheet and a reader must find it, in
// both formats (comma and point, semicolon and decimal comma).
#include "data/csv_row.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <random>
#include <string>

namespace vantrel {
namespace {

TEST(CsvRow, EveryKindOfCellInBothFormats) {
  const auto row = [](char separator, char decimal) {
    std::string out = "before\n";
    CsvRow(out, separator, decimal)
        .text("field 1")
        .raw("ok")
        .number(36.5F)
        .number(std::optional<float>())
        .number(-0.25F)
        .integer(-12)
        .field("silt loam")
        .end();
    return out;
  };
  EXPECT_EQ(row(',', '.'), "before\nfield 1,ok,36.5,,-0.25,-12,silt loam\n");
  EXPECT_EQ(row(';', ','), "before\nfield 1;ok;36,5;;-0,25;-12;silt loam\n");
}

TEST(CsvRow, TextsAreQuotedAndNeverFormulas) {
  struct Case {
    const char* given;
    char separator;
    const char* written;
  } cases[] = {
      {"plain", ',', "plain"},
      {"a,b", ',', "\"a,b\""},
      {"a,b", ';', "a,b"},
      {"a;b", ';', "\"a;b\""},
      {"say \"hi\"", ',', "\"say \"\"hi\"\"\""},
      {" padded", ',', "\" padded\""},
      {"two\nlines", ',', "\"two\nlines\""},
      {"=SUM(A1)", ',', "'=SUM(A1)"},
      {"+1", ',', "'+1"},
      {"-2,5", ',', "\"'-2,5\""},
      {"@x", ',', "'@x"},
      {"", ',', ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.given);
    std::string out;
    CsvRow(out, c.separator).text(c.given);
    EXPECT_EQ(out, c.written);
  }
  std::string field;
  CsvRow(field).field("=kept as it is");  // a field the program itself names
  EXPECT_EQ(field, "=kept as it is");
}

TEST(CsvRow, NumbersReadBackExactlyAndNothingForNoNumber) {
  struct Case {
    float value;
    const char* written;
  } cases[] = {
      {0.1F, "0.1"},
      {1e30F, "1e+30"},
      {-0.0F, "-0"},
      {16777216.0F, "16777216"},
      {std::numeric_limits<float>::denorm_min(), "1e-45"},
      {std::numeric_limits<float>::infinity(), ""},
      {std::nanf(""), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.written);
    std::string out;
    CsvRow(out).number(c.value).integer(1);
    EXPECT_EQ(out, std::string(c.written) + ",1");
    EXPECT_EQ(shortest_form(c.value), c.written);
  }
}

// A line gathers its cells before they reach the text: cells of every length, lines longer
// than what it gathers at once, and numbers at each place, arrive whole and in order.
TEST(CsvRow, LongLinesAndLongCellsArriveWhole) {
  for (const std::size_t length : {0, 1, 30, 480, 511, 512, 513, 1500}) {
    SCOPED_TRACE(length);
    const std::string long_cell(length, 'x');
    std::string out = "before\n";
    std::string expected = out;
    {
      CsvRow row(out);
      for (int i = 0; i < 60; ++i) {
        const float value = static_cast<float>(i) * 1.37F - 20.0F;
        row.number(value).raw(long_cell).integer(1000000007LL * i).field(i % 7 == 0 ? "a,b" : "c");
        expected += (i > 0 ? "," : "") + shortest_form(value) + ',' + long_cell + ',' +
                    std::to_string(1000000007LL * i) + ',' + (i % 7 == 0 ? "\"a,b\"" : "c");
      }
      row.end();
      expected += '\n';
    }
    EXPECT_TRUE(out == expected) << out.size() << " against " << expected.size();
  }
  std::string unended;
  CsvRow(unended).number(0.5F).raw("kept");  // a row that is not ended still arrives
  EXPECT_EQ(unended, "0.5,kept");
}

// Remembered forms give exactly the computed ones, whatever a column's values do: repeat, change
// every row, or leave the finite numbers.
TEST(ShortestForms, GiveTheComputedTextForEveryValueAndColumn) {
  std::mt19937 random(20261210);
  std::uniform_int_distribution<std::uint32_t> any_bits;
  const float specials[] = {
      0.0F, -0.0F, 1.0F, 0.1F, 1e30F, -2.5F, std::numeric_limits<float>::infinity(), std::nanf("")};
  ShortestForms forms;
  for (const char decimal : {'.', ','}) {
    std::string remembered, computed;
    for (int row = 0; row < 6000; ++row) {
      CsvRow fast(remembered, ';', decimal, &forms);
      CsvRow plain(computed, ';', decimal);
      for (int column = 0; column < 40; ++column) {  // more columns than it keeps
        float v = 0;
        if (column % 3 == 0) {
          v = specials[static_cast<std::size_t>(row / 7 + column) % std::size(specials)];
        } else if (column % 3 == 1) {
          const std::uint32_t bits = any_bits(random);
          std::memcpy(&v, &bits, sizeof v);
        } else {
          v = static_cast<float>(row / 100) * 0.1F;  // the same for a hundred rows
        }
        fast.number(v);
        plain.number(v);
      }
      fast.end();
      plain.end();
    }
    EXPECT_TRUE(remembered == computed) << decimal;
  }
}

}  // namespace
}  // namespace vantrel
