#include "season/calendar.hpp"

#include <charconv>
#include <cstdio>

namespace vantrel {

namespace {

// Howard Hinnant's days-from-civil, the standard arithmetic of the Gregorian calendar.
DayNumber days_from_civil(long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468;
}

}  // namespace

Civil civil_from_days(DayNumber z) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long y = static_cast<long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {y + (m <= 2), m, d};
}

DayNumber days_from_date(const Civil& c) {
  return days_from_civil(c.year, c.month, c.day);
}

namespace {

bool leap(long y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

}  // namespace

std::optional<DayNumber> parse_iso_date(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  long y = 0;
  unsigned m = 0, d = 0;
  const auto number = [&](std::size_t at, std::size_t length, auto& value) {
    const char* first = text.data() + at;
    const auto [end, ec] = std::from_chars(first, first + length, value);
    return ec == std::errc{} && end == first + length;
  };
  if (!number(0, 4, y) || !number(5, 2, m) || !number(8, 2, d)) return std::nullopt;
  static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m < 1 || m > 12 || d < 1) return std::nullopt;
  if (d > kDays[m - 1] + (m == 2 && leap(y) ? 1U : 0U)) return std::nullopt;
  return days_from_civil(y, m, d);
}

std::string iso_date(DayNumber day) {
  const Civil c = civil_from_days(day);
  char text[16];
  // Written by hand: a report names thousands of days, and printf would be most of its time.
  if (c.year < 0 || c.year > 9999) {
    std::snprintf(text, sizeof text, "%04ld-%02u-%02u", c.year, c.month, c.day);
    return text;
  }
  const auto y = static_cast<unsigned>(c.year);
  const char digits[] = {static_cast<char>('0' + y / 1000),
                         static_cast<char>('0' + y / 100 % 10),
                         static_cast<char>('0' + y / 10 % 10),
                         static_cast<char>('0' + y % 10),
                         '-',
                         static_cast<char>('0' + c.month / 10),
                         static_cast<char>('0' + c.month % 10),
                         '-',
                         static_cast<char>('0' + c.day / 10),
                         static_cast<char>('0' + c.day % 10)};
  return std::string(digits, sizeof digits);
}

int day_of_year(DayNumber day) {
  const Civil c = civil_from_days(day);
  return static_cast<int>(day - days_from_civil(c.year, 1, 1)) + 1;
}

}  // namespace vantrel
