// vantrel-batch and vantrel-reference under attack: many threads, full disks, outputs that are
// not files, modes, and what a hostile input may hold.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "advice/profile_reader.hpp"
#include "data/csv_reader.hpp"
#include "data/safe_text.hpp"
#include "support/shell.hpp"
#include "support/temp_dir.hpp"
#include "support/wrc_text.hpp"

namespace vantrel {
namespace {

using testing::read_all;
using testing::TempDir;

const std::string kBatch = VANTREL_BATCH;
const std::string kReference = VANTREL_REFERENCE_DIR;
const std::string kExamples = VANTREL_EXAMPLES;
const std::string kTool = VANTREL_REFERENCE_TOOL;

using testing::Ran;
using testing::shell;

// A command line run in `dir`.
Ran in_dir(const TempDir& dir, const std::string& command) {
  return shell("cd '" + dir.path().string() + "' || exit 1; " + command);
}

const std::string kRun = kBatch + " --quiet --data " + kReference;
const std::string kFields = kExamples + "/fields.csv";
const std::string kMeasured = kExamples + "/measured.csv";

// vantrel-batch on the example input in `dir`, with the options given.
Ran batch(const TempDir& dir, const std::string& options) {
  return in_dir(dir, kRun + " " + options + " " + kFields);
}

std::size_t leftovers(const TempDir& dir) {
  std::size_t n = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    n += e.path().filename().string().find(".partial-") != std::string::npos ? 1 : 0;
  return n;
}

// Every job thread computes, but the pages are drawn on the one thread that owns the painter:
// the run never crashes, whatever the number of jobs, and loses no output.
TEST(BatchAttack, TheReportOnManyThreads) {
  for (const int jobs : {8, 2, 8, 16, 3, 8, 8, 8}) {
    SCOPED_TRACE(jobs);
    TempDir dir;
    const Ran r =
        shell("cd " + dir.path().string() + " && " + kBatch + " --quiet --data " + kReference +
              " --jobs " + std::to_string(jobs) + " --report r.pdf --results r.csv --json r.json " +
              kExamples + "/fields.csv");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(read_all(dir / "r.pdf").find("%%EOF"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir / "r.csv"));
    EXPECT_EQ(leftovers(dir), 0U);
  }
}

// A write that fails (the file-size limit, a full device) is seen: exit 2, and the file that
// was there stays as it was.
TEST(BatchAttack, AFailedReportWriteKeepsTheOldFile) {
  TempDir dir;
  dir.write("r.pdf", "the report of yesterday");
  const Ran limited = in_dir(dir, "ulimit -f 20; " + kRun + " --report r.pdf " + kFields);
  EXPECT_EQ(limited.status, 2) << limited.output;
  // The pages kept on disk until the end, or the report itself, pass the limit first.
  EXPECT_NE(limited.output.find("r.pdf: cannot write: "), std::string::npos) << limited.output;
  EXPECT_NE(limited.output.find("File too large"), std::string::npos) << limited.output;
  EXPECT_EQ(read_all(dir / "r.pdf"), "the report of yesterday");
  EXPECT_EQ(leftovers(dir), 0U);
  for (const char* option : {"--report /dev/full", "--results /dev/full", "--json /dev/full"}) {
    const Ran full = batch(dir, option);
    EXPECT_EQ(full.status, 2) << option << full.output;
    EXPECT_NE(full.output.find("/dev/full: cannot write: No space left on device"),
              std::string::npos)
        << full.output;
  }
}

// An output that exists and is not a regular file is written in place, never renamed over.
TEST(BatchAttack, OutputsThatAreNotFilesAreWrittenInPlace) {
  TempDir dir;
  for (const char* option : {"--results /dev/null", "--report /dev/null --json /dev/stdout"}) {
    const Ran r = batch(dir, option);
    EXPECT_EQ(r.status, 0) << option << r.output;
  }
  struct stat null_device {};
  ASSERT_EQ(::stat("/dev/null", &null_device), 0);
  EXPECT_TRUE(S_ISCHR(null_device.st_mode));
  // A FIFO with a reader: the reader gets the whole output, the FIFO stays a FIFO.
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);
  const Ran piped = in_dir(dir, "timeout 20 " + kRun + " --results pipe " + kFields +
                                    " & timeout 20 cat pipe > got.csv; wait $!; echo status $?");
  EXPECT_NE(piped.output.find("status 0"), std::string::npos) << piped.output;
  EXPECT_EQ(read_all(dir / "got.csv").substr(0, 8), "profile,");
  struct stat fifo {};
  ASSERT_EQ(::stat((dir / "pipe").c_str(), &fifo), 0);
  EXPECT_TRUE(S_ISFIFO(fifo.st_mode));
  // vantrel-reference the same way.
  EXPECT_EQ(shell(kTool + " -o /dev/null " + kMeasured).status, 0);
  EXPECT_EQ(shell(kTool + " -o /dev/full " + kMeasured).status, 2);
  EXPECT_EQ(leftovers(dir), 0U);
}

// New outputs get 0666 less the umask; a replaced output keeps its mode.
TEST(BatchAttack, OutputModesFollowTheUmaskAndTheFileReplaced) {
  struct Case {
    const char* umask;
    int existing;  // the mode of a file already there, or 0 for none
    int expected;
  } cases[] = {{"077", 0, 0600},
               {"022", 0, 0644},
               {"002", 0, 0664},
               {"022", 0600, 0600},
               {"077", 0640, 0640}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.umask) + " " + std::to_string(c.existing));
    TempDir dir;
    if (c.existing != 0) {
      dir.write("r.csv", "old");
      ::chmod((dir / "r.csv").c_str(), static_cast<mode_t>(c.existing));
      dir.write("m.csv", "old");
      ::chmod((dir / "m.csv").c_str(), static_cast<mode_t>(c.existing));
    }
    const Ran r = in_dir(dir, "umask " + std::string(c.umask) + "; " + kRun + " --results r.csv " +
                                  kFields + " && " + kTool + " -o m.csv " + kMeasured);
    ASSERT_EQ(r.status, 0) << r.output;
    for (const char* name : {"r.csv", "m.csv"}) {
      struct stat made {};
      ASSERT_EQ(::stat((dir / name).c_str(), &made), 0);
      EXPECT_EQ(made.st_mode & 07777, static_cast<mode_t>(c.expected)) << name;
    }
  }
}

