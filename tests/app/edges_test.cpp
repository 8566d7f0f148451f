// The edges of files and processes, through the program's own session binary: trace pairs cut
// by a size limit, reference files that are not files, trace files that are FIFOs.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "support/child_process.hpp"
#include "support/session.hpp"

namespace vantrel {
namespace {

using testing::read_all;
using testing::TempDir;

const std::string kScript = VANTREL_SCRIPT;

struct Ran {
  int status = -1;
  std::string out;
};

// Runs a bash command line in the folder; its standard output and error are captured.
Ran bash_in(const TempDir& dir, const std::string& command) {
  const std::string line =
      "cd '" + dir.path().string() + "' && timeout 20 bash -c '" + command + "' > out.txt 2>&1";
  const int raw = std::system(line.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_all(dir / "out.txt")};
}

constexpr const char* kCalculate = "printf \"choose 1011 1\\nclick 30002\\nclick 30002\\n\"";

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    ++n;
  return n;
}

// With room for one line but not two before the file-size limit, a calculation adds neither,
// the program is not killed by SIGXFSZ, and the message that nothing was recorded is true.
TEST(TraceEdges, ACalculationAddsBothLinesOrNeither) {
  struct Case {
    std::size_t before;  // bytes in the trace file before the run; the limit is 1024
    std::size_t after;
    std::size_t messages;
  } cases[] = {
      {1024 - 21, 1024 - 21, 1},  // one line would fit: neither goes
      {1024 - 42, 1024, 1},       // the first pair fits, the second not
      {1024, 1024, 1},            // at the limit
      {0, 84, 0},                 // room for both pairs
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.before);
    TempDir dir;
    testing::copy_reference_files(dir.path());
    dir.write("trace", std::string(c.before, 'x'));
    const Ran r =
        bash_in(dir, "ulimit -f 1; " + std::string(kCalculate) + " | FORT99=trace " + kScript);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(std::filesystem::file_size(dir / "trace"), c.after);
    EXPECT_EQ(count(r.out, "could not be written"), c.messages) << r.out;
    EXPECT_EQ(count(r.out, "not recorded"), c.messages);
  }
}

TEST(TraceEdges, AFifoNeverFreezesOrKillsTheProgram) {
  TempDir dir;
  testing::copy_reference_files(dir.path());
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
  // No reader: the open fails at once instead of waiting for one.
  Ran r = bash_in(dir, std::string(kCalculate) + " | FORT99=fifo " + kScript);
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(count(r.out, "could not be written"), 1U) << r.out;
  // A reader that goes away after the first calculation: EPIPE, not SIGPIPE. Each step waits
  // for the one before: the reader is there before the run, the first pair has reached it
  // before it goes, and the second calculation comes only after it has gone.
  const int reader = ::open((dir / "fifo").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  testing::ChildProcess script(kScript, dir.path(), {"FORT99=fifo"});
  ASSERT_TRUE(script.started());
  script.send("choose 1011 1\nclick 30002\ntext 1069\n");
  ASSERT_TRUE(script.wait_for("1069|")) << script.output();
  char pair[64];
  EXPECT_EQ(::read(reader, pair, sizeof pair), 42);  // both lines of the first calculation
  ::close(reader);
  script.send("click 30002\ntext 1069\n");
  script.close_input();
  EXPECT_EQ(script.finish(), 0) << script.output();  // not killed by SIGPIPE
  EXPECT_EQ(count(script.output(), "could not be written"), 1U) << script.output();
  EXPECT_EQ(count(script.output(), "1069|"), 2U) << script.output();
  // The null device is a trace file like any other.
  r = bash_in(dir, std::string(kCalculate) + " | FORT99=/dev/null " + kScript);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
}

TEST(ReferenceEdges, OnlyRegularFilesAreRead) {
  struct Case {
    const char* file;
    const char* make;  // a shell command that puts something else in its place
    const char* says;
  } cases[] = {
      {"Soil_WRC.csv", "rm Soil_WRC.csv; ln -s /dev/zero Soil_WRC.csv", "it is not a regular file"},
      {"fao-crop_databse.csv", "rm fao-crop_databse.csv; mkfifo fao-crop_databse.csv",
       "it is not a regular file"},
      {"Soil_texture_default.csv", "rm Soil_texture_default.csv; mkdir Soil_texture_default.csv",
       "it is a folder"},
      {"Soil_WRC.csv", "mv Soil_WRC.csv real.csv; ln -s real.csv Soil_WRC.csv", ""},  // a link
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.make);
    TempDir dir;
    testing::copy_reference_files(dir.path());
    const Ran r = bash_in(dir, std::string(c.make) + "; printf \"\" | FORT99=/dev/null " + kScript);
    if (*c.says == '\0') {
      EXPECT_EQ(r.status, 0) << r.out;
      continue;
    }
    EXPECT_EQ(r.status, 1) << r.out;  // stopped at once: not the timeout's 124
    EXPECT_NE(r.out.find(std::string("cannot open file ") + c.file + " on unit 41: " + c.says),
              std::string::npos)
        << r.out;
  }
}

}  // namespace
}  // namespace vantrel
