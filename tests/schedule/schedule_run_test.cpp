// vantrel-schedule's runs: each profile's season on its station's weather, from its planting
// date, with what goes wrong named.
#include "schedule/schedule_run.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "data/csv_reader.hpp"
#include "support/batch_tables.hpp"
#include "support/temp_dir.hpp"

namespace vantrel {
namespace {

using testing::bundled_tables;
using testing::TempDir;

const std::vector<RetentionDefect> kNoDefects;

struct Ran {
  int status = -1;
  std::string out, errors;
};

// 60 days of weather from 2026-05-01: ET0 5 mm, and 30 mm of rain on 2026-05-20.
WeatherFile weather_of(const std::string& station = "") {
  std::string text = "date,et0_mm,rain_mm,station\n";
  for (int day = 0; day < 60; ++day) {
    text += iso_date(*parse_iso_date("2026-05-01") + day) + ",5," + (day == 19 ? "30" : "0") + "," +
            station + "\n";
  }
  std::istringstream in(text);
  return read_weather(in, std::nullopt);
}

Ran run(const std::string& profiles, const WeatherFile& weather, const CropStageTable& stages,
        const std::function<void(ScheduleSettings&, const TempDir&)>& adjust = {}) {
  TempDir dir;
  ScheduleSettings settings;
  settings.input = dir.write("in.csv", profiles);
  if (adjust) adjust(settings, dir);
  std::ostringstream out, errors;
  Ran r;
  r.status = run_schedule(
      settings, {*bundled_tables().curves, *bundled_tables().crops, stages, weather, kNoDefects},
      out, errors);
  r.out = out.str();
  r.errors = errors.str();
  return r;
}

const std::string kHeader =
    "profile,horizon,thickness,sand,clay,root_depth,tolerance,planting_date,kc_ini,kc_mid,"
    "kc_end,l_ini,l_dev,l_mid,l_late,station\n";

// The first row after the header of a tool's output, and its cells (none when it does not read).
std::string first_row(const std::string& out) {
  std::istringstream lines(out);
  std::string header, row;
  std::getline(lines, header);
  std::getline(lines, row);
  return row;
}
std::vector<std::string> cells_of(const std::string& row) {
  std::vector<std::string> cells;
  std::string error;
  return split_csv_line(row, cells, error) ? cells : std::vector<std::string>{};
}

TEST(ScheduleRun, TheDailyScheduleClosesItsBalanceAndItsEventsAreItsIrrigationDays) {
  TempDir out;
  const Ran r = run(kHeader + "p,1,100,40,20,60,50,2026-05-11,1,1,1,10,10,10,10,\n", weather_of(),
                    {}, [&](ScheduleSettings& s, const TempDir&) {
                      s.schedule = out / "s.csv";
                      s.events = out / "e.csv";
                      s.json = out / "r.json";
                    });
  ASSERT_EQ(r.status, kExitOk) << r.errors;
  std::istringstream schedule(testing::read_all(out / "s.csv"));
  std::string line;
  std::getline(schedule, line);
  double etc_adj = 0, rain = 0, runoff = 0, net = 0, dp = 0, depletion = 0;
  int days = 0, irrigations = 0;
  while (std::getline(schedule, line)) {
    std::vector<std::string> cells;
    std::string error;
    ASSERT_TRUE(split_csv_line(line, cells, error));
    ASSERT_EQ(cells.size(), 22u);
    EXPECT_EQ(cells[21], "ok");
    ++days;
    etc_adj += std::stod(cells[19]);
    rain += std::stod(cells[7]);
    runoff += std::stod(cells[17]);
    depletion = std::stod(cells[8]);
    net += std::stod(cells[9]);
    irrigations += std::stod(cells[9]) > 0;
    dp += std::stod(cells[11]);
    EXPECT_NEAR(std::stod(cells[12]), std::stod(cells[13]) - depletion, 1e-3);  // FP - depletion
    EXPECT_EQ(cells[20].empty(), !(std::stod(cells[9]) > 0));  // a rule on irrigation days only
  }
  EXPECT_EQ(days, 40);
  EXPECT_NEAR(etc_adj, rain - runoff + net - dp + depletion, 1e-3);
  EXPECT_GT(irrigations, 0);
  const std::string events = testing::read_all(out / "e.csv");
  EXPECT_EQ(std::count(events.begin(), events.end(), '\n'), irrigations + 1);
  const std::string json = testing::read_all(out / "r.json");
  EXPECT_NE(json.find("\"irrigations\": " + std::to_string(irrigations)), std::string::npos)
      << json;
  EXPECT_NE(json.find("\"planting_date\": \"2026-05-11\""), std::string::npos);
}

// A season the weather does not cover is a warning on standard error whatever the outputs, and
// its schedule and events rows say so: a file that stops early is not "no more irrigation".
TEST(ScheduleRun, AWarningIsSaidWhateverTheOutputs) {
  TempDir out;
  const Ran r = run(kHeader + "p,1,100,40,20,60,50,2026-06-01,1,1,1,10,10,10,10,\n", weather_of(),
                    {}, [&](ScheduleSettings& s, const TempDir&) {
                      s.schedule = out / "s.csv";
                      s.events = out / "e.csv";
                    });
  ASSERT_EQ(r.status, kExitOk) << r.errors;
  EXPECT_TRUE(r.out.empty()) << r.out;
  EXPECT_NE(r.errors.find(":2: warning: the weather ends on 2026-06-29, day 29 of the season's 40"),
            std::string::npos)
      << r.errors;
  for (const char* file : {"s.csv", "e.csv"}) {
    std::istringstream rows(testing::read_all(out / file));
    std::string line;
    std::getline(rows, line);
    EXPECT_EQ(line.substr(line.size() - 7), ",status") << file;
    int count = 0;
    while (std::getline(rows, line)) {
      EXPECT_EQ(line.substr(line.size() - 8), ",warning") << file << ": " << line;
      ++count;
    }
    EXPECT_GT(count, 0) << file;
  }
}

// A planting date is the user's text: echoed through the same safe-text functions as every
// name, one cell of the totals and never a spreadsheet formula.
TEST(ScheduleRun, APlantingDateIsEchoedSafely) {
  const struct {
    const char* cell;
    const char* echoed;
  } cases[] = {
      {"\"2026,05,01\"", "\"2026,05,01\""},
      {"=1+1", "'=1+1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cell);
    const Ran r =
        run(kHeader + "p,1,100,40,20,60,50," + c.cell + ",1,1,1,10,10,10,10,\n", weather_of(), {});
    EXPECT_EQ(r.status, kExitFailed);
    const std::string row = first_row(r.out);
    const std::vector<std::string> cells = cells_of(row);
    EXPECT_EQ(cells.size(), 24u) << row;
    EXPECT_NE(row.find(std::string(",") + c.echoed + ","), std::string::npos) << row;
  }
}

// A "-0" of the weather is weather of 0, and is written so.
TEST(ScheduleRun, ANegativeZeroIsWrittenAsZero) {
  std::string text = "date,et0_mm,rain_mm\n";
  for (int day = 0; day < 40; ++day)
    text += iso_date(*parse_iso_date("2026-05-01") + day) + ",-0,-0\n";
  std::istringstream in(text);
  const WeatherFile weather = read_weather(in, std::nullopt);
  TempDir out;
  const Ran r = run(kHeader + "p,1,100,40,20,60,50,2026-05-01,1,1,1,10,10,10,10,\n", weather, {},
                    [&](ScheduleSettings& s, const TempDir&) { s.schedule = out / "s.csv"; });
  ASSERT_EQ(r.status, kExitOk) << r.errors;
  const std::string schedule = testing::read_all(out / "s.csv");
  EXPECT_EQ(schedule.find(",-0,"), std::string::npos) << schedule.substr(0, 400);
  EXPECT_NE(schedule.find(",initial,1,0,0,0,"), std::string::npos) << schedule.substr(0, 400);
}

TEST(ScheduleRun, TotalsOfASeasonAndItsPlantingDateMidFile) {
  // Planted on the 11th: the season's day 10 is the 20th, the day of rain.
  const Ran r =
      run(kHeader + "p,1,100,40,20,60,50,2026-05-11,1,1,1,10,10,10,10,\n", weather_of(), {});
  ASSERT_EQ(r.status, kExitOk) << r.errors;
  const std::string row = first_row(r.out);
  // No checkbook: no today; the first irrigation planned; 40 days of 5 mm.
  EXPECT_EQ(row.substr(0, 40), "p,ok,2026-05-11,,,,2026-05-13,10,40,200,") << row;
  EXPECT_NE(row.find(",30,"), std::string::npos) << row;  // the 30 mm of rain
}

constexpr const char* kStrategyColumns = "curve_number,strategy,stop_days,last_irrigation_date";

TEST(ScheduleRun, WhatCannotBeScheduledIsNamed) {
  CropStageTable stages;
  stages["Potato"] = {0.5, 1.15, 0.75, 5, 5, 5, 5};
  struct Case {
    std::string rows;
    int status;
    const char* says;
  } cases[] = {
      {"p,1,100,40,20,60,50,2026-04-01,1,1,1,10,10,10,10,\n", kExitFailed,
       "the planting date 2026-04-01 is outside the weather (2026-05-01 to 2026-06-29)"},
      {"p,1,100,40,20,60,50,1 May,1,1,1,10,10,10,10,\n", kExitFailed,
       "planting_date \"1 May\" is not a date"},
      {"p,1,100,40,20,60,50,2026-05-01,,,,,,,,\n", kExitFailed, "no crop stages: give kc_ini"},
      {"p,1,100,40,20,60,50,2026-05-01,1,1,,10,10,10,10,\n", kExitFailed, "give all seven"},
      {"p,1,100,40,20,60,50,2026-05-01,1,3,1,10,10,10,10,\n", kExitFailed,
       "kc_mid 3 is not within 0 and 2"},
      {"p,1,100,40,20,60,50,2026-05-01,1,1,1,0,0,0,0,\n", kExitFailed,
       "the four stages last 0 days"},
      {"p,1,100,40,20,60,50,2026-05-01,1,1,1,10,10,10,10,east\n", kExitFailed,
       "no weather for station \"east\""},
      {"p,1,100,40,20,60,50,2026-06-01,1,1,1,10,10,10,10,\n", kExitOk,
       "the weather ends on 2026-06-29, day 29 of the season's 40"},
      // No roots: nothing to draw on, so no schedule of empty passes.
      {"p,1,100,40,20,0,50,2026-05-01,1,1,1,10,10,10,10,\n", kExitFailed,
       "the root zone holds no available water (TAW 0 mm over 0 cm of roots)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rows);
    const Ran r = run(kHeader + c.rows, weather_of(), stages);
    EXPECT_EQ(r.status, c.status) << r.out << r.errors;
    EXPECT_NE((r.out + r.errors).find(c.says), std::string::npos) << r.out << r.errors;
  }
  // A potato field's own season columns, each refused with its reason when no field's: the
  // depletion on the planting date (none below field capacity, none past wilting point), the
  // roots', runoff's and the strategy's.
  const struct {
    const char* columns;
    const char* cells;
    int status;
    const char* says;
  } column_cases[] = {
      {"initial_depletion_mm", "20", kExitOk, "p,ok,"},
      {"stones", "100", kExitFailed, "the root zone holds no available water (TAW 0 mm over 40"},
      {"initial_depletion_mm", "-1", kExitFailed,
       "initial_depletion_mm \"-1\" is not a number of 0 or more"},
      {"initial_depletion_mm", "999", kExitFailed,
       "initial_depletion_mm \"999\" is above the total available water of the planting "
       "day's root zone"},
      {"root_ini_cm,subsoil_water", "20,as-start", kExitOk, "p,ok,"},
      {"root_ini_cm,subsoil_water", ",Field-Capacity", kExitOk, "p,ok,"},
      {"root_ini_cm,subsoil_water", "0,", kExitFailed,
       "root_ini_cm \"0\" is not a depth above 0 and at most 1000 cm"},
      {"root_ini_cm,subsoil_water", ",dry", kExitFailed,
       "subsoil_water \"dry\" is not field-capacity or as-start"},
      {kStrategyColumns, "78,rainfed,,", kExitOk, "p,ok,"},
      {kStrategyColumns, ",Refill,5,2026-05-15", kExitOk, "p,ok,"},
      {kStrategyColumns, "20,,,", kExitFailed, "curve_number \"20\" is not from 30 to 100"},
      {kStrategyColumns, ",pivot,,", kExitFailed,
       "strategy \"pivot\" is not refill, fixed-depth, interval, deficit or rainfed"},
      {kStrategyColumns, ",fixed-depth,,", kExitFailed, "strategy fixed-depth needs depth_mm"},
      {kStrategyColumns, ",interval,,", kExitFailed, "strategy interval needs every_days"},
      {kStrategyColumns, ",deficit,,", kExitFailed, "strategy deficit needs refill_to_pct"},
      {kStrategyColumns, ",,2.5,", kExitFailed,
       "stop_days \"2.5\" is not a whole number from 0 to 3650"},
      {kStrategyColumns, ",,,15 May", kExitFailed, "last_irrigation_date \"15 May\" is not a date"},
  };
  for (const auto& c : column_cases) {
    SCOPED_TRACE(std::string(c.columns) + ": " + c.cells);
    const Ran r = run(std::string("profile,horizon,thickness,sand,clay,crop,planting_date,") +
                          c.columns + "\np,1,100,40,20,Potato,2026-05-01," + c.cells + "\n",
                      weather_of(), stages);
    EXPECT_EQ(r.status, c.status) << r.out << r.errors;
    EXPECT_NE((r.out + r.errors).find(c.says), std::string::npos) << r.out << r.errors;
  }
  // A crop of the stages table needs no columns.
  const Ran potato =
      run("profile,horizon,thickness,sand,clay,crop,planting_date\n"
          "q,1,100,40,20,Potato,2026-05-01\n",
          weather_of(), stages);
  EXPECT_EQ(potato.status, kExitOk) << potato.errors;
  EXPECT_NE(potato.out.find("q,ok,2026-05-01,,,,2026-05-07,15.65,20,"), std::string::npos)
      << potato.out;
}

// The bundled stages: every row reads, names a crop of the crop list, and makes a season.
TEST(BundledCropStages, EveryRowIsACropOfTheListWithASeason) {
  std::ifstream in(testing::kBundled / kCropStageFileName, std::ios::binary);
  ASSERT_TRUE(in);
  CropStageTable table;
  std::string error;
  ASSERT_TRUE(read_crop_stages(in, table, error)) << error;
  EXPECT_GE(table.size(), 70u);
  std::set<std::string> crops;
  const CropTable& list = *bundled_tables().crops;
  for (int i = 1; i <= list.row_count; ++i)
    crops.insert(std::string(list.row(i).name.trimmed()));
  for (const auto& [name, stages] : table) {
    SCOPED_TRACE(name);
    EXPECT_EQ(crops.count(name), 1u);
    // From a radish's 35 days to a pineapple's 790.
    EXPECT_GE(stages.season_days(), 35);
    EXPECT_LE(stages.season_days(), 790);
    for (const double kc : {stages.kc_ini, stages.kc_mid, stages.kc_end}) {
      EXPECT_GE(kc, 0.15);
      EXPECT_LE(kc, 1.25);
    }
  }
  // Crops of the list run on them without stage columns: a season inside the weather, and
  // seasons (a year's and a perennial's) that outlast it.
  const struct {
    const char* crop;
    const char* said;
  } crops_run[] = {
      {"Radishes", ""},
      {"Potato", "the weather ends on 2026-06-29, day 60 of the season's 130"},
      {"Citrus 50% canopy", "day 60 of the season's 365"},
      {"Pineapple", "day 60 of the season's 790"},
  };
  for (const auto& c : crops_run) {
    SCOPED_TRACE(c.crop);
    const Ran ran = run(std::string("profile,horizon,thickness,sand,clay,crop,planting_date\n") +
                            "q,1,100,40,20," + c.crop + ",2026-05-01\n",
                        weather_of(), table);
    EXPECT_EQ(ran.status, kExitOk) << ran.errors;
    if (*c.said == '\0')
      EXPECT_EQ(ran.out.find("the weather ends"), std::string::npos) << ran.out;
    else
      EXPECT_NE(ran.out.find(c.said), std::string::npos) << ran.out;
  }
}

// The checkbook: the irrigations given up to today, the answer on the phone, and the given
// irrigations that cannot count named.
TEST(ScheduleRun, TheCheckbookAnswersWhereTheFieldIsAndWhenTheNextIrrigationIsDue) {
  std::istringstream given_text(
      "profile,date,net_mm,gross_mm\n"
      "p,2026-05-05,20,\n"
      "p,2026-04-20,10,\n"    // before the planting day
      "p,2026-05-25,,50\n"    // after today
      "q,2026-05-05,99,\n");  // another field's
  const IrrigationLog given = read_irrigations(given_text);
  ASSERT_TRUE(given.problems.empty());
  TempDir dir;
  ScheduleSettings settings;
  settings.input = dir.write("in.csv", kHeader +
                                           "p,1,100,40,20,60,50,2026-05-01,1,1,1,10,10,10,"
                                           "10,\n");
  settings.json = dir / "r.json";
  settings.schedule = dir / "s.csv";
  std::ostringstream out, errors;
  const CropStageTable stages;
  const WeatherFile weather = weather_of();
  const int status = run_schedule(settings,
                                  {*bundled_tables().curves, *bundled_tables().crops, stages,
                                   weather, kNoDefects, &given, parse_iso_date("2026-05-15")},
                                  out, errors);
  ASSERT_EQ(status, kExitOk) << errors.str();
  const std::string json = testing::read_all(dir / "r.json");
  // Today's depletion and soil water are the schedule's of that day.
  const std::string schedule = testing::read_all(dir / "s.csv");
  const std::size_t row = schedule.find("\np,2026-05-15,15,");
  ASSERT_NE(row, std::string::npos) << schedule;
  std::vector<std::string> cells;
  std::string error;
  ASSERT_TRUE(split_csv_line(schedule.substr(row + 1, schedule.find('\n', row + 1) - row - 1),
                             cells, error));
  EXPECT_NE(json.find("\"today\": \"2026-05-15\", \"today_depletion_mm\": " + cells[8] +
                      ", \"today_soil_water_mm\": " + cells[12]),
            std::string::npos)
      << json;
  EXPECT_NE(json.find("\"next_irrigation_date\": \"2026-05-16\""), std::string::npos) << json;
  EXPECT_NE(json.find("the irrigation of 2026-04-20 (line 3 of the irrigations) is outside the "
                      "season and not counted"),
            std::string::npos)
      << json;
  EXPECT_NE(json.find("the irrigation of 2026-05-25 (line 4 of the irrigations) is after today, "
                      "2026-05-15, and not counted"),
            std::string::npos)
      << json;
  EXPECT_NE(json.find("{\"date\": \"2026-05-05\", \"day\": 5, \"net_mm\": 20, \"gross_mm\": 20, "
                      "\"rule\": \"given\"}"),
            std::string::npos)
      << json;
}

// FAO-33's yield reduction: 1 - Ya/Ym = Ky (1 - ETa/ETm) over the season, and by stage the
// stages' shares multiplied; none without the factors.
TEST(ScheduleRun, TheSeasonsYieldReduction) {
  const struct {
    const char* cells;  // strategy, ky, ky_ini, ky_dev, ky_mid, ky_late
    bool stressed;
    bool figure, by_stage;
  } cases[] = {
      {"rainfed,1.25,0.4,0.4,1.5,0.5", true, true, true},
      {"refill,1.25,0.4,0.4,1.5,0.5", false, true, true},
      {"rainfed,1.25,,,,", true, true, false},
      {"rainfed,,0.4,0.4,1.5,", true, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cells);
    const Ran r = run(std::string("profile,horizon,thickness,sand,clay,root_depth,tolerance,"
                                  "planting_date,kc_ini,kc_mid,kc_end,l_ini,l_dev,l_mid,l_late,"
                                  "strategy,ky,ky_ini,ky_dev,ky_mid,ky_late\n"
                                  "p,1,100,40,20,60,50,2026-05-01,1,1,1,10,10,10,10,") +
                          c.cells + "\n",
                      weather_of(), {});
    ASSERT_EQ(r.status, kExitOk) << r.errors;
    const std::string row = first_row(r.out);
    const std::vector<std::string> cells = cells_of(row);
    ASSERT_EQ(cells.size(), 24u) << row;
    const double etm = std::stod(cells[9]), eta = std::stod(cells[17]);
    EXPECT_EQ(eta < etm - 1e-6, c.stressed) << row;
    if (c.figure) {
      EXPECT_NEAR(std::stod(cells[21]), 100 * 1.25 * (1 - eta / etm), 1e-3) << row;
    } else {
      EXPECT_EQ(cells[21], "") << row;
    }
    if (!c.by_stage) {
      EXPECT_EQ(cells[22], "") << row;
    } else if (c.stressed) {
      // A rainfed season runs short late, where the mid stage's 1.5 weighs most.
      EXPECT_GT(std::stod(cells[22]), 0) << row;
      EXPECT_LE(std::stod(cells[22]), 100) << row;
    } else {
      EXPECT_EQ(cells[22], "0") << row;
    }
  }
}

// A stage's factor out of its bounds is the profile's error, named.
TEST(ScheduleRun, AStageYieldFactorOutOfBoundsIsNamed) {
  const Ran r =
      run("profile,horizon,thickness,sand,clay,root_depth,tolerance,planting_date,kc_ini,kc_mid,"
          "kc_end,l_ini,l_dev,l_mid,l_late,ky_mid\n"
          "p,1,100,40,20,60,50,2026-05-01,1,1,1,10,10,10,10,4\n",
          weather_of(), {});
  EXPECT_EQ(r.status, kExitFailed);
  EXPECT_NE(r.out.find("ky_mid \"\"4\"\" is not a number from 0.01 to 3"), std::string::npos)
      << r.out;
}

// Each bundled row names the row of the stage-length table it was taken from.
TEST(BundledCropStages, EveryRowNamesItsSource) {
  std::ifstream in(testing::kBundled / kCropStageFileName, std::ios::binary);
  ASSERT_TRUE(in);
  CsvReader reader(in);
  CsvRecord record;
  ASSERT_TRUE(reader.next(record));
  ASSERT_EQ(record.fields.size(), 16u);
  EXPECT_EQ(record.fields[8], "table_11_row");
  EXPECT_EQ(record.fields[9], "root_ini_cm");
  EXPECT_EQ(record.fields[10], "height_m");
  int rows = 0;
  while (reader.next(record)) {
    ++rows;
    ASSERT_EQ(record.fields.size(), 16u) << "line " << record.line;
    EXPECT_FALSE(record.fields[10].empty()) << "line " << record.line;  // every crop's height
    EXPECT_GE(record.fields[8].size(), 6u) << "line " << record.line;
  }
  EXPECT_GE(rows, 70);
}

}  // namespace
}  // namespace vantrel
