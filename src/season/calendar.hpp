// Dates as ISO 8601 texts (YYYY-MM-DD) and as day numbers, for the season's days.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

// Days since 1970-01-01 (proleptic Gregorian calendar).
using DayNumber = long;

// The day of an ISO date, or nothing when the text is not a valid date.
std::optional<DayNumber> parse_iso_date(std::string_view text);
std::string iso_date(DayNumber day);
// 1 for 1 January .. 365 or 366.
int day_of_year(DayNumber day);

// A day as its year, month (1..12) and day of the month (1..31), and back.
struct Civil {
  long year;
  unsigned month, day;
};
Civil civil_from_days(DayNumber day);
DayNumber days_from_date(const Civil& date);

}  // namespace vantrel
