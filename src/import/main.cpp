// vantrel-reference: measured water-retention data made into a Soil_WRC.csv for the program.
#include <algorithm>
#include <array>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/command_line.hpp"
#include "data/atomic_file.hpp"
#include "data/path_text.hpp"
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
  horizon, ks_cm_d, organic_matter_pct, sample, source                       (optional)
A sample is one profile and depth range; its points are its rows.

A sample's points must reach both ends of its curve: one at 33 kPa or wetter and one at
500 kPa or drier. A sample that does not is left out, as a curve from one side is a guess.

Options:
  -o, --output FILE  write the reference file here (whole, or not at all)
  --allow-partial    fit such samples all the same, mark them in the file's header lines
                     and end with status 1
  --help             show this help and exit
  --version          show the version and exit

Errors are written as FILE:LINE: reason. Exit status: 0 every sample used, 1 some sample
or profile left out or fitted from partial data (the file holds the others; when no profile
is left, no file is written), 2 a usage error (no file is written).
)";

int usage_error(const std::string& message) {
  std::cerr << "vantrel-reference: " << message << "\nTry 'vantrel-reference --help'.\n";
  return kUsage;
}

constexpr std::array<OptionSpec, 2> kOptions = {
    {{"--output", 'o', "a file"}, {"--allow-partial", 0, ""}}};

// The profiles that lost every sample, and a table larger than the program reads, as problems.
void left_out_profiles(const std::vector<std::pair<std::string, int>>& profiles,
                       const std::vector<MeasuredSample>& samples,
                       std::vector<MeasuredProblem>& problems) {
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
}

// The profiles in order of first appearance, with their first line.
std::vector<std::pair<std::string, int>> profiles_of(const std::vector<MeasuredSample>& samples) {
  std::vector<std::pair<std::string, int>> profiles;
  for (const MeasuredSample& s : samples) {
    const bool seen = std::any_of(profiles.begin(), profiles.end(),
                                  [&](const auto& p) { return p.first == s.profile; });
    if (!seen) profiles.emplace_back(s.profile, s.line);
  }
  return profiles;
}

// Writes the text to the output, whole or not at all, or to standard output; false (with the
// reason written) when it cannot.
bool write_out(const std::optional<std::filesystem::path>& output, const std::string& text) {
  if (!output) {
    std::cout << text << std::flush;
    return static_cast<bool>(std::cout);
  }
  const std::filesystem::path written = written_through(*output);
  clean_up_on_signals({written.has_parent_path() ? written.parent_path() : "."});
  AtomicFile file;
  std::string error;
  const bool opened = file.open(*output, error);
  if (opened) file.write(text);  // a failed write shows in the commit
  if (!opened || !file.commit(error)) {
    std::cerr << path_text(*output) << ": cannot write: " << error << '\n';
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  write_standard_streams_as_is();
  const CommandLine line = read_command_line({argv + 1, argv + argc}, kOptions);
  if (const auto answered =
          answer_help_or_version(line, kUsageText, "vantrel-reference", VANTREL_VERSION)) {
    return *answered;
  }
  if (!line.error.empty()) return usage_error(line.error);
  const std::filesystem::path input = *line.input;
  std::optional<std::filesystem::path> output;
  if (const auto named = line.path("--output")) output = *named;
  const std::string name = path_text(input);
  if (const auto why = unreadable_input(input)) {
    std::cerr << name << ": cannot read: " << *why << '\n';
    return kUsage;
  }
  if (output && same_file(*output, input)) {
    return usage_error("refusing to write " + path_text(*output) + " over the input file");
  }
  std::ifstream in(input, std::ios::binary);
  std::vector<MeasuredProblem> problems;
  bool header_ok = false;
  std::vector<MeasuredSample> samples =
      in ? read_measured(in, problems, header_ok) : std::vector<MeasuredSample>{};
  const auto report = [&] {
    for (const MeasuredProblem& p : problems)
      std::cerr << name << ':' << p.line << ": " << terminal_text(p.reason) << '\n';
  };
  if (!in || !header_ok) {
    if (!in) std::cerr << name << ": cannot read\n";
    report();
    return kUsage;
  }
  const auto profiles = profiles_of(samples);
  fit_samples(samples, problems, line.has("--allow-partial"));
  left_out_profiles(profiles, samples, problems);

  std::ostringstream text;
  std::size_t used_samples = 0;
  const int written = write_reference_profiles(samples, path_text(input.filename()),
                                               VANTREL_VERSION, kMaxProfiles, text, &used_samples);
  report();
  if (written == 0) {
    // A reference file without profiles would leave the program nothing to estimate from.
    std::cerr << "vantrel-reference: no profile could be made, so no file is written\n";
    return kSomeFailed;
  }
  if (!write_out(output, text.str())) return kUsage;
  std::cerr << "vantrel-reference: wrote " << written << " profile(s) from " << used_samples
            << " sample(s)" << (output ? " to " + path_text(*output) : std::string()) << '\n';
  // Left out, or fitted from partial data: the file is there, but not all is well.
  const bool left_out = std::any_of(problems.begin(), problems.end(),
                                    [](const MeasuredProblem& p) { return !p.note; });
  return left_out ? kSomeFailed : kOk;
}
