// vantrel-batch: the window's numbers for every profile of a CSV file.
#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define STDERR_FILENO 2
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#ifdef VANTREL_PDF_REPORT
#include "report/pdf_writer.hpp"
#include "report/report_toolkit.hpp"
#endif
#include "batch/batch_run.hpp"
#include "cli/command_line.hpp"
#include "cli/kept_input.hpp"
#include "cli/output_set.hpp"
#include "cli/reference_folders.hpp"
#include "cli/reference_set.hpp"
#include "cli/report_time.hpp"
#include "cli/report_units.hpp"
#include "data/atomic_file.hpp"
#include "data/fields.hpp"
#include "data/path_text.hpp"
#include "data/reference_file.hpp"
#include "report/reports.hpp"

namespace {

using namespace vantrel;

constexpr std::string_view kUsage =
    R"(Usage: vantrel-batch [OPTION]... INPUT.csv
Computes, for every profile of INPUT.csv, what the Vantrel window shows: each horizon's
texture class, density and water contents, and the profile's TAW, RAW, full point and
refill point; with the decision an advisor hands over: the depth to apply (net, and gross at
the field's efficiency) and the interval at the crop's water use.

INPUT.csv has a header row naming its columns, in any order and any case: profile, horizon,
thickness, sand, clay (required), stones, density, and per profile either crop or root_depth
and tolerance, and optionally etc (crop water use, mm/day), efficiency (%, default 100) and
notes. One row per "Update profile", in the order of the clicks. A file a spreadsheet saved
with semicolons and decimal commas is read as such. INPUT.csv "-" reads standard input.

Options:
  --data DIR         read the reference files from DIR (default: the working directory if it
                     holds all three, else the user's folder, else the installed set)
  --results FILE     one row per profile (without any output option: to standard output)
  --horizons FILE    one row per horizon of each profile
  --json FILE        profiles, horizons and results as one JSON document
  --report FILE      a printable report: a summary, then one page per profile; FILE.html
                     is one self-contained HTML page, any other name a PDF
  --units mm|inch    the report's figures in mm and cm (default) or in inches
                     (FILE "-" for any one output: standard output)
  --fc-suction KPA   field capacity at this suction, from 1 to below 100 (default 10, as the
                     window; 33 where FAO-56 or NRCS figures are the yardstick)
  --csv-standard     CSV outputs with comma and decimal point whatever the input's
  --jobs N           compute on N threads (default: the number of hardware threads)
  --quiet            no progress line, and no word on which reference files are used
  --help             show this help and exit
  --version          show the version and exit

With crop water use given, the depletion fraction is adjusted as FAO-56 recommends (below its
Table 22): p + 0.04 (5 - etc), within 10 to 80 %; the window keeps the crop's.

Errors are written as FILE:LINE: reason. Exit status: 0 every profile ok or with a
warning, 1 some profile failed, 2 a usage error (bad option, unreadable input, missing or
damaged reference file, an output that cannot be written).
)";

int usage_error(const std::string& message) {
  std::cerr << "vantrel-batch: " << message << "\nTry 'vantrel-batch --help'.\n";
  return kExitUsage;
}

constexpr std::array<OptionSpec, 10> kOptions = {{
    {"--data", 0, "a folder"},
    {"--fc-suction", 0, "a suction in kPa from 1 to below 100"},
    {"--csv-standard", 0, ""},
    {"--results", 0, "a file name"},
    {"--horizons", 0, "a file name"},
    {"--json", 0, "a file name"},
    {"--report", 0, "a file name"},
    {"--units", 0, "mm or inch"},
    {"--jobs", 'j', "a whole number from 1 to 256"},
    {"--quiet", 'q', ""},
}};

// The settings the command line gives; a usage error in `error`.
BatchSettings read_settings(const CommandLine& line, std::string& error) {
  BatchSettings settings;
  settings.version = VANTREL_VERSION;
  settings.input = *line.input;
  settings.results = line.path("--results");
  settings.horizons = line.path("--horizons");
  settings.json = line.path("--json");
  settings.report = line.path("--report");
  settings.context.inches = report_in_inches(line, error);
  settings.jobs = line.jobs(error);
  if (const auto kpa = line.fc_suction(error)) settings.fc_suction = static_cast<float>(*kpa);
  settings.csv_standard = line.has("--csv-standard");
  settings.progress = !line.has("--quiet") && ::isatty(STDERR_FILENO) == 1;
  return settings;
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  write_standard_streams_as_is();
  const CommandLine line = read_command_line({argv + 1, argv + argc}, kOptions);
  if (const auto answered =
          answer_help_or_version(line, kUsage, "vantrel-batch", VANTREL_VERSION)) {
    return *answered;
  }
  if (!line.error.empty()) return usage_error(line.error);
  std::string error;
  BatchSettings settings = read_settings(line, error);
  if (!error.empty()) return usage_error(error);
  const auto folder = choose_reference_folder(line.value("--data"), line.has("--quiet"),
                                              "vantrel-batch", std::cerr);
  if (!folder) return kExitUsage;
  const std::filesystem::path& data = *folder;
  ReferenceSet reference(data);
  std::vector<ReadFile> reads = {{settings.input, "the input file"}};
  for (const auto& ref : reference.files())
    reads.push_back({ref, "the reference file " + path_text(ref)});
  const std::vector<std::filesystem::path> outputs = checked_outputs(
      {settings.results, settings.horizons, settings.json, settings.report}, reads, true, error);
  if (!error.empty()) return usage_error(error);
  if (!reference.load(std::cerr)) return kExitUsage;

  const std::filesystem::path temp = clean_up_outputs_on_signals(outputs);
  // Standard input is read more than once (split profiles, the report's pages): it is kept in
  // a temporary file for the run.
  KeptInput kept_input;
  if (settings.input == "-") {
    std::string why;
    if (!kept_input.keep(std::cin, temp, "vantrel-batch-input.csv", why)) {
      std::cerr << "vantrel-batch: standard input: cannot keep it: " << why << '\n';
      return kExitUsage;
    }
    settings.input = kept_input.path();
    settings.input_name = "-";
  }
  const bool inches = settings.context.inches;
  settings.context = {settings.input_name.empty() ? path_text(settings.input) : settings.input_name,
                      settings.version,
                      path_text(std::filesystem::absolute(data).lexically_normal()),
                      is_bundled_set(reference.retention),
                      settings.fc_suction,
                      report_time("%Y-%m-%d"),
                      report_time("D:%Y%m%d%H%M%SZ", true),
                      inches};
  // The report's writer by its file's name; a PDF where the build has none is said, and the
  // other outputs are written all the same.
#ifdef VANTREL_PDF_REPORT
  std::unique_ptr<ReportToolkit> toolkit;
  const WriterMaker pdf_writer = [&settings](const std::filesystem::path& file) {
    return page::make_pdf_writer(file, settings.context, "vantrel-batch");
  };
#else
  const WriterMaker pdf_writer;
#endif
  const ToolReport report = tool_report(settings.report, pdf_writer, "vantrel-batch", std::cerr);
#ifdef VANTREL_PDF_REPORT
  if (report.pdf && report.writer) toolkit = std::make_unique<ReportToolkit>("vantrel-batch");
#endif
  if (report.writer) {
    settings.make_report = [writer = report.writer](const std::filesystem::path& file,
                                                    const RetentionCurves& curves,
                                                    const ReportContext& context) {
      return make_field_report(file, writer, curves, context);
    };
  }
  const int status = run_batch(settings, *reference.curves, *reference.crops, std::cout, std::cerr,
                               nullptr, reference.defects);
  return report.refused ? std::max(status, kExitFailed) : status;
}
