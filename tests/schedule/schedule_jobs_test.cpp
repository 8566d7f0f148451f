// vantrel-schedule on several threads: whatever the number of jobs, every output, every message
// and the exit status are the single job's, byte for byte, in input order.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "schedule/schedule_run.hpp"
#include "support/batch_tables.hpp"
#include "support/temp_dir.hpp"

namespace vantrel {
namespace {

using testing::bundled_tables;
using testing::TempDir;

const std::vector<RetentionDefect> kNoDefects;

std::string slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// 90 days from 2026-04-01: ET0 rising through the season, rain every eleventh day.
WeatherFile season_weather() {
  std::string text = "date,et0_mm,rain_mm\n";
  for (int day = 0; day < 90; ++day) {
    text += iso_date(*parse_iso_date("2026-04-01") + day) + "," + std::to_string(2 + day % 5) +
            "," + (day % 11 == 3 ? "17.5" : "0") + "\n";
  }
  std::istringstream in(text);
  return read_weather(in, std::nullopt);
}

// 150 fields of two horizons, some with a warning (roots below the profile), some that fail
// (sand and clay past 100 %, a planting date outside the weather), one split across the file.
std::string many_fields() {
  std::string text =
      "profile,horizon,thickness,sand,clay,root_depth,tolerance,planting_date,kc_ini,kc_mid,"
      "kc_end,l_ini,l_dev,l_mid,l_late\n";
  for (int p = 0; p < 150; ++p) {
    const std::string name = "field-" + std::to_string(p);
    const int sand = p % 7 == 5 ? 80 : 10 + p % 60;
    const int clay = p % 7 == 5 ? 40 : 5 + p % 30;
    const int day = 1 + p % 20;
    const std::string date =
        p % 23 == 9 ? "2027-01-01"
                    : "2026-04-" + std::string(day < 10 ? "0" : "") + std::to_string(day);
    text += name + ",1," + std::to_string(20 + p % 30) + "," + std::to_string(sand) + "," +
            std::to_string(clay) + "," + std::to_string(40 + p % 90) + ",50," + date +
            ",0.3,1.1,0.5,10,20,30,20\n";
    text += name + ",2,40,30,25,,,,,,,,,,\n";
  }
  text += "field-3,3,10,30,25,,,,,,,,,,\n";  // field-3 again, far from its rows
  return text;
}

struct Outputs {
  int status = -1;
  std::string totals, errors, schedule, events, json;
};

Outputs run_with(int jobs, bool files) {
  TempDir dir;
  ScheduleSettings settings;
  settings.input = dir.write("in.csv", many_fields());
  settings.input_name = "in.csv";  // the messages the same whatever the folder
  settings.jobs = jobs;
  if (files) {
    settings.schedule = dir / "schedule.csv";
    settings.events = dir / "events.csv";
    settings.json = dir / "season.json";
  }
  const WeatherFile weather = season_weather();
  const CropStageTable stages;
  std::ostringstream out, errors;
  Outputs o;
  o.status = run_schedule(
      settings, {*bundled_tables().curves, *bundled_tables().crops, stages, weather, kNoDefects},
      out, errors);
  o.totals = out.str();
  o.errors = errors.str();
  if (files) {
    o.schedule = slurp(dir / "schedule.csv");
    o.events = slurp(dir / "events.csv");
    o.json = slurp(dir / "season.json");
  }
  return o;
}

// The first line where two outputs part, or "" when they are the same.
std::string first_difference(const std::string& a, const std::string& b) {
  std::istringstream x(a), y(b);
  std::string p, q;
  for (int line = 1;; ++line) {
    const bool more_x = static_cast<bool>(std::getline(x, p));
    const bool more_y = static_cast<bool>(std::getline(y, q));
    if (!more_x && !more_y) return "";
    if (more_x != more_y || p != q) return "line " + std::to_string(line) + ": " + p + " | " + q;
  }
}

TEST(ScheduleJobs, EveryOutputAndMessageIsTheSingleJobsWhateverTheJobs) {
  for (const bool files : {false, true}) {
    const Outputs one = run_with(1, files);
    ASSERT_EQ(one.status, 1) << one.errors;  // some fields fail
    ASSERT_NE(one.errors.find("field-3"), std::string::npos) << one.errors;
    ASSERT_NE(one.errors.find("warning"), std::string::npos) << one.errors;
    if (files) {
      ASSERT_GT(std::count(one.schedule.begin(), one.schedule.end(), '\n'), 4000);
      ASSERT_TRUE(one.totals.empty());
    } else {
      ASSERT_GT(std::count(one.totals.begin(), one.totals.end(), '\n'), 140);
    }
    for (const int jobs : {2, 3, 7}) {
      SCOPED_TRACE(std::to_string(jobs) + " jobs" + (files ? ", files" : ", totals"));
      const Outputs many = run_with(jobs, files);
      EXPECT_EQ(many.status, one.status);
      EXPECT_EQ(first_difference(one.errors, many.errors), "") << "errors";
      EXPECT_EQ(first_difference(one.totals, many.totals), "") << "totals";
      EXPECT_EQ(first_difference(one.schedule, many.schedule), "") << "schedule";
      EXPECT_EQ(first_difference(one.events, many.events), "") << "events";
      EXPECT_EQ(first_difference(one.json, many.json), "") << "json";
    }
  }
}

}  // namespace
}  // namespace vantrel
