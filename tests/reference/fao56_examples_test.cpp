// FAO-56's worked examples as case files (tests/reference/fao56_*.csv), read by the project's
// own table reader: each figure the paper prints, to its rounding.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "data/csv_reader.hpp"
#include "data/fields.hpp"
#include "data/table_header.hpp"
#include "profile/profile_math.hpp"
#include "season/et0.hpp"

namespace vantrel {
namespace {

const std::string kCases = VANTREL_SOURCE_DIR "/tests/reference/";

// The rows of a case file as column name -> text.
using CaseRow = std::map<std::string, std::string>;
std::vector<CaseRow> case_rows(const std::string& name) {
  std::ifstream in(kCases + name);
  CsvReader reader(in);
  CsvRecord header, row;
  std::vector<CaseRow> rows;
  if (!reader.next(header)) return rows;
  while (reader.next(row)) {
    EXPECT_EQ(row.error, "") << name << ':' << row.line;
    CaseRow r;
    for (std::size_t i = 0; i < row.fields.size(); ++i)
      r[std::string(trimmed_field(header.fields[i]))] = std::string(trimmed_field(row.fields[i]));
    rows.push_back(r);
  }
  return rows;
}

std::optional<double> number(const CaseRow& row, const std::string& column) {
  const auto found = row.find(column);
  if (found == row.end() || found->second.empty()) return std::nullopt;
  return std::stod(found->second);
}

double value_of(const Et0Steps& s, const std::string& quantity) {
  const std::map<std::string, double> named = {{"u2", s.u2},
                                               {"t_mean", s.t_mean},
                                               {"delta", s.delta},
                                               {"pressure", s.pressure},
                                               {"gamma", s.gamma},
                                               {"es", s.es},
                                               {"ea", s.ea},
                                               {"ra", s.ra},
                                               {"daylight_hours", s.daylight_hours},
                                               {"rs", s.rs},
                                               {"rso", s.rso},
                                               {"rns", s.rns},
                                               {"rnl", s.rnl},
                                               {"rn", s.rn},
                                               {"et0", s.et0}};
  const auto found = named.find(quantity);
  EXPECT_NE(found, named.end()) << quantity;
  return found == named.end() ? 0.0 : found->second;
}

TEST(Fao56Examples, EachPrintedStepOfTheDailyEt0) {
  std::map<std::string, Et0Steps> computed;
  for (const CaseRow& c : case_rows("fao56_days.csv")) {
    DailyWeather day;
    day.day_of_year = static_cast<int>(*number(c, "day_of_year"));
    day.tmax_c = *number(c, "tmax_c");
    day.tmin_c = *number(c, "tmin_c");
    day.rh_max = number(c, "rh_max");
    day.rh_min = number(c, "rh_min");
    day.rh_mean = number(c, "rh_mean");
    day.wind_m_s = *number(c, "wind_m_s");
    day.wind_height_m = *number(c, "wind_height_m");
    day.sunshine_h = number(c, "sunshine_h");
    computed[c.at("example")] =
        penman_monteith(day, {*number(c, "latitude"), *number(c, "elevation_m")});
  }
  ASSERT_EQ(computed.size(), 2U);
  EXPECT_TRUE(computed["15"].rs_from_temperature);
  EXPECT_FALSE(computed["18"].rs_from_temperature);
  const std::vector<CaseRow> steps = case_rows("fao56_steps.csv");
  ASSERT_EQ(steps.size(), 17U);
  for (const CaseRow& s : steps) {
    const std::string& example = s.at("example");
    ASSERT_EQ(computed.count(example), 1U) << example;
    EXPECT_NEAR(value_of(computed[example], s.at("quantity")), *number(s, "expected"),
                *number(s, "rounding"))
        << "Example " << example << ", " << s.at("quantity");
  }
}

TEST(Fao56Examples, TheDepletionFractionAdjustedForTheCropsWaterUse) {
  const std::vector<CaseRow> cases = case_rows("fao56_depletion.csv");
  ASSERT_EQ(cases.size(), 10U);
  for (const CaseRow& c : cases) {
    EXPECT_NEAR(adjusted_depletion(static_cast<float>(*number(c, "p_table_pct")),
                                   static_cast<float>(*number(c, "etc_mm_day"))),
                *number(c, "p_pct"), 1e-4)
        << c.at("crop") << " at " << c.at("etc_mm_day") << " mm/day";
  }
}

}  // namespace
}  // namespace vantrel