// An output that is a symbolic link is written through: the file it names (made when it is not
// there yet) gets the new content, and the link stays a link.
TEST(BatchAttack, AnOutputThatIsALinkIsWrittenThrough) {
  for (const bool dangling : {false, true}) {
    SCOPED_TRACE(dangling ? "a link to a file still to be made" : "a link to a file");
    TempDir dir;
    std::filesystem::create_directory(dir / "kept");
    for (const char* name : {"r.csv", "m.csv"}) {
      if (!dangling) dir.write(std::string("kept/") + name, "old");
      std::filesystem::create_symlink(std::string("kept/") + name, dir / name);
    }
    const Ran r = in_dir(
        dir, kRun + " --results r.csv " + kFields + " && " + kTool + " -o m.csv " + kMeasured);
    ASSERT_EQ(r.status, 0) << r.output;
    for (const char* name : {"r.csv", "m.csv"}) {
      EXPECT_TRUE(std::filesystem::is_symlink(dir / name)) << name;
      const std::string made = testing::read_all(dir / "kept" / name);
      EXPECT_GT(made.size(), 100u) << name;
      EXPECT_NE(made.substr(0, 3), "old") << name;
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir / "kept"))
      EXPECT_EQ(entry.path().filename().string().front() == '.', false) << entry.path();
  }
}

