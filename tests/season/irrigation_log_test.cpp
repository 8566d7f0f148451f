// The checkbook's file: the irrigations given, per field, and each bad row named with its line.
#include "season/irrigation_log.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace vantrel {
namespace {

IrrigationLog read(const std::string& text) {
  std::istringstream in(text);
  return read_irrigations(in);
}

TEST(IrrigationLog, FilesAndTheirBadRows) {
  const struct {
    std::string text;
    std::size_t given;  // irrigations read when the file is good
    const char* says;   // the first problem, or ""
  } cases[] = {
      {"profile,date,net_mm\nA,2026-06-03,25\nA,2026-06-10,25\nB,2026-06-04,30\n", 3, ""},
      {"Profile;Date;Gross_mm;Note\nA;2026-06-03;31,5;pivot\n", 1, ""},
      {"profile,date,net_mm,gross_mm\nA,2026-06-03,25,\nA,2026-06-04,,30\n", 2, ""},
      {"profile,date\nA,2026-06-03\n", 0, "1: no column \"net_mm\" or \"gross_mm\" in the header"},
      {"profile,net_mm\nA,25\n", 0, "1: no column \"date\" in the header"},
      {"profile,date,net_mm\nA,3 June,25\n", 0, "2: date \"3 June\" is not a date as 2026-06-03"},
      {"profile,date,net_mm\nA,2026-06-03,-5\n", 0,
       "2: net_mm \"-5\" is not a depth above 0 and at most 500 mm"},
      {"profile,date,net_mm,gross_mm\nA,2026-06-03,25,30\n", 0,
       "2: give net_mm or gross_mm, one of them"},
      {"profile,date,net_mm\n,2026-06-03,25\n", 0, "2: no profile name"},
      {"profile,date,net_mm\nA,2026-06-03,25,5\n", 0,
       "2: 4 fields where the header has 3 (a decimal comma in a file that commas separate?)"},
      {"", 0, "1: no header row"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const IrrigationLog log = read(c.text);
    std::size_t given = 0;
    for (const auto& [field, list] : log.fields)
      given += list.size();
    if (*c.says == '\0') {
      EXPECT_TRUE(log.problems.empty()) << log.problems[0].reason;
      EXPECT_EQ(given, c.given);
    } else {
      ASSERT_FALSE(log.problems.empty());
      const std::string said = std::to_string(log.problems[0].line) + ": " + log.problems[0].reason;
      EXPECT_EQ(said, c.says);
    }
  }
  const IrrigationLog semicolon = read("Profile;Date;Gross_mm;Note\nA;2026-06-03;31,5;pivot\n");
  ASSERT_EQ(semicolon.fields.count("A"), 1U);
  EXPECT_DOUBLE_EQ(*semicolon.fields.at("A")[0].gross_mm, 31.5);
  EXPECT_EQ(semicolon.notes.size(), 1U);  // the column Note is named
  const IrrigationLog two = read("profile,date,net_mm\nA,2026-06-10,25\nA,2026-06-03,25\n");
  EXPECT_EQ(two.last, parse_iso_date("2026-06-10"));
}

}  // namespace
}  // namespace vantrel
