// Every CSV input of every tool read by the one table reader, as a new user's files come:
// saved with semicolons and decimal commas, with headers in other cases, from standard input,
// with a cell typed over two lines, with a field too many or a column misspelt.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/shell.hpp"
#include "support/temp_dir.hpp"

namespace vantrel {
namespace {

using testing::read_all;
using testing::shell;
using testing::TempDir;

const std::string kBundled = VANTREL_REFERENCE_DIR;
const std::string kExamples = VANTREL_EXAMPLES;
const std::string kBatch = VANTREL_BATCH;
const std::string kSchedule = VANTREL_SCHEDULE;
const std::string kReference = VANTREL_REFERENCE_TOOL;

// A comma file as a spreadsheet set to a decimal comma saves it: ';' between fields, ',' in
// numbers. Comment lines stay as they are.
std::string semicolon_form(const std::string& csv) {
  std::istringstream in(csv);
  std::string out, line;
  while (std::getline(in, line)) {
    if (line.empty() || line.front() != '#') {
      for (char& c : line)
        c = c == ',' ? ';' : c == '.' ? ',' : c;
    }
    out += line + '\n';
  }
  return out;
}

std::string schedule_in(const TempDir& dir, const std::string& args) {
  return "cd " + dir.path().string() + " && " + kSchedule + " --quiet --data " + kBundled + " " +
         args;
}

// The season example saved with semicolons gives the same seasons, its decimal commas read as
// points in every column (kc_ini, initial_depletion_mm and etc alike), the weather's too.
TEST(TableInputs, SemicolonFilesGiveTheSameSeasons) {
  TempDir dir;
  // The example with a starting depletion with decimals for North meadow: a column after
  // planting_date, the tenth.
  std::istringstream example(read_all(kExamples + "/season.csv"));
  std::string season, line;
  bool first_row = true;
  while (std::getline(example, line)) {
    if (!line.empty() && line.front() != '#') {
      std::size_t tenth = 0;
      for (int i = 0; i < 10; ++i)
        tenth = line.find(',', tenth) + 1;
      const bool header = line.starts_with("profile,");
      line.insert(tenth, header ? "initial_depletion_mm," : first_row ? "10.5," : ",");
      first_row = first_row && header;
    }
    season += line + '\n';
  }
  ASSERT_NE(season.find(",2026-04-20,10.5,0.3,"), std::string::npos) << season;
  dir.write("season.csv", season);
  dir.write("season-semicolon.csv", semicolon_form(season));
  dir.write("weather.csv", read_all(kExamples + "/weather.csv"));
  dir.write("weather-semicolon.csv", semicolon_form(read_all(kExamples + "/weather.csv")));
  const testing::Ran comma = shell(schedule_in(dir, "--weather weather.csv season.csv"));
  const testing::Ran semicolon =
      shell(schedule_in(dir, "--weather weather-semicolon.csv season-semicolon.csv"));
  EXPECT_EQ(comma.status, 0) << comma.output;
  EXPECT_NE(comma.output.find("North meadow,ok,2026-04-20,"), std::string::npos) << comma.output;
  EXPECT_EQ(semicolon.status, 0) << semicolon.output;
  EXPECT_EQ(semicolon.output, comma.output);
  // A crop stages file saved the same way reads too.
  dir.write("stages.csv", semicolon_form(read_all(kBundled + "/crop_coefficients.csv")));
  const testing::Ran stages = shell(
      schedule_in(dir, "--crop-stages stages.csv --weather weather-semicolon.csv season.csv"));
  EXPECT_EQ(stages.output, comma.output);
}

// What a new user's files hold, and what each tool answers.
TEST(TableInputs, EachToolAnswersAlike) {
  TempDir dir;
  dir.write("weather.csv", "date,et0_mm,rain_mm\n2026-05-01,5,0\n2026-05-02,5,5,0\n");
  dir.write("weather-ok.csv", "date,ET0_mm , Rain_MM,wind\n2026-05-01,5,0,2\n2026-05-02,5,0,2\n");
  const std::string profile =
      "profile,horizon,thickness,sand,clay,root_depth,tolerance,planting_date,kc_ini,kc_mid,"
      "kc_end,l_ini,l_dev,l_mid,l_late";
  dir.write("misspelt.csv", profile +
                                ",initial_depletion\np,1,20,40,20,20,35,2026-05-01,0.5,1,"
                                "0.8,1,1,0,0,10\n");
  dir.write("season.csv", profile + "\np,1,20,40,20,20,35,2026-05-01,0.5,1,0.8,1,1,0,0\n");
  dir.write("quoted.csv",
            "profile;horizon;thickness;sand;clay;crop;notes\n"
            "A;1;30;40;20;Potato;\"first line\nsecond line\"\n"
            "A;2;1.025,5;40;20;;\n");
  dir.write("split.csv",
            "profile,horizon,thickness,sand,clay,crop,notes\n"
            "A,1,30,40,20,Potato,\"typed with Alt+Enter\nB,1,30,40,20,Maize grain,\"\n"
            "A,2,30,40,20,,\n");
  std::string measured = read_all(kExamples + "/measured.csv");
  measured.replace(measured.find("profile,horizon"), 15, " Profile ,HORIZON");
  dir.write("measured.csv", measured);
  dir.write("measured-semicolon.csv", semicolon_form(read_all(kExamples + "/measured.csv")));
  const std::string in = "cd " + dir.path().string() + " && ";
  const std::string batch = in + kBatch + " --quiet --data " + kBundled + " ";
  const struct {
    std::string command;
    int status;
    std::string says;  // in standard output and error together
  } cases[] = {
      // A weather row with a field too many is not ET0 5 and rain 5.
      {schedule_in(dir, "--weather weather.csv season.csv"), 2,
       "weather.csv:3: 4 fields where the header has 3"},
      {schedule_in(dir, "--weather weather-ok.csv season.csv"), 0,
       "weather-ok.csv:1: column \"wind\" is not used"},
      {schedule_in(dir, "--weather weather-ok.csv misspelt.csv"), 0,
       "misspelt.csv:1: column \"initial_depletion\" is not used"},
      {schedule_in(dir, "--weather weather-ok.csv - < season.csv"), 0, "p,ok,2026-05-01,,,,,,2,"},
      {"printf 'profile,horizon\\n' | " + kSchedule + " --quiet --data " + kBundled +
           " --weather " + (dir / "weather-ok.csv").string() + " -",
       2, "-:1: no column \"thickness\" in the header"},
      // A quoted line break is part of its cell; the row after keeps its own line number, and
      // a cell is quoted as written.
      {batch + "quoted.csv", 1, "quoted.csv:4: thickness \"1.025,5\" is not a number"},
      {batch + "split.csv", 0, "\nA,ok,Potato,"},
      {in + kReference + " measured.csv -o out.csv", 0, ""},
      {in + kReference + " measured-semicolon.csv -o out-semicolon.csv", 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    const testing::Ran r = shell(c.command);
    EXPECT_EQ(r.status, c.status) << r.output;
    EXPECT_NE(r.output.find(c.says), std::string::npos) << r.output;
  }
  // No phantom profile from the rest of the cell.
  const testing::Ran split = shell(batch + "split.csv");
  EXPECT_EQ(split.output.find("\nB,ok"), std::string::npos) << split.output;
  // The measured file read with its other header and with semicolons gives the same profiles.
  std::string semicolon = read_all(dir / "out-semicolon.csv");
  for (std::size_t at; (at = semicolon.find("measured-semicolon.csv")) != std::string::npos;)
    semicolon.replace(at, 22, "measured.csv");
  EXPECT_EQ(read_all(dir / "out.csv"), semicolon);
  EXPECT_FALSE(read_all(dir / "out.csv").empty());
}

}  // namespace
}  // namespace vantrel