// A split profile is an error in every part, the first included, before any part is written;
// the search keeps its answer when the groups go to bucket files.
TEST(BatchAttack, ASplitProfileIsAnErrorInAllItsParts) {
  std::string csv = "profile,horizon,thickness,sand,clay,crop\n";
  for (int h = 1; h <= 3; ++h) {  // sorted by horizon: every profile split three times
    for (const char* name : {"north", "south", "east"})
      csv += std::string(name) + "," + std::to_string(h) + ",30,40,20,Potato\n";
  }
  csv += "west,1,30,40,20,Potato\nwest,2,30,40,20,\n";  // consecutive: computed
  for (const std::size_t in_memory : {std::size_t{1} << 20, std::size_t{2}}) {
    std::istringstream in(csv);
    CsvReader reader(in);
    CsvRecord header;
    ASSERT_TRUE(reader.next(header));
    ColumnMap columns;
    std::string error;
    std::vector<std::string> ignored;
    ASSERT_TRUE(columns.read(header.fields, error, ignored));
    SplitProfiles split(in_memory);
    ASSERT_TRUE(split.find(reader, columns, error)) << error;
    EXPECT_EQ(split.count(), 3U);
    EXPECT_EQ(split.first_line("north"), 2);
    EXPECT_EQ(split.first_line("east"), 4);
    EXPECT_FALSE(split.first_line("west").has_value());
    EXPECT_FALSE(split.first_line("nowhere").has_value());
  }
  TempDir dir;
  dir.write("in.csv", csv);
  const Ran r = in_dir(dir, kRun + " --jobs 2 in.csv");
  EXPECT_EQ(r.status, 1);
  std::size_t errors = 0;
  for (std::size_t at = r.output.find(",error,"); at != std::string::npos;
       at = r.output.find(",error,", at + 1)) {
    ++errors;
  }
  EXPECT_EQ(errors, 9U) << r.output;  // all nine parts
  EXPECT_EQ(r.output.find(",ok,Potato"), r.output.find("west,ok,Potato") + 4) << r.output;
  EXPECT_NE(r.output.find("in.csv:2: profile \"north\" continues after other profiles; its rows "
                          "must be consecutive"),
            std::string::npos);
}

// Unreadable lines are counted, not kept, past the first thousand of a chunk.
TEST(BatchAttack, ManyUnreadableLinesStayInBoundedMemory) {
  TempDir dir;
  std::string csv = "profile,horizon,thickness,sand,clay,crop\n";
  for (int i = 0; i < 3000; ++i)
    csv += "\"closed\" too soon,1,30,40,20,Potato\n";
  csv += "a,1,50,40,20,Potato\n";
  dir.write("in.csv", csv);
  const Ran r = in_dir(dir, kRun + " in.csv");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("in.csv:3001: 2000 more unreadable lines up to this one"),
            std::string::npos)
      << r.output.substr(r.output.size() - 300);
  EXPECT_NE(r.output.find("a,ok,Potato"), std::string::npos);
}

