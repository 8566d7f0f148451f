// vantrel-batch: bad input, stream order over several threads, whole outputs, the command line
// and the report.
#include "batch/batch_run.hpp"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>

#include "data/csv_reader.hpp"
#include "data/reference_file.hpp"
#include "support/batch_tables.hpp"
#include "support/temp_dir.hpp"

namespace vantrel {
namespace {

using testing::TempDir;

using testing::bundled_tables;
using testing::kBundled;

struct Outcome {
  int status = -1;
  std::string out, errors;
};

Outcome run(const TempDir& dir, const std::string& csv, int jobs = 2,
            const std::function<void(BatchSettings&)>& adjust = {}) {
  BatchSettings settings;
  settings.input = dir.write("in.csv", csv);
  settings.jobs = jobs;
  if (adjust) adjust(settings);
  std::ostringstream out, errors;
  Outcome r;
  r.status = run_batch(settings, *bundled_tables().curves, *bundled_tables().crops, out, errors);
  r.out = out.str();
  r.errors = errors.str();
  return r;
}

// Each bad input: the row's error on the error stream, its profile an error, the good profile
// after it still computed.
TEST(BatchInput, EveryBadRowIsNamedAndTheOthersAreComputed) {
  const std::string header =
      "profile,horizon,thickness,sand,clay,stones,crop,root_depth,tolerance\n";
  const std::string good = "good,1,50,40,20,0,Potato,,\n";
  struct Case {
    const char* rows;
    const char* error;  // what the error stream must say, after "in.csv:"
  } cases[] = {
      {"bad,1,30,4o,20,0,Potato,,\n", "2: sand \"4o\" is not a number"},
      {"bad,1,30,12/5,20,0,Potato,,\n", "2: sand \"12/5\" is not a number"},
      {"bad,1,30,12 5,20,0,Potato,,\n", "2: sand \"12 5\" is not a number"},
      {"bad,6,30,40,20,0,Potato,,\n", "2: horizon \"6\" is not a whole number from 1 to 5"},
      {"bad,2.5,30,40,20,0,Potato,,\n", "2: horizon \"2.5\" is not a whole number from 1 to 5"},
      {"bad,0,30,40,20,0,Potato,,\n", "2: horizon \"0\" is not a whole number"},
      {"bad,1,0,40,20,0,Potato,,\n", "2: thickness \"0\" is not above 0 cm"},
      {"bad,1,30,70,40,0,Potato,,\n", "2: sand \"70\" and clay \"40\" add up to more than 100 %"},
      {"bad,1,30,-1,20,0,Potato,,\n", "2: sand \"-1\" is not from 0 to 100 %"},
      {"bad,1,30,40,20,100.5,Potato,,\n", "2: stones \"100.5\" is not from 0 to 100 %"},
      {"bad,1,-5,40,20,0,Potato,,\n", "2: thickness \"-5\" is not above 0 cm"},
      {"bad,1,30,40,20,0,,90,150\n", "2: drought tolerance \"150\" is not from 0 to 100 %"},
      {"bad,1,30,40,20,0,,-1,50\n", "2: root depth \"-1\" is not 0 cm or more"},
      {"bad,1,30,40,20,0,Cassava root,,\n", "2: unknown crop \"Cassava root\""},
      {"bad,1,30,40\n", "2: 4 fields where the header has 9"},
      {"bad,1,30,40,20,0,Potato,,,\n", "2: 10 fields where the header has 9"},
      {"bad,1,25,5,40,20,0,Potato,,\n",
       "2: 10 fields where the header has 9 (a decimal comma in a file that commas separate?)"},
      {"bad,1,30,,20,0,Potato,,\n", "2: no sand given"},
      {"bad,1,30,40,20,0,Potato,,\nbad,2,30,40,20,0,Cabbage,,\n",
       "3: crop \"Cabbage\" disagrees with \"Potato\" given on line 2"},
      {"bad,1,30,40,20,0,,90,\n", "2: root_depth and tolerance must both be given"},
      {"bad,1,30,40,20,0,,,\n", "2: profile \"bad\" has no crop and no root_depth and tolerance"},
      {"bad,1,30,40,20,0,Potato,90,50\n", "2: give either a crop or root_depth and tolerance"},
      {"bad,1,30,40,20,0,Potato,,\nother,1,30,40,20,0,Potato,,\nbad,2,30,40,20,0,,,\n",
       "4: profile \"bad\" continues after other profiles; its rows began on line 2"},
      {"bad,1,30,40,20,0,Potato,,\nother,1,30,40,20,0,Potato,,\nbad,2,30,40,20,0,,,\n",
       "2: profile \"bad\" continues after other profiles; its rows must be consecutive"},
      {",1,30,40,20,0,Potato,,\n", "2: no profile name"},
      {"bad,1,30,\"40\"0,20,0,Potato,,\n", "2: text after the closing quote of a field"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rows);
    TempDir dir;
    const Outcome r = run(dir, header + c.rows + good);
    EXPECT_EQ(r.status, kExitFailed);
    EXPECT_NE(r.errors.find((dir / "in.csv").string() + ":" + c.error), std::string::npos)
        << r.errors;
    EXPECT_NE(r.out.find("\ngood,ok,Potato,40,35,"), std::string::npos) << r.out;
  }
}

TEST(BatchInput, UnusableHeadersAreUsageErrors) {
  struct Case {
    const char* csv;
    const char* error;
  } cases[] = {
      {"", "1: no header row"},
      {"# only a comment\n", "1: no header row"},
      {"profile,horizon,thickness,sand,crop\n", "1: no column \"clay\" in the header"},
      {"profile,horizon,thickness,sand,clay\n", "1: no column \"crop\", nor"},
      {"profile,horizon,thickness,sand,clay,root_depth\n", "come together"},
      {"profile,horizon,thickness,sand,clay,crop,sand\n", "column \"sand\" is named twice"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.csv);
    TempDir dir;
    const Outcome r = run(dir, c.csv);
    EXPECT_EQ(r.status, kExitUsage);
    EXPECT_NE(r.errors.find(c.error), std::string::npos) << r.errors;
  }
}

TEST(BatchInput, ByteOrderMarkLineEndsCommentsAndQuotes) {
  TempDir dir;
  const Outcome r = run(dir,
                        "\xEF\xBB\xBFhorizon,profile,sand,clay,thickness,crop,notes,remarks\r\n"
                        "# a comment\r\n\r\n"
                        "1,\"Field, north\",40,20,50,Potato,\"said \"\"dry\"\"\",x\r\n");
  EXPECT_EQ(r.status, kExitOk) << r.errors;
  EXPECT_NE(r.errors.find("column \"remarks\" is not used"), std::string::npos);
  EXPECT_NE(r.out.find("\n\"Field, north\",ok,Potato,40,35,"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(",\"said \"\"dry\"\"\","), std::string::npos) << r.out;
}

TEST(BatchInput, OverlongLinesAreRefusedWithoutKeepingThem) {
  TempDir dir;
  const std::string huge(1'000'000, 'x');
  const Outcome r =
      run(dir, "profile,horizon,thickness,sand,clay,crop\n" + huge + "\ngood,1,50,40,20,Potato\n");
  EXPECT_EQ(r.status, kExitFailed);
  EXPECT_NE(r.errors.find(":2: line longer than 4096 characters"), std::string::npos);
  EXPECT_NE(r.out.find("\ngood,ok,"), std::string::npos);
}

TEST(BatchStream, SeveralJobsKeepTheInputOrder) {
  std::string csv = "profile,horizon,thickness,sand,clay,stones,root_depth,tolerance,etc\n";
  for (int p = 0; p < 700; ++p) {
    for (int h = 1; h <= 1 + p % 4; ++h) {
      csv += "field " + std::to_string(p) + ',' + std::to_string(h) + ',' +
             std::to_string(10 + (p * 7 + h) % 50) + ',' + std::to_string((p * 13 + h * 5) % 70) +
             ',' + std::to_string((p * 3 + h) % 30) + ",0," + std::to_string(20 + p % 150) +
             ",50,4\n";
    }
    if (p % 97 == 5) csv += "field " + std::to_string(p) + ",9,10,40,20,0,,,\n";  // an error
  }
  TempDir one_dir, many_dir;
  const Outcome one = run(one_dir, csv, 1);
  const Outcome many = run(many_dir, csv, 4);
  EXPECT_EQ(one.status, kExitFailed);
  EXPECT_EQ(many.out, one.out);
  EXPECT_EQ(many.errors.size(), one.errors.size());
  std::istringstream lines(many.out);
  std::string line;
  std::getline(lines, line);
  for (int p = 0; p < 700; ++p) {
    ASSERT_TRUE(std::getline(lines, line));
    ASSERT_EQ(line.rfind("field " + std::to_string(p) + ",", 0), 0U) << line;
  }
}

// The jobs read and compute while the split profiles are still being found: the parts read
// before are put right before any is written, so every number of jobs gives the same bytes.
TEST(BatchStream, SplitProfilesAreErrorsWhateverTheJobsRead) {
  std::string csv = "profile,horizon,thickness,sand,clay,crop\n";
  const auto add = [&](int p, int h) {
    csv += "field " + std::to_string(p) + ',' + std::to_string(h) + ",20," +
           std::to_string(10 + p % 70) + ",15," + (h == 1 ? "Potato" : "") + "\n";
  };
  for (int p = 0; p < 3000; ++p) {
    add(p, 1);
    if (p == 2) add(2500, 2);  // begun early, in the first chunk
  }
  add(0, 2);  // the first profile, again at the end
  TempDir dirs[3];
  std::vector<Outcome> runs;
  for (int jobs = 1; jobs <= 3; ++jobs)
    runs.push_back(
        run(dirs[jobs - 1], csv, jobs, [](BatchSettings& s) { s.input_name = "in.csv"; }));
  for (const Outcome& r : runs) {
    EXPECT_EQ(r.status, kExitFailed);
    EXPECT_EQ(r.out, runs[0].out);
    EXPECT_EQ(r.errors, runs[0].errors);
  }
  EXPECT_NE(runs[0].out.find("\nfield 0,error,"), std::string::npos);
  EXPECT_NE(runs[0].out.find("\nfield 2500,error,"), std::string::npos);
  EXPECT_NE(runs[0].out.find("\nfield 1,warning,"), std::string::npos);  // roots below 20 cm
  EXPECT_NE(runs[0].errors.find("in.csv:5: profile \"field 2500\" continues after other profiles; "
                                "its rows must be consecutive"),
            std::string::npos)
      << runs[0].errors.substr(0, 400);
}

TEST(BatchOutputs, AppearWholeOrNotAtAll) {
  TempDir dir;
  const std::string csv = "profile,horizon,thickness,sand,clay,crop\na,1,50,40,20,Potato\n";
  const Outcome written = run(dir, csv, 2, [&](BatchSettings& s) {
    s.results = dir / "r.csv";
    s.horizons = dir / "h.csv";
    s.json = dir / "r.json";
  });
  EXPECT_EQ(written.status, kExitOk);
  EXPECT_EQ(written.out, "");
  EXPECT_NE(testing::read_all(dir / "r.json").find("\"profile\": \"a\""), std::string::npos);
  EXPECT_EQ(testing::read_all(dir / "h.csv").substr(0, 16), "profile,horizon,");
  std::size_t leftovers = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    leftovers += e.path().filename().string().front() == '.' ? 1 : 0;
  EXPECT_EQ(leftovers, 0U);

  const Outcome refused =
      run(dir, csv, 2, [&](BatchSettings& s) { s.results = dir / "no" / "r.csv"; });
  EXPECT_EQ(refused.status, kExitUsage);
  EXPECT_NE(refused.errors.find("r.csv: cannot write"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}

// The command line, the reference files and the report, through the program itself.
std::string command_output(const std::string& command, int& status) {
  std::string output;
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return output;
  char buffer[4096];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
    output.append(buffer, n);
  status = WEXITSTATUS(::pclose(pipe));
  return output;
}

TEST(BatchCommand, OptionsAndReferenceFiles) {
  TempDir dir;
  const std::string batch = VANTREL_BATCH;
  const auto input =
      dir.write("in.csv", "profile,horizon,thickness,sand,clay,crop\na,1,50,40,20,Potato\n");
  const std::string data = " --data " + kBundled.string() + " ";
  struct Case {
    std::string args;
    int status;
    const char* says;
  } cases[] = {
      {"--version", 0, "vantrel-batch 1.5.3"},
      {"--help", 0, "Usage: vantrel-batch"},
      {"--frobnicate " + input.string(), 2, "unknown option --frobnicate"},
      {"", 2, "no input file"},
      {"--jobs 0 " + input.string(), 2, "--jobs needs a whole number"},
      // Field capacity at or beyond the stress point would make RAW negative.
      {data + "--fc-suction 100 " + input.string(), 2,
       "--fc-suction needs a suction in kPa from 1 to below the 100 kPa stress point, not \"100\""},
      {data + "--fc-suction 150 " + input.string(), 2, "below the 100 kPa stress point"},
      {data + "--fc-suction 99.9 " + input.string(), 0, "a,ok,Potato,40,35,"},
      {data + (dir / "missing.csv").string(), 2, "missing.csv: cannot read: no such file"},
      {data + dir.path().string(), 2, "not a regular file"},
      {"--data " + dir.path().string() + " " + input.string(), 2,
       "Soil_WRC.csv: cannot read the reference file: no such file"},
      {data + "--results " + input.string() + " " + input.string(), 2, "over the input file"},
      {data + "--json " + (kBundled / "Soil_WRC.csv").string() + " " + input.string(), 2,
       "over the reference file"},
      {data + "--json x.json --results=x.json " + input.string(), 2, "named for two outputs"},
      {data + input.string(), 0, "a,ok,Potato,40,35,"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    int status = -1;
    const std::string out =
        command_output("cd " + dir.path().string() + " && " + batch + " " + c.args, status);
    EXPECT_EQ(status, c.status) << out;
    EXPECT_NE(out.find(c.says), std::string::npos) << out;
  }
  // A damaged reference file is named, and the run stops before any output.
  TempDir damaged;
  for (const char* name : {kRetentionFileName, kCropFileName, kTextureFileName})
    std::filesystem::copy_file(kBundled / name, damaged / name);
  damaged.write(kCropFileName, "only one line\n");
  int status = -1;
  const std::string out =
      command_output(batch + " --data " + damaged.path().string() + " --results " +
                         (dir / "r.csv").string() + " " + input.string(),
                     status);
  EXPECT_EQ(status, 2);
  EXPECT_NE(out.find(kCropFileName), std::string::npos) << out;
  EXPECT_FALSE(std::filesystem::exists(dir / "r.csv"));
}

TEST(BatchReport, OnePagePerProfileWithItsNumbers) {
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  }
  TempDir dir;
  const auto input = dir.write("in.csv",
                               "profile,horizon,thickness,sand,clay,stones,crop,etc\n"
                               "North meadow,1,25,40,20,0,Maize grain,5.5\n"
                               "North meadow,2,35,35,28,5,,\n"
                               "River plot,1,20,70,8,0,Potato,4.5\n"
                               "bad one,7,20,70,8,0,Potato,4.5\n");
  int status = -1;
  const std::string ran =
      command_output(std::string(VANTREL_BATCH) + " --data " + kBundled.string() + " --report " +
                         (dir / "r.pdf").string() + " " + input.string(),
                     status);
  EXPECT_EQ(status, 1) << ran;
  const std::string info = command_output("pdfinfo " + (dir / "r.pdf").string(), status);
  EXPECT_NE(info.find("Pages:           4\n"), std::string::npos) << info;  // and a summary
  const std::string page =
      command_output("pdftotext -layout -f 3 -l 3 " + (dir / "r.pdf").string() + " -", status);
  for (const char* expected : {"Profile River plot", "Crop: Potato", "sandy loam", "TAW",
                               "Refill level", "Water retention", "root depth 40.0 cm"}) {
    EXPECT_NE(page.find(expected), std::string::npos) << expected << "\n" << page;
  }
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

TEST(ReferenceCommand, OptionsStatusesAndWholeOutput) {
  TempDir dir;
  const std::string tool = VANTREL_REFERENCE_TOOL;
  const std::filesystem::path example = std::filesystem::path(VANTREL_EXAMPLES) / "measured.csv";
  const auto bad = dir.write("bad.csv",
                             "profile,top_cm,bottom_cm,sand,clay,density,suction_kpa,theta_pct\n"
                             "p,0,30,40,20,1.4,10,30\np,0,30,40,20,1.4,100,20\n");
  // p reaches only the wet end; q is whole.
  const auto partial =
      dir.write("partial.csv",
                "profile,top_cm,bottom_cm,sand,clay,density,suction_kpa,theta_pct\n"
                "p,0,30,42,18,1.38,1,43.1\np,0,30,42,18,1.38,3,41.8\n"
                "p,0,30,42,18,1.38,10,34.8\np,0,30,42,18,1.38,33,25.7\n"
                "p,0,30,42,18,1.38,100,18.2\n"
                "q,0,30,42,18,1.38,1,43.1\nq,0,30,42,18,1.38,10,34.8\n"
                "q,0,30,42,18,1.38,33,25.7\nq,0,30,42,18,1.38,300,13.0\n"
                "q,0,30,42,18,1.38,1500,9.7\n");
  struct Case {
    std::string args;
    int status;
    std::string says;
  } cases[] = {
      {partial.string() + " -o " + (dir / "whole_only.csv").string(), 1,
       "partial.csv:2: sample p 0-30 cm: no point at 500 kPa or drier; a curve from one side is "
       "a guess"},
      {partial.string() + " --allow-partial -o " + (dir / "with_partial.csv").string(), 1,
       "partial.csv:2: sample p 0-30 cm: no point at 500 kPa or drier; fitted all the same"},
      {"--version", 0, "vantrel-reference 1.5.3"},
      {"--help", 0, "Usage: vantrel-reference MEASURED.csv"},
      {"--frobnicate", 2, "unknown option --frobnicate"},
      {"", 2, "no input file"},
      {(dir / "none.csv").string(), 2, "none.csv: cannot read: no such file"},
      {example.string() + " -o " + example.string(), 2, "over the input file"},
      {example.string() + " -o " + (dir / "no" / "x.csv").string(), 2, "cannot write"},
      {bad.string() + " -o " + (dir / "bad_out.csv").string(), 1,
       "bad.csv:2: sample p 0-30 cm has 2 points at 2 suction(s); a curve of four parameters "
       "needs at least 4 suctions"},
      {example.string() + " -o " + (dir / "Soil_WRC.csv").string(), 0,
       "wrote 3 profile(s) from 7 sample(s)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    int status = -1;
    const std::string out = command_output(tool + " " + c.args, status);
    EXPECT_EQ(status, c.status) << out;
    EXPECT_NE(out.find(c.says), std::string::npos) << out;
  }
  // A run that leaves no profile writes no file; a partial sample is named in the file.
  EXPECT_FALSE(std::filesystem::exists(dir / "bad_out.csv"));
  EXPECT_FALSE(std::filesystem::exists(dir / "no"));
  const std::string whole_only = testing::read_all(dir / "whole_only.csv");
  const std::string with_partial = testing::read_all(dir / "with_partial.csv");
  EXPECT_NE(whole_only.find(": q, 1 measured"), std::string::npos) << whole_only;
  EXPECT_EQ(whole_only.find(": p, 1 measured"), std::string::npos) << whole_only;
  EXPECT_NE(with_partial.find("PARTIAL, no point at 500 kPa or drier: 0-30 cm"), std::string::npos)
      << with_partial;
  // What it wrote loads in the program without a warning.
  auto curves = std::make_unique<RetentionCurves>();
  std::ostringstream warnings;
  load_retention_curves(dir / "Soil_WRC.csv", *curves, warnings);
  EXPECT_EQ(curves->profile_count, 3);
  EXPECT_EQ(warnings.str(), "");
  // Nothing half-written is left beside the outputs.
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    EXPECT_NE(e.path().filename().string().front(), '.') << e.path();
}

}  // namespace
}  // namespace vantrel
