// The command line of a tool, read as Unix tools read theirs: "--name VALUE", "--name=VALUE",
// a short "-x VALUE", flags, --help and --version, and one input file. The tools share it, so
// that they take and refuse the same forms with the same words.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

struct OptionSpec {
  std::string_view name;   // "--results"
  char short_name = 0;     // 'o' for "-o", or 0
  std::string_view needs;  // what the value must be ("a file name"); empty for a flag
};

struct CommandLine {
  bool help = false, version = false;
  std::map<std::string, std::string, std::less<>> values;  // by option name; "" for a flag
  std::optional<std::filesystem::path> input;
  std::string error;  // a usage error, "" when the line is sound

  bool has(std::string_view name) const { return values.find(name) != values.end(); }
  std::optional<std::string> value(std::string_view name) const;
  // The value as a file name.
  std::optional<std::filesystem::path> path(std::string_view name) const;
  // The value as a number within [low, high]; nothing when the option is not given. Otherwise a
  // usage error goes to `problem`: "NAME needs NEEDS, not "TEXT"", NEEDS by default "a number
  // from LOW to HIGH".
  std::optional<double> number(std::string_view name, double low, double high, std::string& error,
                               std::string_view needs = {}) const;
  // --fc-suction: from 1 kPa to below the 100 kPa stress point, for field capacity must hold
  // more water than the stress point (at or above it RAW turns negative).
  std::optional<double> fc_suction(std::string& error) const;
  // --jobs: threads from 1 to 256; without it, the machine's hardware threads.
  int jobs(std::string& error) const;
};

// Reads the arguments (without the program's name). An option that needs a value and gets
// none, or an empty one, is "NAME needs WHAT"; an unknown option, a second input, no input or
// an empty input name are usage errors too. --help and -h, and --version, end the reading.
CommandLine read_command_line(const std::vector<std::string>& args,
                              std::span<const OptionSpec> options);

// Writes the usage or "PROGRAM VERSION" to standard output when the line asked for it; the exit
// status then (0), else nothing.
std::optional<int> answer_help_or_version(const CommandLine& line, std::string_view usage,
                                          std::string_view program, std::string_view version);

// Standard output and standard error take bytes as they are: on Windows the C runtime would
// otherwise write CR LF for each line end, where every other output of the tools has LF. And
// an output at the file-size limit (SIGXFSZ) is a failed write, said and cleaned up, never a
// process killed with its temporary files left behind.
void write_standard_streams_as_is();

// Why an input file cannot be read ("no such file", "not a regular file"), or nothing.
std::optional<std::string> unreadable_input(const std::filesystem::path& file);

}  // namespace vantrel
