// The season report laid out (vantrel-schedule): summary pages across the profiles, then per
// profile its season (the chart, the irrigation days and the totals), the irrigation days that
// did not fit, continued, and its calendar: the months with the irrigation days marked.
#pragma once

#include <string>
#include <vector>

#include "report/page_flow.hpp"
#include "season/season.hpp"

namespace vantrel::page {

struct SeasonRow {
  std::string profile, planting, status;
  bool computed = false;
  std::size_t days = 0;
  double etc = 0, rain = 0, net = 0, gross = 0;
  int irrigations = 0;
};
SeasonRow season_row(const SeasonResult& s);

std::vector<Page> season_summary(const std::vector<SeasonRow>& rows, const Frame& frame);
std::vector<Page> season_pages(const SeasonResult& s, const Frame& frame);

// The season's yield reduction (FAO-33), for the season and by stage, or why there is none.
std::string yield_line(const SeasonResult& s);

}  // namespace vantrel::page
