#include "cli/command_line.hpp"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace vantrel {
namespace {

constexpr std::array<OptionSpec, 3> kOptions = {
    {{"--results", 0, "a file name"}, {"--jobs", 'j', "a number"}, {"--quiet", 'q', ""}}};

// Every form a tool takes, and every form it refuses with its words.
TEST(CommandLine, FormsTakenAndRefused) {
  struct Case {
    std::vector<std::string> args;
    std::string error;    // empty: read
    std::string results;  // the value of --results when read
  } cases[] = {
      {{"--results", "r.csv", "in.csv"}, "", "r.csv"},
      {{"--results=r.csv", "in.csv"}, "", "r.csv"},
      {{"in.csv", "-j", "2", "-q"}, "", ""},
      {{"-", "--quiet"}, "", ""},  // "-" is an input name
      {{"--results"}, "--results needs a file name", ""},
      {{"--results=", "in.csv"}, "--results needs a file name", ""},
      {{"--results", "", "in.csv"}, "--results needs a file name", ""},
      {{"-j"}, "-j needs a number", ""},
      {{"--frobnicate", "in.csv"}, "unknown option --frobnicate", ""},
      {{"-x", "in.csv"}, "unknown option -x", ""},
      {{"a.csv", "b.csv"}, "more than one input file", ""},
      {{"--quiet"}, "no input file", ""},
      {{""}, "an empty input file name", ""},
  };
  for (const Case& c : cases) {
    const CommandLine line = read_command_line(c.args, kOptions);
    EXPECT_EQ(line.error, c.error) << c.args.front();
    if (c.error.empty()) {
      EXPECT_EQ(line.value("--results").value_or(""), c.results);
    }
  }
  const CommandLine help = read_command_line({"--frobnicate=1", "--help"}, kOptions);
  EXPECT_EQ(help.error, "unknown option --frobnicate");  // read in order: the error first
  EXPECT_TRUE(read_command_line({"in.csv", "-h"}, kOptions).help);
  EXPECT_TRUE(read_command_line({"--version", "--frobnicate"}, kOptions).version);
  EXPECT_TRUE(read_command_line({"in.csv", "-q"}, kOptions).has("--quiet"));
}

// A number option within its range, or the words that say what it needs.
TEST(CommandLine, NumbersWithinTheirRange) {
  struct Case {
    const char* jobs;
    std::string_view needs;
    double value;       // when read
    std::string error;  // empty: read
  } cases[] = {
      {"1", {}, 1, ""},
      {"2.5", {}, 2.5, ""},
      {"8", {}, 8, ""},
      {"0.5", {}, 0, "--jobs needs a number from 1 to 8, not \"0.5\""},
      {"9", {}, 0, "--jobs needs a number from 1 to 8, not \"9\""},
      {"nan", {}, 0, "--jobs needs a number from 1 to 8, not \"nan\""},
      {"many", "a count of jobs", 0, "--jobs needs a count of jobs, not \"many\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.jobs);
    const CommandLine line = read_command_line({"in.csv", "-j", c.jobs}, kOptions);
    std::string error;
    const auto value = line.number("--jobs", 1, 8, error, c.needs);
    EXPECT_EQ(error, c.error);
    if (c.error.empty()) {
      EXPECT_EQ(value, c.value);
    }
  }
  std::string error;
  const CommandLine without = read_command_line({"in.csv"}, kOptions);
  EXPECT_FALSE(without.number("--jobs", 1, 8, error).has_value());
  EXPECT_EQ(error, "");
  EXPECT_FALSE(without.path("--results").has_value());
  EXPECT_EQ(read_command_line({"--results=out/r.csv", "in.csv"}, kOptions).path("--results"),
            std::filesystem::path("out/r.csv"));
}

TEST(CommandLine, UnreadableInputs) {
  EXPECT_EQ(unreadable_input("/no/such/file.csv").value_or(""), "no such file");
  EXPECT_EQ(unreadable_input("/").value_or(""), "not a regular file");
  EXPECT_EQ(unreadable_input("/dev/null").value_or(""), "not a regular file");
  EXPECT_FALSE(unreadable_input(VANTREL_REFERENCE_DIR "/Soil_WRC.csv").has_value());
}

}  // namespace
}  // namespace vantrel
