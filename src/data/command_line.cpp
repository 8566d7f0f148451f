#include "data/command_line.hpp"

#include <algorithm>

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
    if (const OptionSpec* option = find_option(options, arg)) {
      const std::string name(option->name);
      if (option->needs.empty()) {
        line.values[name] = "";
        continue;
      }
      std::optional<std::string> value = attached;
      if (!value && i + 1 < args.size()) value = args[++i];
      if (!value || value->empty()) {
        line.error = arg + " needs " + std::string(option->needs);
      } else {
        line.values[name] = *value;
      }
    } else if (arg.size() > 1 && arg[0] == '-') {
      line.error = "unknown option " + arg;
    } else if (line.input) {
      line.error = "more than one input file";
    } else {
      line.input = arg;
    }
  }
  if (line.error.empty() && !line.input) line.error = "no input file";
  if (line.error.empty() && line.input->empty()) line.error = "an empty input file name";
  return line;
}

std::optional<std::string> unreadable_input(const std::filesystem::path& file) {
  std::error_code ec;
  if (std::filesystem::is_regular_file(file, ec)) return std::nullopt;
  return std::filesystem::exists(file, ec) ? "not a regular file" : "no such file";
}

}  // namespace vantrel
