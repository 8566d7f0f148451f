// Laying out text and axes without a toolkit: widths from the published font metrics, lines
// broken to a box, round ticks, and counts in words.
#include "report/page_model.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "report/page_flow.hpp"

namespace vantrel::page {
namespace {

TEST(PageText, WidthsFromTheFontMetrics) {
  // Ten digits of 556 thousandths of an em at 10 pt, and the hundredth held in hand.
  EXPECT_NEAR(text_width("0123456789", 10), 10 * 0.556 * 10 * kMmPerPoint * 1.01, 1e-9);
  EXPECT_GT(text_width("abc", 10, true), text_width("abc", 10));
  EXPECT_DOUBLE_EQ(text_width("", 10), 0);
  // A character beyond ASCII counts once, not once per byte.
  EXPECT_NEAR(text_width("\xC3\xA9", 10), 0.6 * 10 * kMmPerPoint * 1.01, 1e-9);
}

TEST(PageText, LinesBrokenToTheirBox) {
  const struct {
    const char* text;
    double width;
    std::size_t max_lines, lines;
  } cases[] = {
      {"a short line", 100, 10, 1},
      {"", 100, 10, 0},
      {"   ", 100, 10, 0},
      {"many words across a narrow box that cannot hold them on one line", 30, 10, 5},
      {"many words across a narrow box that cannot hold them on one line", 30, 2, 2},
      {"Supercalifragilisticexpialidocious", 10, 10, 1},  // one word wider than the box
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const auto lines = wrap(c.text, c.width, kBody, false, c.max_lines);
    EXPECT_EQ(lines.size(), c.lines);
    for (const std::string& line : lines) {
      EXPECT_LE(text_width(line, kBody), c.width) << line;
      EXPECT_FALSE(line.empty());
    }
  }
  // Nothing is lost but what is cut, and a cut says so.
  const auto all = wrap("one two three four five six seven", 25, kBody);
  std::string joined;
  for (const std::string& line : all)
    joined += (joined.empty() ? "" : " ") + line;
  EXPECT_EQ(joined, "one two three four five six seven");
  const auto cut = wrap("one two three four five six seven", 25, kBody, false, 1);
  EXPECT_NE(cut.back().find("\xE2\x80\xA6"), std::string::npos) << cut.back();
  EXPECT_NE(fitted("Supercalifragilistic", 10, kBody).find("\xE2\x80\xA6"), std::string::npos);
  EXPECT_EQ(fitted("short", 50, kBody), "short");
}

TEST(Axes, TicksFallOnRoundValues) {
  const struct {
    double low, high;
    int most;
    double step, first, last;
  } cases[] = {
      {0, 357.1, 6, 100, 0, 400},
      {231.9, 390, 6, 50, 200, 400},
      {0, 1.3, 5, 0.5, 0, 1.5},
      {0, 37, 3, 20, 0, 40},
      {0, 138, 3, 100, 0, 200},
      {12, 12, 5, 0.25, 12, 13},  // an empty range becomes one of a unit
      {-7, 7, 6, 5, -10, 10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.low) + " " + std::to_string(c.high));
    const Ticks t = round_ticks(c.low, c.high, c.most);
    EXPECT_DOUBLE_EQ(t.step, c.step);
    ASSERT_FALSE(t.values.empty());
    EXPECT_NEAR(t.values.front(), c.first, 1e-9);
    EXPECT_NEAR(t.values.back(), c.last, 1e-9);
    EXPECT_LE(static_cast<int>(t.values.size()), c.most + 1);
    const double mantissa = t.step / std::pow(10.0, std::floor(std::log10(t.step)));
    EXPECT_TRUE(mantissa == 1 || mantissa == 2 || mantissa == 2.5 || mantissa == 5) << mantissa;
  }
}

TEST(Axes, LabelsAndCountedWords) {
  EXPECT_EQ(tick_label(2.5, 2.5), "2.5");
  EXPECT_EQ(tick_label(100, 50), "100");
  EXPECT_EQ(tick_label(0.25, 0.25), "0.25");
  EXPECT_EQ(tick_label(1.5, 0.5), "1.5");
  EXPECT_EQ(counted(1, "warning", "warnings"), "1 warning");
  EXPECT_EQ(counted(0, "warning", "warnings"), "0 warnings");
  EXPECT_EQ(counted(2, "profile", "profiles"), "2 profiles");
}

}  // namespace
}  // namespace vantrel::page
