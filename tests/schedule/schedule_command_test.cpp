// vantrel-schedule as a user runs it: its options, the files it must never write over, and the
// reference set it loads as vantrel-batch does.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "data/retention_curves.hpp"
#include "data/text_tables.hpp"
#include "support/shell.hpp"
#include "support/temp_dir.hpp"
#include "support/wrc_text.hpp"

namespace vantrel {
namespace {

using testing::shell;
using testing::TempDir;

const std::filesystem::path kBundled = VANTREL_REFERENCE_DIR;
const std::string kSchedule = VANTREL_SCHEDULE;

// A profile with its own stages, and five days of weather for it.
void write_season(const TempDir& dir) {
  dir.write("in.csv",
            "profile,horizon,thickness,sand,clay,root_depth,tolerance,planting_date,kc_ini,"
            "kc_mid,kc_end,l_ini,l_dev,l_mid,l_late\n"
            "p,1,20,40,20,20,35,2026-05-01,0.5,1,0.8,1,1,1,1\n");
  dir.write("w.csv",
            "date,et0_mm\n2026-05-01,5\n2026-05-02,5\n2026-05-03,5\n2026-05-04,5\n"
            "2026-05-05,5\n");
  dir.write("stages.csv", "name,kc_ini,kc_mid,kc_end,l_ini,l_dev,l_mid,l_late\n");
}

TEST(ScheduleCommand, OptionsAndTheFilesItMustNotWriteOver) {
  TempDir dir;
  write_season(dir);
  const std::string run = "cd " + dir.path().string() + " && " + kSchedule + " --quiet --data " +
                          kBundled.string() + " --weather w.csv ";
  const std::string retention = (kBundled / kRetentionFileName).string();
  struct Case {
    std::string args;
    int status;
    std::string says;
  } cases[] = {
      {"--latitude 91 --elevation 0 in.csv", 2,
       "--latitude needs a number from -90 to 90, not \"91\""},
      {"--latitude 45 in.csv", 2, "--latitude and --elevation come together"},
      {"--fc-suction 0 in.csv", 2, "--fc-suction needs a suction in kPa from 1 to below the 100"},
      {"--fc-suction 1500 in.csv", 2, "below the 100 kPa stress point, not \"1500\""},
      {"--schedule in.csv in.csv", 2, "refusing to write in.csv over the input file"},
      {"--events w.csv in.csv", 2, "refusing to write w.csv over the weather file w.csv"},
      {"--crop-stages stages.csv --json stages.csv in.csv", 2,
       "over the crop stages file stages.csv"},
      {"--json " + retention + " in.csv", 2, "over the reference file " + retention},
      {"--schedule s.csv --events s.csv in.csv", 2, "s.csv is named for two outputs"},
      {"--schedule s.csv in.csv", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const testing::Ran r = shell(run + c.args);
    EXPECT_EQ(r.status, c.status) << r.output;
    EXPECT_NE(r.output.find(c.says), std::string::npos) << r.output;
  }
  // The refused runs wrote nothing, and the input is whole.
  EXPECT_EQ(testing::read_all(dir / "in.csv").substr(0, 8), "profile,");
  EXPECT_EQ(testing::read_all(dir / "w.csv").substr(0, 12), "date,et0_mm\n");
  EXPECT_NE(testing::read_all(dir / "s.csv").find("p,2026-05-04,4,late,"), std::string::npos);
}

// Outputs that cannot be written and inputs that never end, as vantrel-batch answers them: a
// failed write is exit 2 with its reason and leaves no temporary file; a stream that is no
// regular file is refused before it is read.
TEST(ScheduleCommand, FailedWritesAndEndlessInputsAreUsageErrors) {
  TempDir dir;
  write_season(dir);
  ASSERT_EQ(shell("mkfifo " + (dir / "fifo").string()).status, 0);
  const std::string tool = kSchedule + " --quiet --data " + kBundled.string() + " --weather w.csv ";
  const std::string run = "cd " + dir.path().string() + " && " + tool;
  struct Case {
    std::string command;
    const char* says;
  } cases[] = {
      {"cd " + dir.path().string() + " && { " + tool + "in.csv > /dev/full; }",
       "vantrel-schedule: standard output: cannot write"},
      {run + "--crop-stages /dev/zero in.csv", "/dev/zero: cannot read: not a regular file"},
      {run + "--crop-stages fifo in.csv", "fifo: cannot read: not a regular file"},
      {"ulimit -f 0 && " + run + "--schedule big.csv in.csv",
       "big.csv: cannot write: File too large"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    const testing::Ran r = shell(c.command);
    EXPECT_EQ(r.status, 2) << r.output;
    EXPECT_NE(r.output.find(c.says), std::string::npos) << r.output;
  }
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    EXPECT_EQ(entry.path().filename().string().find("partial"), std::string::npos) << entry.path();
  EXPECT_FALSE(std::filesystem::exists(dir / "big.csv"));
  // "-" is standard output, as in vantrel-batch, never a file named "-".
  const testing::Ran dash = shell(run + "--schedule - in.csv");
  EXPECT_EQ(dash.status, 0) << dash.output;
  EXPECT_NE(dash.output.find("profile,date,day,stage,"), std::string::npos) << dash.output;
  EXPECT_FALSE(std::filesystem::exists(dir / "-"));
}

// A weather or crop stages file's text reaches standard error escaped: no escape sequence, bell
// or direction override from a file ever reaches the terminal.
TEST(ScheduleCommand, FileTextsReachTheTerminalEscaped) {
  TempDir dir;
  write_season(dir);
  dir.write("w.csv", "date,et0_mm\n2026-05-01,\x1b[2J\x07\n");
  dir.write("stages.csv",
            "name,kc_ini,kc_mid,kc_end,l_ini,l_dev,l_mid,l_late,\xe2\x80\xae\n"
            "Maize\x1b]0;title\x07,0.3,\x1b[2J,0.5,10,10,10,10,\n");
  const std::string run = "cd " + dir.path().string() + " && " + kSchedule + " --quiet --data " +
                          kBundled.string() + " --weather w.csv ";
  for (const std::string& args :
       {std::string("in.csv"), std::string("--crop-stages stages.csv in.csv")}) {
    const testing::Ran r = shell(run + args);
    EXPECT_NE(r.status, 0) << r.output;
    EXPECT_EQ(r.output.find('\x1b'), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find('\x07'), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("\xe2\x80\xae"), std::string::npos) << r.output;
  }
}

// A reference file cut short: the tool names where, and the season resting on it warns.
TEST(ScheduleCommand, AShortReferenceFileIsNamedAndItsSeasonsWarn) {
  TempDir dir;
  write_season(dir);
  for (const char* name : {kCropFileName, kTextureFileName})
    std::filesystem::copy_file(kBundled / name, dir / name);
  std::string file;
  for (int k = 1; k <= 3; ++k) {
    file += testing::profile_header(k);
    for (int j = 1; j <= (k == 3 ? 7 : 20); ++j)
      file += testing::layer_line(1.3, 45.0, 8.0, 0.05, 1.5, 20.0, 40.0);
  }
  dir.write(kRetentionFileName, file);
  const testing::Ran r =
      shell("cd " + dir.path().string() + " && " + kSchedule + " --data . --weather w.csv in.csv");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("Soil_WRC.csv:56: reference profile 3 ends after 7 of its 20 layers"),
            std::string::npos)
      << r.output;
  EXPECT_NE(r.output.find("p,warning,"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("rests on a short reference profile"), std::string::npos) << r.output;
}

}  // namespace
}  // namespace vantrel
