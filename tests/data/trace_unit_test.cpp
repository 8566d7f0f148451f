#include "data/trace_unit.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "support/temp_dir.hpp"

namespace vantrel {
namespace {

using testing::read_all;
using testing::TempDir;

TEST(SideUnitPath, EnvironmentNamesTheFile) {
  EXPECT_EQ(TraceUnit::path_for_unit(99, nullptr), "fort.99");
  EXPECT_EQ(TraceUnit::path_for_unit(99, ""), "fort.99");
  EXPECT_EQ(TraceUnit::path_for_unit(7, nullptr), "fort.7");
  EXPECT_EQ(TraceUnit::path_for_unit(99, "/tmp/trace.txt"), "/tmp/trace.txt");
}

TEST(SideUnitPath, FromEnvironmentReadsFort99) {
  TempDir dir;
  const auto target = dir / "trace.txt";
  ::setenv("FORT99", target.c_str(), 1);
  const TraceUnit unit = TraceUnit::from_environment();
  ::unsetenv("FORT99");
  EXPECT_EQ(unit.path(), target);
}

TEST(TraceUnit, ConnectsOnFirstWriteAndAppendsWholeLines) {
  TempDir dir;
  const auto path = dir / "fort.99";
  {
    TraceUnit unit(path);
    EXPECT_FALSE(std::filesystem::exists(path));  // nothing written, nothing created
    EXPECT_TRUE(unit.write_line("   60.0             "));
    EXPECT_TRUE(unit.connected());
    // Flushed at once: another reader sees the line while the unit is still open.
    EXPECT_EQ(read_all(path), "   60.0             \n");
  }
  TraceUnit next_run(path);
  EXPECT_TRUE(next_run.write_line("second run"));
  EXPECT_EQ(read_all(path), "   60.0             \nsecond run\n");
  EXPECT_EQ(next_run.failures(), 0);
}

TEST(TraceUnit, FailureIsReportedAndTheProgramGoesOn) {
  TempDir dir;
  TraceUnit in_missing_folder(dir / "no" / "such" / "fort.99");
  EXPECT_FALSE(in_missing_folder.write_line("x"));
  EXPECT_FALSE(in_missing_folder.write_line("y"));
  EXPECT_EQ(in_missing_folder.failures(), 2);

  std::filesystem::create_directory(dir / "folder");
  TraceUnit at_folder(dir / "folder");
  EXPECT_FALSE(at_folder.write_line("x"));

  // Once the folder exists the unit connects after all.
  std::filesystem::create_directories(dir / "no" / "such");
  EXPECT_TRUE(in_missing_folder.write_line("z"));
  EXPECT_EQ(read_all(dir / "no" / "such" / "fort.99"), "z\n");
}

TEST(TraceUnit, FullDiskLosesNoEarlierLine) {
  // /dev/full accepts opening and fails every write with ENOSPC.
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  TraceUnit full("/dev/full");
  EXPECT_FALSE(full.write_line("line"));
  EXPECT_EQ(full.failures(), 1);
}

TEST(TraceUnit, ReadOnlyFileIsAFailure) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes read-only files";
  TempDir dir;
  const auto path = dir.write("fort.99", "kept\n");
  ::chmod(path.c_str(), 0444);
  TraceUnit unit(path);
  EXPECT_FALSE(unit.write_line("x"));
  EXPECT_EQ(read_all(path), "kept\n");
}

}  // namespace
}  // namespace vantrel