// Root depth and tolerance given directly follow the window's rule; a result that is not a
// finite number is an error, never a blank cell of an "ok" row.
TEST(BatchAttack, RangesAndResultsThatAreNotNumbers) {
  struct Case {
    const char* row;
    const char* says;  // empty: computed
  } cases[] = {
      {"p,1,30,40,20,90,500,5", "drought tolerance \"500\" is not from 0 to 100 %"},
      {"p,1,30,40,20,90,-50,5", "drought tolerance \"-50\" is not from 0 to 100 %"},
      {"p,1,30,40,20,-1,50,5", "root depth \"-1\" is not 0 cm or more"},
      {"p,1,30,40,20,90,50,1e-44", "the results are beyond the numbers a result can hold"},
      {"p,1,30,40,20,0,100,5", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    TempDir dir;
    dir.write("in.csv", "profile,horizon,thickness,sand,clay,root_depth,tolerance,etc\n" +
                            std::string(c.row) + "\n");
    const Ran r = in_dir(dir, kRun + " in.csv");
    if (*c.says == '\0') {
      EXPECT_EQ(r.status, 0) << r.output;
      EXPECT_NE(r.output.find("p,ok,"), std::string::npos) << r.output;
    } else {
      EXPECT_EQ(r.status, 1) << r.output;
      EXPECT_NE(r.output.find("in.csv:2: " + std::string(c.says)), std::string::npos) << r.output;
      EXPECT_NE(r.output.find("p,error,"), std::string::npos) << r.output;
    }
  }
}

// Empty file names are usage errors, not aborts on an uncaught exception.
TEST(BatchAttack, EmptyPathsAreUsageErrors) {
  TempDir dir;
  struct Case {
    std::string command;
    const char* says;
  } cases[] = {
      {kRun + " --results x.csv ''", "an empty input file name"},
      {kRun + " ''", "an empty input file name"},
      {kRun + " --results= " + kFields, "--results needs a file name"},
      {kBatch + " --data '' " + kFields, "--data needs a folder"},
      {kTool + " " + kMeasured + " --output=", "--output needs a file"},
      {kTool + " ''", "an empty input file name"},
      {kTool + " -o '' " + kMeasured, "-o needs a file"},
  };
  for (const Case& c : cases) {
    const Ran r = in_dir(dir, c.command);
    EXPECT_EQ(r.status, 2) << c.command << "\n" << r.output;
    EXPECT_NE(r.output.find(c.says), std::string::npos) << c.command << "\n" << r.output;
  }
}

// Any signal that ends a run removes its temporary files first; a closed standard error (a
// reader that has gone) stops nothing.
TEST(BatchAttack, SignalsLeaveNoTemporaryFiles) {
  TempDir dir;
  std::string csv = "profile,horizon,thickness,sand,clay,crop\n";
  for (int p = 0; p < 40000; ++p)
    csv += "f" + std::to_string(p) + ",1,30," + std::to_string(20 + p % 60) + ",15,Potato\n";
  dir.write("in.csv", csv);
  for (const auto& [signal, status] :
       {std::pair{"USR1", 138}, {"ALRM", 142}, {"TERM", 143}, {"USR2", 140}, {"PROF", 155}}) {
    SCOPED_TRACE(signal);
    // Sent once the run has made its temporary file, so that it is surely still running.
    const Ran r = in_dir(dir, kRun +
                                  " --jobs 1 --results r.csv in.csv & run=$!; "
                                  "for i in $(seq 2000); do ls -a | grep -q partial && break; "
                                  "sleep 0.01; done; kill -" +
                                  std::string(signal) + " $run; wait $run; echo status $?");
    EXPECT_NE(r.output.find("status " + std::to_string(status)), std::string::npos) << r.output;
    EXPECT_EQ(leftovers(dir), 0U);
    EXPECT_FALSE(std::filesystem::exists(dir / "r.csv"));
  }
  // Standard error read by a reader that leaves after its first line: the run goes on.
  std::string bad = "profile,horizon,thickness,sand,clay,crop\n";
  for (int p = 0; p < 20000; ++p)
    bad += "b" + std::to_string(p) + ",9,30,40,20,Potato\n";
  dir.write("bad.csv", bad + csv.substr(csv.find('\n') + 1));
  const Ran result = in_dir(dir, "(" + kRun +
                                     " --results r.csv bad.csv 2>&1; echo status $? > "
                                     "st) | head -n 1 > /dev/null; cat st");
  EXPECT_EQ(result.output, "status 1\n");
  EXPECT_TRUE(std::filesystem::exists(dir / "r.csv"));
  EXPECT_EQ(leftovers(dir), 0U);
}

// Names from a hostile input: never a formula in the CSV outputs, always valid UTF-8 in the
// JSON, never a control sequence on the terminal, never reordered or past the margin on the page.
TEST(BatchAttack, HostileNamesInEveryOutput) {
  TempDir dir;
  const std::string long_name(400, 'n');
  dir.write("in.csv",
            "profile,horizon,thickness,sand,clay,crop\n"
            "=HYPERLINK(\"http://x\"),1,50,40,20,Potato\n"
            "bad \xFF byte,1,30,40,20,Potato\n"
            "\x1b[2Jred,7,30,40,20,Potato\n"
            "\xE2\x80\xAE"
            "evil,1,30,40,20,Potato\n" +
                long_name + ",1,30,40,20,Potato\n");
  const Ran r = in_dir(dir, kRun +
                                " --results r.csv --horizons h.csv --json r.json --report "
                                "r.pdf in.csv");
  EXPECT_EQ(r.status, 1) << r.output;  // the horizon 7 row
  EXPECT_EQ(r.output.find('\x1b'), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("in.csv:4: horizon"), std::string::npos) << r.output;
  const std::string results = read_all(dir / "r.csv");
  EXPECT_NE(results.find("\n\"'=HYPERLINK(\"\"http://x\"\")\",ok,"), std::string::npos) << results;
  EXPECT_NE(read_all(dir / "h.csv").find("\n\"'=HYPERLINK("), std::string::npos);
  const std::string json = read_all(dir / "r.json");
  EXPECT_EQ(valid_utf8(json), json);
  EXPECT_NE(json.find("\"bad \xEF\xBF\xBD byte\""), std::string::npos);
  EXPECT_NE(json.find("\"=HYPERLINK("), std::string::npos);  // JSON keeps the text
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) return;
  const Ran page = in_dir(dir, "pdftotext -layout r.pdf -");
  EXPECT_EQ(page.output.find("\xE2\x80\xAE"), std::string::npos);
  EXPECT_NE(page.output.find("Profile evil"), std::string::npos);
  EXPECT_EQ(page.output.find(long_name.substr(0, 200)), std::string::npos);  // cut short
  EXPECT_NE(page.output.find("nnn\xE2\x80\xA6"), std::string::npos);         // with an ellipsis
}

