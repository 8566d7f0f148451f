#include "cli/command_line.hpp"

#include <algorithm>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <thread>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "data/fields.hpp"
#include "data/number_text.hpp"
#include "data/path_text.hpp"

namespace vantrel {

namespace {

const OptionSpec* find_option(std::span<const OptionSpec> options, std::string_view arg) {
  const auto found = std::find_if(options.begin(), options.end(), [&](const OptionSpec& o) {
    return o.name == arg ||
           (o.short_name != 0 && arg.size() == 2 && arg[0] == '-' && arg[1] == o.short_name);
  });
  return found == options.end() ? nullptr : &*found;
}

}  // namespace

std::optional<std::string> CommandLine::value(std::string_view name) const {
  const auto found = values.find(name);
  return found == values.end() ? std::nullopt : std::optional<std::string>(found->second);
}

std::optional<std::filesystem::path> CommandLine::path(std::string_view name) const {
  const auto found = values.find(name);
  return found == values.end() ? std::nullopt
                               : std::optional<std::filesystem::path>(text_path(found->second));
}

std::optional<double> CommandLine::number(std::string_view name, double low, double high,
                                          std::string& problem, std::string_view needs) const {
  const auto text = value(name);
  if (!text) return std::nullopt;
  float v = 0;
  if (read_table_number(*text, v) != TableNumber::value || !(v >= low && v <= high)) {
    problem = std::string(name) + " needs " +
              (needs.empty() ? "a number from " + shortest_form(static_cast<float>(low)) + " to " +
                                   shortest_form(static_cast<float>(high))
                             : std::string(needs)) +
              ", not \"" + *text + "\"";
  }
  return v;
}

std::optional<double> CommandLine::fc_suction(std::string& problem) const {
  constexpr double kStressPoint = 100;  // kPa
  constexpr std::string_view kNeeds = "a suction in kPa from 1 to below the 100 kPa stress point";
  const auto kpa = number("--fc-suction", 1, kStressPoint, problem, kNeeds);
  if (kpa && *kpa >= kStressPoint && problem.empty()) {
    problem =
        "--fc-suction needs " + std::string(kNeeds) + ", not \"" + *value("--fc-suction") + "\"";
  }
  return kpa;
}

int CommandLine::jobs(std::string& problem) const {
  const auto given = value("--jobs");
  if (!given) {
    const unsigned hardware = std::thread::hardware_concurrency();
    return hardware == 0 ? 1 : static_cast<int>(hardware);
  }
  int n = 0;
  const char* end = given->data() + given->size();
  if (std::from_chars(given->data(), end, n).ptr != end || n < 1 || n > 256) {
    if (problem.empty()) problem = "--jobs needs a whole number from 1 to 256";
    return 1;
  }
  return n;
}

namespace {

// Takes a known option and its value (attached, or the next argument); the usage error, or "".
std::string take_option(const OptionSpec& option, const std::string& arg,
                        const std::optional<std::string>& attached,
                        const std::vector<std::string>& args, std::size_t& i, CommandLine& line) {
  const std::string name(option.name);
  if (option.needs.empty()) {
    line.values[name] = "";
    return {};
  }
  std::optional<std::string> value = attached;
  if (!value && i + 1 < args.size()) value = args[++i];
  if (!value || value->empty()) return arg + " needs " + std::string(option.needs);
  line.values[name] = *value;
  return {};
}

// Takes an argument that is no known option: the input, or a usage error.
std::string take_other(const std::string& arg, CommandLine& line) {
  if (arg.size() > 1 && arg[0] == '-') return "unknown option " + arg;
  if (line.input) return "more than one input file";
  line.input = text_path(arg);
  return {};
}

}  // namespace

CommandLine read_command_line(const std::vector<std::string>& args,
                              std::span<const OptionSpec> options) {
  CommandLine line;
  for (std::size_t i = 0; i < args.size() && line.error.empty(); ++i) {
    std::string arg = args[i];
    std::optional<std::string> attached;  // the value of "--name=VALUE"
    if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      attached = arg.substr(eq + 1);
      arg.resize(eq);
    }
    if (arg == "--help" || arg == "-h" || arg == "--version") {
      (arg == "--version" ? line.version : line.help) = true;
      return line;
    }
    const OptionSpec* option = find_option(options, arg);
    line.error = option != nullptr ? take_option(*option, arg, attached, args, i, line)
                                   : take_other(arg, line);
  }
  if (line.error.empty() && !line.input) line.error = "no input file";
  if (line.error.empty() && line.input->empty()) line.error = "an empty input file name";
  return line;
}

std::optional<int> answer_help_or_version(const CommandLine& line, std::string_view usage,
                                          std::string_view program, std::string_view version) {
  if (line.help) std::cout << usage;
  if (line.version) std::cout << program << ' ' << version << '\n';
  if (!line.help && !line.version) return std::nullopt;
  return 0;
}

std::optional<std::string> unreadable_input(const std::filesystem::path& file) {
  std::error_code ec;
  if (std::filesystem::is_regular_file(file, ec)) return std::nullopt;
  return std::filesystem::exists(file, ec) ? "not a regular file" : "no such file";
}

void write_standard_streams_as_is() {
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
#ifdef SIGXFSZ
  std::signal(SIGXFSZ, SIG_IGN);
#endif
}

}  // namespace vantrel
