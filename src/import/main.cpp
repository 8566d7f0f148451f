// vantrel-reference: measured water-retention data made into a Soil_WRC.csv for the program.
#include <algorithm>
#include <csignal>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "data/atomic_file.hpp"
#include "data/retention_curves.hpp"
#include "data/safe_text.hpp"
#include "import/measured_profiles.hpp"

namespace {

using namespace vantrel;

constexpr int kOk = 0, kSomeFailed = 1, kUsage = 2;

constexpr std::string_view kUsageText =
    R"(Usage: vantrel-reference MEASURED.csv [-o Soil_WRC.csv]
Fits a van Genuchten curve to each measured sample and writes reference profiles of 20
layers of 10 cm in the format of Soil_WRC.csv (to standard output without -o).

MEASURED.csv has a header row naming its columns, in any order, one row per measured point:
  profile, top_cm, bottom_cm, sand, clay, density, suction_kpa, theta_pct   (required)
  horizon, ks_cm_d, organic_matter_pct                                       (optional)
A sample is one profile and depth range; its points are its rows.

Options:
  -o, --output FILE  write the reference file here (whole, or not at all)
  --help             show this help and exit
  --version          show the version and exit

Errors are written as FILE:LINE: reason. Exit status: 0 every sample used, 1 some sample
or profile left out (the file holds the others), 2 a usage error.
)";

int usage_error(const std::string& message) {
  std::cerr << "vantrel-reference: " << message << "\nTry 'vantrel-reference --help'.\n";
  return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGXFSZ, SIG_IGN);  // an output at the file-size limit is a failed write
  std::optional<std::filesystem::path> input, output;
  const std::vector<std::string> args(argv + 1, argv + argc);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsageText;
      return kOk;
    }
    if (arg == "--version") {
      std::cout << "vantrel-reference " << VANTREL_VERSION << '\n';
      return kOk;
    }
    if (arg == "-o" || arg == "--output") {
      if (i + 1 >= args.size() || args[i + 1].empty()) return usage_error(arg + " needs a file");
      output = args[++i];
    } else if (arg.rfind("--output=", 0) == 0) {
      if (arg.size() == 9) return usage_error("--output needs a file");
      output = arg.substr(9);
    } else if (arg.size() > 1 && arg[0] == '-') {
      return usage_error("unknown option " + arg);
    } else if (input) {
      return usage_error("more than one input file");
    } else {
      input = arg;
    }
  }
  if (!input) return usage_error("no input file");
  if (input->empty()) return usage_error("an empty input file name");
  const std::string name = input->string();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(*input, ec)) {
    std::cerr << name << ": cannot read: "
              << (std::filesystem::exists(*input, ec) ? "not a regular file" : "no such file")
              << '\n';
    return kUsage;
  }
  if (output && same_file(*output, *input)) {
    return usage_error("refusing to write " + output->string() + " over the input file");
  }
  std::ifstream in(*input, std::ios::binary);
  if (!in) {
    std::cerr << name << ": cannot read\n";
    return kUsage;
  }

  std::vector<MeasuredProblem> problems;
  bool header_ok = false;
  std::vector<MeasuredSample> samples = read_measured(in, problems, header_ok);
  if (!header_ok) {
    for (const MeasuredProblem& p : problems)
      std::cerr << name << ':' << p.line << ": " << terminal_text(p.reason) << '\n';
    return kUsage;
  }
  std::vector<std::pair<std::string, int>> profiles;  // in order, with their first line
  for (const MeasuredSample& s : samples) {
    bool seen = false;
    for (const auto& p : profiles)
      seen = seen || p.first == s.profile;
    if (!seen) profiles.emplace_back(s.profile, s.line);
  }
  fit_samples(samples, problems);
  std::set<std::string> usable;
  for (const MeasuredSample& s : samples)
    usable.insert(s.profile);
  for (const auto& [profile, line] : profiles) {
    if (usable.count(profile) == 0) {
      problems.push_back({line, "profile " + profile + " has no usable sample and is left out"});
    }
  }
  if (static_cast<int>(usable.size()) > kMaxProfiles) {
    problems.push_back({1, "more than " + std::to_string(kMaxProfiles) +
                               " profiles: the program reads only the first " +
                               std::to_string(kMaxProfiles) + ", so the rest are left out"});
  }

  std::ostringstream text;
  std::size_t used_samples = 0;
  const int written = write_reference_profiles(samples, input->filename().string(), VANTREL_VERSION,
                                               kMaxProfiles, text, &used_samples);
  for (const MeasuredProblem& p : problems)
    std::cerr << name << ':' << p.line << ": " << terminal_text(p.reason) << '\n';

  if (output) {
    clean_up_on_signals({output->has_parent_path() ? output->parent_path() : "."});
    AtomicFile file;
    std::string error;
    const bool opened = file.open(*output, error);
    if (opened) file.write(text.str());  // a failed write shows in the commit
    if (!opened || !file.commit(error)) {
      std::cerr << output->string() << ": cannot write: " << error << '\n';
      return kUsage;
    }
  } else {
    std::cout << text.str() << std::flush;
    if (!std::cout) return kUsage;
  }
  std::cerr << "vantrel-reference: wrote " << written << " profile(s) from " << used_samples
            << " sample(s)" << (output ? " to " + output->string() : std::string()) << '\n';
  const bool left_out = std::any_of(problems.begin(), problems.end(),
                                    [](const MeasuredProblem& p) { return !p.note; });
  return left_out ? kSomeFailed : kOk;
}
