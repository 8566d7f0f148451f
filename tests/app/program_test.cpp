// The two executables as a user starts them: their files, their statuses and their reports.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "support/session.hpp"

namespace vantrel {
namespace {

using testing::read_all;
using testing::TempDir;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs a command in the folder with the script on its standard input.
Outcome run_in(const TempDir& dir, const std::string& command, const std::string& script = "",
               const std::string& environment = "") {
  dir.write("script.txt", script);
  const std::string line = "cd '" + dir.path().string() + "' && " + environment + " " + command +
                           " < script.txt > out.txt 2> err.txt";
  const int raw = std::system(line.c_str());
  Outcome r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = read_all(dir / "out.txt");
  r.err = read_all(dir / "err.txt");
  return r;
}

const std::string kScript = VANTREL_SCRIPT;
const std::string kProgram = VANTREL_PROGRAM;

TEST(ScriptCommand, ASessionOnTheBundledFiles) {
  TempDir dir;
  testing::copy_reference_files(dir.path());
  const Outcome r = run_in(dir, kScript,
                           "text 1057\nclick 1010\ntext 1013\nchoose 1011 1\nclick 30002\n"
                           "text 1069\nclick 30001\ntext 1008\n",
                           "FORT99=trace.txt");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.substr(0, 43), "1057|loam|\n1013|loam                |\n1069|");
  EXPECT_EQ(read_all(dir / "trace.txt").size(), 42U);  // two lines of 20 characters
  EXPECT_FALSE(std::filesystem::exists(dir / "fort.99"));
}

// Help and version answer at once, in a folder without reference files, and start nothing;
// any other argument is a usage error (vantrel itself ignores its command line).
TEST(ScriptCommand, HelpVersionAndUnknownArguments) {
  struct Case {
    const char* arguments;
    int status;
    const char* out;  // what standard output starts with
    const char* err;
  } cases[] = {
      {"--help", 0, "usage: vantrel-script < SCRIPT\n", ""},
      {"-h", 0, "usage: vantrel-script < SCRIPT\n", ""},
      {"--version", 0, "vantrel-script 1.5.3\n", ""},
      {"--verbose", 2, "", "vantrel-script: unknown argument --verbose (see --help)\n"},
      {"--help --version", 2, "", "vantrel-script: unknown argument --help (see --help)\n"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const Outcome r = run_in(dir, kScript + " " + c.arguments, "click 30002\n");
    EXPECT_EQ(r.status, c.status) << c.arguments;
    EXPECT_EQ(r.out.substr(0, std::string(c.out).size()), c.out) << c.arguments;
    EXPECT_EQ(r.err, c.err) << c.arguments;
    EXPECT_FALSE(std::filesystem::exists(dir / kCropFileName)) << c.arguments;  // no start
  }
}

TEST(ScriptCommand, TraceLinesOfEarlierRunsAreKept) {
  TempDir dir;
  testing::copy_reference_files(dir.path());
  dir.write("fort.99", "an earlier line\n");
  run_in(dir, kScript, "choose 1011 1\nclick 30002\n");
  const std::string trace = read_all(dir / "fort.99");
  EXPECT_EQ(trace.substr(0, 16), "an earlier line\n");
  EXPECT_EQ(trace.size(), 16U + 42U);
}

TEST(ScriptCommand, MissingFilesStopWithAReportNamingTheFolder) {
  TempDir dir;
  const Outcome r = run_in(dir, kScript);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("end-of-file during read, unit 41, file fao-crop_databse.csv"),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find(std::filesystem::canonical(dir.path()).string()), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(dir / "Soil_WRC.csv"));  // created empty
  EXPECT_EQ(std::filesystem::file_size(dir / "Soil_WRC.csv"), 0U);
  EXPECT_FALSE(std::filesystem::exists(dir / "Soil_texture_default.csv"));  // never reached
}

TEST(ScriptCommand, ShortTextureFileAndBadNumbers) {
  TempDir dir;
  testing::copy_reference_files(dir.path());
  dir.write("Soil_texture_default.csv", "one\ntwo\n");
  Outcome r = run_in(dir, kScript);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("file Soil_texture_default.csv"), std::string::npos);

  TempDir bad;
  testing::copy_reference_files(bad.path());
  bad.write("Soil_WRC.csv", "a\nb\nc\n1.3,Ap,45,5,0.1,2,0.5,1,1,1,1,twenty,40\n");
  r = run_in(bad, kScript);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("line 4"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("\"twenty\""), std::string::npos) << r.err;
}

TEST(ScriptCommand, CropFileWithOnlyItsHeader) {
  TempDir dir;
  testing::copy_reference_files(dir.path());
  dir.write("fao-crop_databse.csv", "1\n2\n3\n4\n");
  const Outcome r = run_in(dir, kScript, "entries 1011\nentries 1012\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "1011 0\n1012 12\n");
}

TEST(ScriptCommand, MalformedLineNamesTheLine) {
  TempDir dir;
  testing::copy_reference_files(dir.path());
  const Outcome r = run_in(dir, kScript, "text 1008\nfly 1008\ntext 1008\n");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "1008|40.0|\n");
  EXPECT_NE(r.err.find("line 2"), std::string::npos);
}

TEST(Program, WithoutADisplayFailsCleanly) {
  TempDir dir;
  testing::copy_reference_files(dir.path());
  const Outcome r = run_in(dir, "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + kProgram);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Error initializing application vantrel"), std::string::npos) << r.err;
}

TEST(Program, UnreachableDisplayFailsCleanly) {
  TempDir dir;
  testing::copy_reference_files(dir.path());
  // A socket path in this test's own new folder: no display can be there, on any machine.
  const std::string display = (dir / "no-such-display").string() + ":0";
  const Outcome r =
      run_in(dir, "timeout 30 env -u QT_QPA_PLATFORM DISPLAY='" + display + "' " + kProgram);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Error initializing application vantrel"), std::string::npos) << r.err;
}

TEST(Program, FatalStopWithoutADisplayReportsOnStandardError) {
  TempDir dir;
  const Outcome r = run_in(dir, "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + kProgram);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("end-of-file during read, unit 41"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace vantrel
