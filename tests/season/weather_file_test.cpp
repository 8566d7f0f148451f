// Dates and the weather file: what is read, and each bad row named with its line.
#include "season/weather_file.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

namespace vantrel {
namespace {

TEST(Calendar, IsoDatesAndTheirDays) {
  struct Case {
    const char* text;
    std::optional<DayNumber> day;
    int day_of_year;
  } cases[] = {
      {"1970-01-01", 0, 1},
      {"2024-02-29", 19782, 60},
      {"2024-12-31", 20088, 366},
      {"2026-05-01", 20574, 121},
      {"2023-02-29", std::nullopt, 0},
      {"2024-13-01", std::nullopt, 0},
      {"2024-1-01", std::nullopt, 0},
      {"2024-04-31", std::nullopt, 0},
      {"", std::nullopt, 0},
      {"20240101xx", std::nullopt, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto day = parse_iso_date(c.text);
    EXPECT_EQ(day, c.day);
    if (!day) continue;
    EXPECT_EQ(iso_date(*day), c.text);
    EXPECT_EQ(day_of_year(*day), c.day_of_year);
  }
}

WeatherFile read(const std::string& text, std::optional<Station> place = std::nullopt) {
  std::istringstream in(text);
  return read_weather(in, place);
}

TEST(WeatherFile, DaysPerStationWithTheirEt0AndRain) {
  const WeatherFile f = read(
      "Date,ET0_mm,rain_mm,station\n"
      "2026-05-01,4.1,,north\n2026-05-02,4.5,12,north\n"
      "2026-05-01,3.0,0,south\n");
  ASSERT_TRUE(f.problems.empty()) << f.problems[0].reason;
  ASSERT_EQ(f.stations.size(), 2u);
  const StationWeather* north = f.find("north");
  ASSERT_NE(north, nullptr);
  EXPECT_EQ(iso_date(north->first), "2026-05-01");
  ASSERT_EQ(north->days.size(), 2u);
  EXPECT_DOUBLE_EQ(north->days[1].et0, 4.5);
  EXPECT_DOUBLE_EQ(north->days[1].rain, 12.0);
  EXPECT_DOUBLE_EQ(north->days[0].rain, 0.0);
  EXPECT_EQ(f.find("nowhere"), nullptr);
}

TEST(WeatherFile, PenmanMonteithFromTheDailyDataWithTheStationsPlace) {
  const std::string uccle =
      "date,tmax_c,tmin_c,rh_max,rh_min,wind_m_s,wind_height_m,sunshine_h\n"
      "2026-07-06,21.5,12.3,84,63,2.7778,10,9.25\n";
  const WeatherFile given = read(uccle, Station{50.8, 100});
  ASSERT_TRUE(given.problems.empty()) << given.problems[0].reason;
  EXPECT_NEAR(given.stations[0].days[0].et0, 3.9, 0.05);  // FAO-56 Example 18
  EXPECT_FALSE(given.stations[0].rs_from_temperature);
  const WeatherFile columns = read(
      "date,tmax_c,tmin_c,rh_mean,wind_m_s,latitude,elevation_m\n"
      "2026-07-15,26.6,14.8,60,2,45.72,200\n");
  ASSERT_TRUE(columns.problems.empty()) << columns.problems[0].reason;
  EXPECT_TRUE(columns.stations[0].rs_from_temperature);
  EXPECT_GT(columns.stations[0].days[0].et0, 0.0);
}

// A file that gives no place for ET0 says so once, not once a row.
TEST(WeatherFile, AReasonOfEveryRowIsSaidOnce) {
  std::string text = "date,tmax_c,tmin_c,rh_mean,wind_m_s\n";
  for (int d = 1; d <= 30; ++d)
    text += "2026-06-" + std::string(d < 10 ? "0" : "") + std::to_string(d) + ",30,15,50,2\n";
  text += "2026-07-01,30,15,fifty,2\n";
  const WeatherFile file = read(text);
  ASSERT_EQ(file.problems.size(), 2u);
  EXPECT_EQ(file.problems[0].line, 2);
  EXPECT_NE(file.problems[0].reason.find("no latitude and elevation"), std::string::npos);
  EXPECT_NE(file.problems[0].reason.find("(and on 29 more rows, to line 31)"), std::string::npos)
      << file.problems[0].reason;
  EXPECT_EQ(file.problems[1].line, 32);
  EXPECT_EQ(file.problems[1].reason.find("more row"), std::string::npos) << file.problems[1].reason;
}

TEST(WeatherFile, GapsRepeatsAndBadValuesAreNamedWithTheirLine) {
  struct Case {
    std::string rows;
    const char* says;
  } cases[] = {
      {"2026-05-01,4\n2026-05-03,4\n", "3: date 2026-05-03 follows 2026-05-01: 1 day(s) missing"},
      {"2026-05-01,4\n2026-05-01,4\n", "3: date 2026-05-01 follows 2026-05-01: dates must go"},
      {"2026-05-01,4\n2026-04-30,4\n", "3: date 2026-04-30 follows 2026-05-01"},
      {"2026-05-01,four\n", "2: et0_mm \"four\" is not a number"},
      {"2026-05-01,-1\n", "2: et0_mm \"-1\" is below 0"},
      {"01/05/2026,4\n", "2: date \"01/05/2026\" is not a date"},
      {"2026-05-01,\n", "2: no et0_mm, nor tmax_c and tmin_c"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rows);
    const WeatherFile f = read("date,et0_mm\n" + c.rows);
    ASSERT_FALSE(f.problems.empty());
    const std::string said = std::to_string(f.problems[0].line) + ": " + f.problems[0].reason;
    EXPECT_NE(said.find(c.says), std::string::npos) << said;
  }
  // What the daily data cannot be, each on line 2 of a Penman-Monteith file.
  const struct {
    const char* row;
    const char* says;
  } measured[] = {
      {"20,10,,,,2,2,8", "no humidity (rh_max with rh_min, rh_mean or tdew_c)"},
      {"20,10,84,,,2,2,8", "rh_max and rh_min come together"},
      {"20,10,50,63,,2,2,8", "rh_min is above rh_max"},
      {"20,10,84,-5,,2,2,8", "rh_min \"-5\" is below 0"},
      {"20,10,,,101,2,2,8", "rh_mean \"101\" is above 100"},
      {"20,10,84,63,,-1,2,8", "wind_m_s \"-1\" is below 0"},
      {"20,10,84,63,,2,0.05,8", "wind_height_m \"0.05\" is below 0.1"},
      {"20,10,84,63,,2,2,25", "sunshine_h \"25\" is above 24"},
      {"20,10,,,,2,2,8,21", "tdew_c is above tmax_c"},
      {"20,10,84,63,,2,2,8,,91", "latitude \"91\" is above 90"},
  };
  for (const auto& m : measured) {
    SCOPED_TRACE(m.row);
    std::string row = m.row;
    while (std::count(row.begin(), row.end(), ',') < 9)
      row += ',';  // every row has the header's ten fields
    const WeatherFile f = read(
        "date,tmax_c,tmin_c,rh_max,rh_min,rh_mean,wind_m_s,wind_height_m,sunshine_h,tdew_c,"
        "latitude\n2026-05-01," +
            row + "\n",
        Station{45, 100});
    ASSERT_EQ(f.problems.size(), 1u);
    EXPECT_EQ(f.problems[0].line, 2);
    EXPECT_NE(f.problems[0].reason.find(m.says), std::string::npos) << f.problems[0].reason;
  }
  const WeatherFile no_place = read("date,tmax_c,tmin_c,rh_mean,wind_m_s\n2026-05-01,20,10,60,2\n");
  ASSERT_EQ(no_place.problems.size(), 1u);
  EXPECT_NE(no_place.problems[0].reason.find("no latitude and elevation"), std::string::npos);
  EXPECT_FALSE(read("et0_mm\n4\n").problems.empty());  // no date column
}

// What no station measures is a missing-value code or another unit, never weather: each is
// refused with its line, and the reason says what it likely is.
TEST(WeatherFile, ValuesNoStationMeasuresAreRefused) {
  const std::string header =
      "date,tmax_c,tmin_c,rh_mean,wind_m_s,rs_mj_m2,sunshine_h,et0_mm,rain_mm\n";
  struct Case {
    const char* row;
    const char* says;  // empty: the day is weather
  } cases[] = {
      {"2026-07-01,-999,10,60,2,,,,", "tmax_c \"-999\" is below -60 C: a missing-value code"},
      {"2026-07-01,30,999,60,2,,,,", "tmin_c \"999\" is above 60"},
      {"2026-07-01,95,60,60,2,,,,",
       "tmax_c \"95\" is above 60 C: a missing-value code or degrees F"},
      {"2026-07-01,60,-60,60,2,,,,", ""},  // the bounds themselves are weather
      {"2026-07-01,30,15,60,2,341.4,,,", "is above the day's extraterrestrial radiation Ra (41."},
      {"2026-07-01,30,15,60,2,29.5,,,", ""},
      {"2026-07-01,30,15,60,61,,,,", "wind_m_s \"61\" is above 60.0 m/s at 2 m"},
      {"2026-07-01,,,,,,,25.1,", "et0_mm \"25.1\" is above 25"},
      {"2026-07-01,,,,,,,1e38,", "et0_mm \"1e38\" is above 25"},
      {"2026-07-01,,,,,,,25,500", ""},
      {"2026-07-01,,,,,,,4,500.5", "rain_mm \"500.5\" is above 500"},
      {"2026-07-01,30,15,60,2,,15.6,,", "sunshine_h \"15.6\" is longer than the day (15.4 h)"},
      {"2026-07-01,30,15,60,2,,15.3,,", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    const WeatherFile f = read(header + c.row + "\n", Station{45, 100});
    if (*c.says == '\0') {
      EXPECT_TRUE(f.problems.empty()) << f.problems[0].reason;
      continue;
    }
    ASSERT_EQ(f.problems.size(), 1u);
    EXPECT_EQ(f.problems[0].line, 2);
    EXPECT_NE(f.problems[0].reason.find(c.says), std::string::npos) << f.problems[0].reason;
  }
}

// In polar night (60 N on 15 December the day is 5.6 h; at 80 N it is 0 h) a sunshine column
// is held to the day, and no sunshine at all gives the same ET0 as no sunshine column.
TEST(WeatherFile, SunshineIsNoLongerThanTheDayAndPolarNightHasNoSun) {
  const std::string header = "date,tmax_c,tmin_c,rh_mean,wind_m_s,sunshine_h\n";
  const auto one = [&](const std::string& row, double latitude) {
    return read(header + row + "\n", Station{latitude, 10});
  };
  EXPECT_FALSE(one("2026-12-15,2,-5,80,3,12", 60).problems.empty());
  EXPECT_TRUE(one("2026-12-15,2,-5,80,3,5.6", 60).problems.empty());
  EXPECT_FALSE(one("2026-12-15,2,-5,80,3,3", 80).problems.empty());
  const WeatherFile dark = one("2026-12-15,2,-5,80,3,0", 80);
  const WeatherFile no_column =
      read("date,tmax_c,tmin_c,rh_mean,wind_m_s\n2026-12-15,2,-5,80,3\n", Station{80, 10});
  ASSERT_TRUE(dark.problems.empty() && no_column.problems.empty());
  EXPECT_GT(dark.stations[0].days[0].et0, 0.0);
  EXPECT_DOUBLE_EQ(dark.stations[0].days[0].et0, no_column.stations[0].days[0].et0);
}

// One bad date is one error: the day is kept blank and the days after it still follow; a gap
// ends the station's weather, said once, never once for every later row.
TEST(WeatherFile, OneBadDateIsOneError) {
  std::string rows = "date,et0_mm\n";
  for (int d = 1; d <= 30; ++d)
    rows += (d == 10 ? std::string("2026-06-1O")
                     : "2026-06-" + std::string(d < 10 ? "0" : "") + std::to_string(d)) +
            ",4\n";
  const WeatherFile bad_date = read(rows);
  ASSERT_EQ(bad_date.problems.size(), 1u);
  EXPECT_EQ(bad_date.problems[0].line, 11);
  EXPECT_EQ(bad_date.stations[0].days.size(), 30u);
  const WeatherFile gap =
      read("date,et0_mm\n2026-06-01,4\n2026-06-03,4\n2026-06-04,4\n2026-06-05,x\n");
  ASSERT_EQ(gap.problems.size(), 1u);
  EXPECT_NE(gap.problems[0].reason.find("1 day(s) missing; the weather ends there"),
            std::string::npos)
      << gap.problems[0].reason;
  EXPECT_EQ(gap.stations[0].days.size(), 1u);
}

TEST(WeatherFile, ASemicolonFileWithDecimalCommas) {
  const WeatherFile f = read("date;et0_mm;rain_mm\n2026-05-01;4,5;0,5\n");
  ASSERT_TRUE(f.problems.empty()) << f.problems[0].reason;
  EXPECT_DOUBLE_EQ(f.stations[0].days[0].et0, 4.5);
  EXPECT_DOUBLE_EQ(f.stations[0].days[0].rain, 0.5);
}

}  // namespace
}  // namespace vantrel