// A reference file cut short is read as the program reads it, but the tool says where it is
// short and marks each profile whose estimate rests on a short reference profile; where the
// file ends inside a profile, every profile, for every estimate lacks what was cut off.
TEST(BatchAttack, ShortReferenceFilesAreNamed) {
  // Three reference profiles of one composition: every estimate rests on all three.
  std::string profile[3];
  for (int k = 0; k < 3; ++k) {
    profile[k] = testing::profile_header(k + 1);
    for (int j = 1; j <= 20; ++j)
      profile[k] += testing::layer_line(1.3, 45.0, 8.0, 0.05, 1.5, 20.0, 40.0);
  }
  const std::string whole = profile[0] + profile[1] + profile[2];
  const std::string layer = testing::layer_line(1.3, 45.0, 8.0, 0.05, 1.5, 20.0, 40.0);
  const auto cut_after_lines = [&](int lines) {
    std::size_t at = 0;
    for (int i = 0; i < lines; ++i)
      at = whole.find('\n', at) + 1;
    return whole.substr(0, at);
  };
  struct Case {
    std::string file;
    const char* says;  // on standard error, after "Soil_WRC.csv:"
    bool warning;      // the profile computed on it is a warning
    bool cut;          // because the file ends early
  } cases[] = {
      {cut_after_lines(46 + 10), "56: reference profile 3 ends after 7 of its 20 layers", true,
       true},
      {cut_after_lines(46 + 22), "68: reference profile 3 ends after 19 of its 20 layers", true,
       true},
      {cut_after_lines(46 + 23) + "Profile 4\n",
       "70: the file ends inside the header of reference "
       "profile 4, which is not used",
       true, true},
      {cut_after_lines(46 + 23) + "Profile 4\nsite\n", "71: the file ends inside the header", true,
       true},
      {whole.substr(0, whole.size() - 20), "69: layer 20 of reference profile 3 has", true, false},
      {profile[0] + profile[1] + profile[2].substr(0, profile[2].find(layer)) + "1.3,Ap,45,8\n" +
           profile[2].substr(profile[2].find(layer) + layer.size()),
       "50: layer 1 of reference profile 3 has 4 of its 13 columns", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.says);
    TempDir dir;
    for (const char* name : {"fao-crop_databse.csv", "Soil_texture_default.csv"})
      std::filesystem::copy_file(std::filesystem::path(kReference) / name, dir / name);
    dir.write("Soil_WRC.csv", c.file);
    dir.write("in.csv",
              "profile,horizon,thickness,sand,clay,root_depth,tolerance\np,1,20,40,20,20,35\n");
    const Ran r = in_dir(dir, kBatch + " --quiet --data . in.csv");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("Soil_WRC.csv:" + std::string(c.says)), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("p,warning,") != std::string::npos, c.warning) << r.output;
    EXPECT_EQ(r.output.find("Soil_WRC.csv ends early, at line ") != std::string::npos, c.cut)
        << r.output;
    if (c.warning && !c.cut) {
      EXPECT_NE(r.output.find("horizon 1 rests on a short reference profile: "), std::string::npos)
          << r.output;
    }
  }
  TempDir dir;  // the whole file: no word about it
  for (const char* name : {"fao-crop_databse.csv", "Soil_texture_default.csv"})
    std::filesystem::copy_file(std::filesystem::path(kReference) / name, dir / name);
  dir.write("Soil_WRC.csv", whole);
  dir.write("in.csv",
            "profile,horizon,thickness,sand,clay,root_depth,tolerance\np,1,20,40,20,20,35\n");
  const Ran r = in_dir(dir, kBatch + " --quiet --data . in.csv");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.output.find("Soil_WRC.csv"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("p,ok,"), std::string::npos) << r.output;
}

}  // namespace
}  // namespace vantrel
