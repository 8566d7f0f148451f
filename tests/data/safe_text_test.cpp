#include "data/safe_text.hpp"

#include <gtest/gtest.h>

#include <string>

namespace vantrel {
namespace {

struct Case {
  std::string input;
  std::string expected;
};

TEST(SafeText, ValidUtf8ReplacesEveryBadByte) {
  const Case cases[] = {
      {"Caf\xC3\xA9", "Caf\xC3\xA9"},                            // well formed stays
      {"bad \xFF byte", "bad \xEF\xBF\xBD byte"},                // a byte that starts nothing
      {"cut \xC3", "cut \xEF\xBF\xBD"},                          // a sequence cut at the end
      {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                  // an overlong slash
      {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // a surrogate
      {"\xF4\x90\x80\x80",  // above U+10FFFF: each of its bytes is bad
       "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"\xF0\x9F\x8C\xBE", "\xF0\x9F\x8C\xBE"},  // a four-byte character
      {"", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(valid_utf8(c.input), c.expected) << c.input;
}

TEST(SafeText, TerminalTextEscapesWhatCouldMoveOrRecolour) {
  const Case cases[] = {
      {"\x1b[31mred\x1b[0m", "\\x1b[31mred\\x1b[0m"},
      {"a\rb\tc\nd\x7f", "a\\x0db\\x09c\\x0ad\\x7f"},
      {"\xC2\x9B"
       "2J",
       "\\u009b2J"},  // a C1 control sequence introducer
      {"\xE2\x80\xAE"
       "evil",
       "\\u202eevil"},  // right-to-left override
      {"\xFF", "\\xff"},
      {"plain, \"quoted\" and C:\\path \xC3\xA9", "plain, \"quoted\" and C:\\path \xC3\xA9"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(terminal_text(c.input), c.expected) << c.input;
}

TEST(SafeText, PageTextDropsControlsAndReorderingMarks) {
  const Case cases[] = {
      {"\xE2\x80\xAE"
       "evil",
       "evil"},
      {"a\xE2\x81\xA6"
       "b\xE2\x81\xA9"
       "c\xE2\x80\x8F",
       "abc"},
      {"tab\tand\x1b[1m", "taband[1m"},
      {"\xFF"
       "x",
       "\xEF\xBF\xBDx"},
      {"Caf\xC3\xA9", "Caf\xC3\xA9"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(page_text(c.input), c.expected) << c.input;
}

TEST(SafeText, SpreadsheetTextNeverStartsAFormula) {
  const Case cases[] = {
      {"=HYPERLINK(\"x\")", "'=HYPERLINK(\"x\")"},
      {"+1", "'+1"},
      {"-2+3", "'-2+3"},
      {"@SUM(A1)", "'@SUM(A1)"},
      {"\tx", "'\tx"},
      {"\rx", "'\rx"},
      {"North = good", "North = good"},
      {"", ""},
      {"'quoted", "'quoted"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(spreadsheet_text(c.input), c.expected) << c.input;
}

}  // namespace
}  // namespace vantrel
