// vantrel-batch as an advisor uses it: the depth to apply with the depletion fraction adjusted
// for crop water use, field capacity at another suction, the warnings where the numbers are
// weak, spreadsheets as they come, standard input and output, and the reference set found.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "batch/batch_run.hpp"
#include "data/csv_reader.hpp"
#include "support/batch_tables.hpp"
#include "support/shell.hpp"
#include "support/temp_dir.hpp"

namespace vantrel {
namespace {

using testing::TempDir;

using testing::bundled_tables;
using testing::kBundled;
using testing::Ran;
using testing::shell;

// The results of a run, one map of column to cell per profile.
struct Results {
  int status = -1;
  std::string out, errors;
  std::vector<std::map<std::string, std::string>> rows;
  double number(std::size_t row, const std::string& column) const {
    return std::stod(rows.at(row).at(column));
  }
};

Results parse(const std::string& out, char separator = ',') {
  Results r;
  std::istringstream in(out);
  CsvReader reader(in, CsvReader::kMaxLine, separator);
  CsvRecord header, record;
  if (!reader.next(header)) return r;
  while (reader.next(record)) {
    std::map<std::string, std::string> row;
    for (std::size_t i = 0; i < header.fields.size() && i < record.fields.size(); ++i)
      row[header.fields[i]] = record.fields[i];
    r.rows.push_back(row);
  }
  return r;
}

Results run(const std::string& csv, const std::function<void(BatchSettings&)>& adjust = {}) {
  TempDir dir;
  BatchSettings settings;
  settings.input = dir.write("in.csv", csv);
  if (adjust) adjust(settings);
  std::ostringstream out, errors;
  const int status =
      run_batch(settings, *bundled_tables().curves, *bundled_tables().crops, out, errors);
  Results r = parse(out.str());
  r.status = status;
  r.out = out.str();
  r.errors = errors.str();
  return r;
}

TEST(BatchAdvice, TheDepletionFractionFollowsCropWaterUseWithinItsBounds) {
  struct Case {
    float p_table, etc, adjusted;
  } cases[] = {
      {50, 5.0F, 50},  {50, 7.5F, 40}, {50, 2.5F, 60},
      {55, 5.5F, 53},  {75, 1.0F, 80},  // at most 80 %
      {20, 10.0F, 10},                  // at least 10 %
  };
  for (const Case& c : cases) {
    EXPECT_EQ(adjusted_depletion(c.p_table, c.etc), c.adjusted) << c.p_table << " at " << c.etc;
  }
}

TEST(BatchAdvice, TheDepthToApplyUsesTheAdjustedFractionAndTheWindowKeepsTheCrops) {
  const std::string header =
      "profile,horizon,thickness,sand,clay,root_depth,tolerance,etc,efficiency\n";
  const Results r = run(header +
                        "dry,1,60,40,20,50,50,7.5,80\n"  // p 0.4
                        "cool,1,60,40,20,50,50,2.5,\n"   // p 0.6, efficiency 100
                        "none,1,60,40,20,50,50,,50\n");  // no etc: the crop's p, no interval
  ASSERT_EQ(r.rows.size(), 3u) << r.out << r.errors;
  const double expected_p[] = {40, 60, 50};
  const double efficiency[] = {80, 100, 50};
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(r.rows[i].at("profile"));
    EXPECT_EQ(r.rows[i].at("status"), "ok") << r.rows[i].at("message");
    EXPECT_DOUBLE_EQ(r.number(i, "p_table_pct"), 50);
    EXPECT_EQ(r.rows[i].at("p_pct"), std::to_string(static_cast<int>(expected_p[i])));
    const double zone = r.number(i, "root_zone_taw_mm");
    const double net = r.number(i, "irrigation_depth_mm");
    EXPECT_NEAR(net, zone * expected_p[i] / 100, 1e-3);
    EXPECT_NEAR(r.number(i, "refill_level_mm"), r.number(i, "fp_mm") - net, 1e-3);
    EXPECT_NEAR(r.number(i, "gross_depth_mm"), net * 100 / efficiency[i], 1e-3);
    // The window's refill point keeps the crop's fraction.
    EXPECT_NEAR(r.number(i, "rp_mm"), r.number(i, "fp_mm") - zone * 0.5, 1e-3);
  }
  EXPECT_NEAR(r.number(0, "interval_days"), r.number(0, "irrigation_depth_mm") / 7.5, 1e-3);
  EXPECT_EQ(r.rows[2].at("interval_days"), "");
}

TEST(BatchAdvice, FieldCapacityAtAnotherSuctionIsNamedAndLowersTheWater) {
  const std::string csv = "profile,horizon,thickness,sand,clay,crop\np,1,60,40,20,Potato\n";
  const Results at10 = run(csv);
  const Results at33 = run(csv, [](BatchSettings& s) { s.fc_suction = 33; });
  ASSERT_EQ(at33.rows.size(), 1u) << at33.errors;
  EXPECT_EQ(at10.rows[0].at("fc_suction_kpa"), "10");
  EXPECT_EQ(at33.rows[0].at("fc_suction_kpa"), "33");
  EXPECT_LT(at33.number(0, "fp_mm"), at10.number(0, "fp_mm"));
  EXPECT_LT(at33.number(0, "taw_mm"), at10.number(0, "taw_mm"));
  // The wilting point does not move: TAW shrinks by exactly what FP loses.
  EXPECT_NEAR(at10.number(0, "fp_mm") - at33.number(0, "fp_mm"),
              at10.number(0, "taw_mm") - at33.number(0, "taw_mm"), 1e-3);
  TempDir dir;
  const Results json = run(csv, [&](BatchSettings& s) {
    s.fc_suction = 33;
    s.json = dir / "r.json";
  });
  EXPECT_NE(testing::read_all(dir / "r.json").find("\"fc_suction_kpa\": 33"), std::string::npos);
}

TEST(BatchAdvice, WeakNumbersAreWarningsThatSayWhy) {
  const std::string header = "profile,horizon,thickness,sand,clay,root_depth,tolerance,notes\n";
  struct Case {
    std::string rows;
    const char* says;  // empty: no warning
  } cases[] = {
      {"p,1,60,40,20,50,50,\n", ""},
      {"p,1,30,40,20,50,50,\n",
       "the root depth, 50 cm, reaches below the described profile (30 cm)"},
      {"p,1,60,0,100,50,50,\n", "horizon 1 rests on reference soils unlike it: their sand lies"},
      {"p,1,60,10,80,50,50,\n", "horizon 1 rests on reference soils unlike it: their clay lies"},
      // Horizon 1 updated again, thicker, after horizon 2: both cover 30 to 50 cm.
      {"p,1,30,40,20,50,50,\np,2,30,40,20,,,\np,1,50,40,20,,,\n",
       "horizons 1 and 2 both cover 30 to 50 cm, and both are summed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rows);
    const Results r = run(header + c.rows);
    ASSERT_EQ(r.rows.size(), 1u) << r.errors;
    const std::string says = c.says;
    EXPECT_EQ(r.rows[0].at("status"), says.empty() ? "ok" : "warning") << r.rows[0].at("message");
    if (!says.empty()) {
      EXPECT_NE(r.rows[0].at("message").find(says), std::string::npos) << r.rows[0].at("message");
      EXPECT_EQ(r.rows[0].at("warnings"), "1");
    }
  }
}

TEST(BatchAdvice, EfficiencyAndNotesPerProfile) {
  const std::string header = "profile,horizon,thickness,sand,clay,crop,efficiency,notes\n";
  struct Case {
    std::string rows;
    const char* error;  // empty: computed
    const char* notes;
  } cases[] = {
      {"p,1,60,40,20,Potato,75,drip line\np,2,20,40,20,,,drip line\n", "", "drip line"},
      {"p,1,60,40,20,Potato,,north end\np,2,20,40,20,,,wet corner\n", "", "north end; wet corner"},
      {"p,1,60,40,20,Potato,0,\n", "efficiency \"0\" is not above 0 and at most 100 %", ""},
      {"p,1,60,40,20,Potato,120,\n", "efficiency \"120\" is not above 0 and at most 100 %", ""},
      {"p,1,60,40,20,Potato,75,\np,2,20,40,20,,80,\n", "efficiency \"80\" disagrees with \"75\"",
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rows);
    const Results r = run(header + c.rows);
    ASSERT_EQ(r.rows.size(), 1u) << r.errors;
    const std::string error = c.error;
    EXPECT_EQ(r.rows[0].at("status") == "error", !error.empty()) << r.rows[0].at("message");
    if (!error.empty()) {
      EXPECT_NE(r.errors.find(error), std::string::npos) << r.errors;
    } else {
      EXPECT_EQ(r.rows[0].at("notes"), c.notes);
    }
  }
}

TEST(BatchSpreadsheets, HeadersInAnyCaseAndASemicolonTwinGiveTheSameNumbers) {
  const std::string comma =
      "profile,horizon,thickness,sand,clay,stones,crop,etc\n"
      "North meadow,1,25,40.5,20,0,Maize grain,5.5\n"
      "North meadow,2,35,35,28.25,5,,\n"
      "River plot,1,20,70,8,0,Potato,4.5\n";
  const std::string semicolon =
      " Profile ;HORIZON;Thickness; sand ;Clay;Stones;CROP;Etc\n"
      "North meadow;1;25;40,5;20;0;Maize grain;5,5\n"
      "North meadow;2;35;35;28,25;5;;\n"
      "River plot;1;20;70;8;0;Potato;4,5\n";
  const Results standard = run(comma);
  const Results twin = run(semicolon, [](BatchSettings& s) { s.csv_standard = true; });
  ASSERT_EQ(standard.rows.size(), 2u) << standard.errors;
  EXPECT_EQ(twin.out, standard.out) << twin.errors;
  // Without --csv-standard the outputs keep the input's separator and decimal mark.
  // The examples' twins too.
  const std::filesystem::path examples = VANTREL_EXAMPLES;
  const Results original = run(testing::read_all(examples / "fields.csv"));
  const Results example_twin = run(testing::read_all(examples / "fields-semicolon.csv"),
                                   [](BatchSettings& s) { s.csv_standard = true; });
  EXPECT_EQ(original.rows.size(), 4u);
  EXPECT_EQ(example_twin.out, original.out);
  const Results kept = run(semicolon);
  EXPECT_EQ(kept.out.substr(0, 22), "profile;status;crop;ro");
  Results read_back = parse(kept.out, ';');
  ASSERT_EQ(read_back.rows.size(), 2u);
  std::string fp = read_back.rows[0].at("fp_mm");
  EXPECT_NE(fp.find(','), std::string::npos) << fp;
  std::replace(fp.begin(), fp.end(), ',', '.');
  EXPECT_EQ(fp, standard.rows[0].at("fp_mm"));
}

TEST(BatchSpreadsheets, TheSeparatorComesFromTheHeaderLine) {
  struct Case {
    const char* header;
    char separator;
  } cases[] = {
      {"a,b,c", ','},   {"a;b;c", ';'},
      {"a;b,c;d", ';'}, {"\"x;y;z\",b", ','},  // semicolons in quotes do not count
      {"a", ','},
  };
  for (const Case& c : cases)
    EXPECT_EQ(separator_of(c.header), c.separator) << c.header;
}

// The program itself: standard input and output, the reference set it finds.
TEST(BatchCommandLine, DashReadsStandardInputAndWritesStandardOutput) {
  TempDir dir;
  dir.write("in.csv",
            "profile,horizon,thickness,sand,clay,crop\na,1,60,40,20,Potato\nb,9,1,1,1,x\n");
  const std::string batch = std::string(VANTREL_BATCH) + " --quiet --data " + kBundled.string();
  const std::string cd = "cd " + dir.path().string() + " && ";
  struct Case {
    std::string args;
    int status;
    const char* says;
  } cases[] = {
      {" - < in.csv", 1, "a,ok,Potato"},
      {" - < in.csv", 1, "-:3: horizon \"9\" is not a whole number"},
      {" --json - in.csv", 1, "\"profile\": \"a\""},
      {" --results - --horizons h.csv in.csv", 1, "a,ok,Potato"},
      {" --results - --json - in.csv", 2, "only one output can go to standard output"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const Ran r = shell(cd + batch + c.args);
    EXPECT_EQ(r.status, c.status) << r.output;
    EXPECT_NE(r.output.find(c.says), std::string::npos) << r.output;
  }
  EXPECT_TRUE(std::filesystem::exists(dir / "h.csv"));
  std::size_t leftovers = 0;  // standard input's copy is gone
  for (const auto& e : std::filesystem::directory_iterator(std::filesystem::temp_directory_path()))
    leftovers += e.path().filename().string().find("vantrel-batch-input") != std::string::npos;
  EXPECT_EQ(leftovers, 0u);
}

TEST(BatchCommandLine, WithoutDataTheWorkingDirectoryThenTheUsersFolderAreUsed) {
  TempDir home, work, empty;
  for (const char* name : {kRetentionFileName, kCropFileName, kTextureFileName})
    std::filesystem::copy_file(kBundled / name, work / name);
  const auto user = home / ".local" / "share" / "vantrel";
  std::filesystem::create_directories(user);
  for (const char* name : {kRetentionFileName, kCropFileName, kTextureFileName})
    std::filesystem::copy_file(kBundled / name, user / name);
  const std::string input = work.write("in.csv",
                                       "profile,horizon,thickness,sand,clay,crop\n"
                                       "a,1,60,40,20,Potato\n")
                                .string();
  const std::string env = "env -u XDG_DATA_HOME HOME=" + home.path().string() + " ";
  const std::string batch = std::string(VANTREL_BATCH) + " " + input;
  const Ran here = shell("cd " + work.path().string() + " && " + env + batch);
  EXPECT_EQ(here.status, 0) << here.output;
  EXPECT_NE(here.output.find("vantrel-batch: reference files from . (the bundled set: UNSODA 2.0 "
                             "measured soils with synthetic profiles for thin classes)\n"),
            std::string::npos)
      << here.output;
  const Ran user_folder = shell("cd " + empty.path().string() + " && " + env + batch);
  EXPECT_EQ(user_folder.status, 0) << user_folder.output;
  EXPECT_NE(user_folder.output.find("reference files from " + user.string()), std::string::npos)
      << user_folder.output;
  const Ran quiet = shell("cd " + empty.path().string() + " && " + env + batch + " --quiet");
  EXPECT_EQ(quiet.output.find("reference files from"), std::string::npos) << quiet.output;
  const Ran none = shell("cd " + empty.path().string() +
                         " && env -u XDG_DATA_HOME HOME=" + empty.path().string() + " " + batch);
  EXPECT_EQ(none.status, 2);
  EXPECT_NE(none.output.find("no folder holds the three reference files"), std::string::npos)
      << none.output;
}

TEST(BatchReportForTheFarmer, HeaderFooterSummaryAndTheDecisionOnEveryPage) {
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  }
  TempDir dir;
  // 45 fields: a summary of two pages (40 rows a page), then a page each.
  std::string csv = "profile,horizon,thickness,sand,clay,crop,etc,efficiency,notes\n";
  for (int i = 1; i <= 45; ++i) {
    csv += "field " + std::to_string(i) + ",1,60,40,20,Potato,4,80," +
           (i == 1 ? "pivot from the well" : "") + "\n";
  }
  dir.write("in.csv", csv);
  const Ran ran =
      shell("cd " + dir.path().string() + " && SOURCE_DATE_EPOCH=86400 " + VANTREL_BATCH +
            " --quiet --data " + kBundled.string() + " --report r.pdf --results r.csv in.csv");
  ASSERT_EQ(ran.status, 0) << ran.output;
  const std::string pdf = (dir / "r.pdf").string();
  EXPECT_NE(shell("pdfinfo " + pdf).output.find("Pages:           47\n"), std::string::npos);
  const auto page = [&](int n) {
    return shell("pdftotext -layout -f " + std::to_string(n) + " -l " + std::to_string(n) + " " +
                 pdf + " -")
        .output;
  };
  const Results results = parse(testing::read_all(dir / "r.csv"));
  const auto shown = [&](const std::string& column) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", results.number(0, column));
    return std::string(text);
  };
  struct Case {
    int page;
    std::vector<std::string> says;
  } cases[] = {
      {1,
       {"Vantrel irrigation report", "Summary", "Made 1970-01-02 by vantrel-batch 1.5.3",
        "Reference profiles: the bundled set (UNSODA 2.0 measured soils with synthetic",
        kBundled.string(), "Summary of 45 profiles", "45 ok, 0 with warnings (0 warnings in all)",
        "field 1 ", "page 1 of 47"}},
      {2, {"Profiles (continued)", "field 41", "field 45", "page 2 of 47"}},
      {3,
       {"field 1", "Irrigate when the root zone's soil water is down to",
        "it has then lost " + shown("irrigation_depth_mm") + " mm. Apply " +
            shown("irrigation_depth_mm") + " mm net (" + shown("gross_depth_mm") +
            " mm gross at 80.0 % efficiency); at the given crop water use of 4.0 mm/day that is "
            "every " +
            shown("interval_days") + " days.",
        "Root-zone full point", "Refill level", "RP " + shown("rp_mm"),
        "Notes: pivot from the well", "not the depth to apply",
        "Field capacity: the reference curves at 10.0 kPa",
        "Depletion fraction used: 39.0 % (the crop's 35.0 % at 5 mm/day, adjusted for 4.0 mm/day",
        "page 3 of 47"}},
      {47, {"field 45", "page 47 of 47"}},
  };
  for (const Case& c : cases) {
    const std::string text = page(c.page);
    for (const std::string& expected : c.says) {
      // The decision wraps: compare with the text's runs of blanks and line ends as one blank.
      std::string flat;
      for (const char ch : text) {
        if ((ch == ' ' || ch == '\n') && !flat.empty() && flat.back() == ' ') continue;
        flat += ch == '\n' ? ' ' : ch;
      }
      EXPECT_NE(flat.find(expected), std::string::npos)
          << "page " << c.page << ": " << expected << "\n"
          << text;
    }
  }
}

TEST(BatchReportForTheFarmer, SourceDateEpochGivesTheSameFileTwice) {
  TempDir dir;
  dir.write("in.csv", "profile,horizon,thickness,sand,clay,crop\na,1,60,40,20,Potato\n");
  const std::string run = "cd " + dir.path().string() + " && SOURCE_DATE_EPOCH=86400 " +
                          VANTREL_BATCH + " --quiet --data " + kBundled.string() + " --report ";
  ASSERT_EQ(shell(run + "one.pdf in.csv").status, 0);
  ASSERT_EQ(shell(run + "two.pdf in.csv").status, 0);
  const std::string one = testing::read_all(dir / "one.pdf");
  EXPECT_GT(one.size(), 1000u);
  EXPECT_EQ(one, testing::read_all(dir / "two.pdf"));
  EXPECT_NE(one.find("/CreationDate (D:19700102000000Z)"), std::string::npos);
}

TEST(SeasonReport, ASummaryThenEachProfilesSeasonWithHeadersAndFooters) {
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  }
  TempDir dir;
  const std::filesystem::path examples = VANTREL_EXAMPLES;
  const Ran ran = shell(
      "cd " + dir.path().string() + " && SOURCE_DATE_EPOCH=86400 " + VANTREL_SCHEDULE +
      " --quiet --data " + kBundled.string() + " --weather " + (examples / "weather.csv").string() +
      " --report season.pdf --events events.csv " + (examples / "season.csv").string());
  ASSERT_EQ(ran.status, 0) << ran.output;
  const std::string pdf = (dir / "season.pdf").string();
  // The summary; each profile's season, its irrigation days continued and its calendar.
  EXPECT_NE(shell("pdfinfo " + pdf).output.find("Pages:           7\n"), std::string::npos);
  const std::string summary = shell("pdftotext -layout -f 1 -l 1 " + pdf + " -").output;
  const std::string north = shell("pdftotext -layout -f 2 -l 2 " + pdf + " -").output;
  for (const char* expected :
       {"Vantrel irrigation report", "Made 1970-01-02 by vantrel-schedule 1.5.3",
        "Irrigation schedule of 2 profiles", "North meadow", "River plot", "page 1 of 7"}) {
    EXPECT_NE(summary.find(expected), std::string::npos) << expected << "\n" << summary;
  }
  // Its irrigation days are the events file's.
  const std::string events = testing::read_all(dir / "events.csv");
  const std::string first_event = events.substr(events.find("North meadow,") + 13, 10);
  for (const std::string& expected :
       {std::string("Season of North meadow"), std::string("Irrigation days"), first_event,
        std::string("Season totals"), std::string("Irrigations"), std::string("page 2 of 7")}) {
    EXPECT_NE(north.find(expected), std::string::npos) << expected << "\n" << north;
  }
}

}  // namespace
}  // namespace vantrel
