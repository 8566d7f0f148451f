// vantrel-batch: the window's numbers for every profile of a CSV file.
#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define STDERR_FILENO 2
#else
#include <unistd.h>
#endif

#ifdef VANTREL_PDF_REPORT
#include <QGuiApplication>
#endif
#include <array>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#ifdef VANTREL_PDF_REPORT
#include "batch/batch_report.hpp"
#endif
#include "batch/batch_run.hpp"
#include "data/atomic_file.hpp"
#include "data/command_line.hpp"
#include "data/reference_file.hpp"

namespace {

using namespace vantrel;

constexpr std::string_view kUsage =
    R"(Usage: vantrel-batch [OPTION]... INPUT.csv
Computes, for every profile of INPUT.csv, what the Vantrel window shows: each horizon's
texture class, density and water contents, and the profile's TAW, RAW, full point and
refill point, with the root-zone water, the irrigation depth and interval.

INPUT.csv has a header row naming its columns, in any order: profile, horizon, thickness,
sand, clay (required), stones, density, and per profile either crop or root_depth and
tolerance, and optionally etc. One row per "Update profile", in the order of the clicks.

Options:
  --data DIR         read the reference files from DIR (default: the working directory)
  --results FILE     one row per profile (without any output option: to standard output)
  --horizons FILE    one row per horizon of each profile
  --json FILE        profiles, horizons and results as one JSON document
  --report FILE.pdf  a printable report, one page per profile
  --jobs N           compute on N threads (default: the number of hardware threads)
  --quiet            no progress line
  --help             show this help and exit
  --version          show the version and exit

Errors are written as FILE:LINE: reason. Exit status: 0 every profile ok or with a
warning, 1 some profile failed, 2 a usage error (bad option, unreadable input, missing or
damaged reference file, an output that cannot be written).
)";

#ifdef VANTREL_PDF_REPORT
// The toolkit's notes about its environment (runtime folders, fonts) are not the user's concern.
void only_serious_messages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg)
    std::fprintf(stderr, "%s\n", qPrintable(message));
}
#endif

int usage_error(const std::string& message) {
  std::cerr << "vantrel-batch: " << message << "\nTry 'vantrel-batch --help'.\n";
  return kBatchUsage;
}

constexpr std::array<OptionSpec, 7> kOptions = {{
    {"--data", 0, "a folder"},
    {"--results", 0, "a file name"},
    {"--horizons", 0, "a file name"},
    {"--json", 0, "a file name"},
    {"--report", 0, "a file name"},
    {"--jobs", 'j', "a whole number from 1 to 256"},
    {"--quiet", 'q', ""},
}};

// The settings the command line gives; a usage error in `error`.
BatchSettings read_settings(const CommandLine& line, std::filesystem::path& data,
                            std::string& error) {
  BatchSettings settings;
  settings.version = VANTREL_VERSION;
  settings.input = *line.input;
  data = line.value("--data").value_or(".");
  const auto path = [&](const char* name) -> std::optional<std::filesystem::path> {
    if (const auto v = line.value(name)) return std::filesystem::path(*v);
    return std::nullopt;
  };
  settings.results = path("--results");
  settings.horizons = path("--horizons");
  settings.json = path("--json");
  settings.report = path("--report");
  const unsigned hardware = std::thread::hardware_concurrency();
  settings.jobs = hardware == 0 ? 1 : static_cast<int>(hardware);
  if (const auto jobs = line.value("--jobs")) {
    int n = 0;
    const char* end = jobs->data() + jobs->size();
    if (std::from_chars(jobs->data(), end, n).ptr != end || n < 1 || n > 256) {
      error = "--jobs needs a whole number from 1 to 256";
    }
    settings.jobs = n;
  }
  settings.progress = !line.has("--quiet") && ::isatty(STDERR_FILENO) == 1;
  return settings;
}

// The outputs named; a usage error when one would replace the input, a reference file or
// another output.
std::vector<std::filesystem::path> outputs_of(const BatchSettings& settings,
                                              const std::vector<std::filesystem::path>& references,
                                              std::string& error) {
  std::vector<std::filesystem::path> outputs;
  for (const auto* slot :
       {&settings.results, &settings.horizons, &settings.json, &settings.report}) {
    if (!*slot || !error.empty()) continue;
    const auto& out = **slot;
    if (same_file(out, settings.input)) {
      error = "refusing to write " + out.string() + " over the input file";
    }
    for (const auto& ref : references) {
      if (error.empty() && same_file(out, ref)) {
        error = "refusing to write " + out.string() + " over the reference file " + ref.string();
      }
    }
    for (const auto& other : outputs) {
      if (error.empty() && same_file(out, other))
        error = out.string() + " is named for two outputs";
    }
    outputs.push_back(out);
  }
  return outputs;
}

// The reference tables, loaded as the window loads them, but never creating a missing file;
// false (with the reason written) when one cannot be used.
struct Tables {
  std::unique_ptr<RetentionCurves> curves = std::make_unique<RetentionCurves>();
  std::unique_ptr<CropTable> crops = std::make_unique<CropTable>();
  std::unique_ptr<TextureDefaults> textures = std::make_unique<TextureDefaults>();
  std::vector<RetentionDefect> defects;
};
bool load_tables(const std::vector<std::filesystem::path>& references, Tables& t) {
  for (const auto& ref : references) {
    if (const auto why = unreadable_input(ref)) {
      std::cerr << ref.string() << ": cannot read the reference file: " << *why << '\n';
      return false;
    }
  }
  try {
    load_retention_curves(references[0], *t.curves, std::cerr, &t.defects);
    load_crop_table(references[1], *t.crops, std::cerr);
    load_texture_defaults(references[2], *t.textures, std::cerr);
  } catch (const FatalStop& stop) {
    std::cerr << stop.what() << '\n';
    return false;
  }
  // The program reads a short file as it always has; this tool says where it is short.
  for (const RetentionDefect& d : t.defects)
    std::cerr << references[0].string() << ':' << d.line << ": " << d.reason << '\n';
  if (t.curves->profile_count == 0) {
    std::cerr << references[0].string() << ": no reference profiles in the file\n";
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  write_standard_streams_as_is();
#ifdef SIGXFSZ
  std::signal(SIGXFSZ, SIG_IGN);  // an output at the file-size limit is a failed write
#endif
  const CommandLine line = read_command_line({argv + 1, argv + argc}, kOptions);
  if (const auto answered =
          answer_help_or_version(line, kUsage, "vantrel-batch", VANTREL_VERSION)) {
    return *answered;
  }
  if (!line.error.empty()) return usage_error(line.error);
  std::filesystem::path data;
  std::string error;
  BatchSettings settings = read_settings(line, data, error);
  const std::vector<std::filesystem::path> references = {
      data / kRetentionFileName, data / kCropFileName, data / kTextureFileName};
  const std::vector<std::filesystem::path> outputs = outputs_of(settings, references, error);
  if (!error.empty()) return usage_error(error);
  Tables tables;
  if (!load_tables(references, tables)) return kBatchUsage;

  std::vector<std::filesystem::path> folders;
  for (const auto& out : outputs)
    folders.push_back(out.has_parent_path() ? out.parent_path() : ".");
  clean_up_on_signals(folders);
#ifdef VANTREL_PDF_REPORT
  // The report draws with Qt's painter, which needs the toolkit's fonts: an application on
  // its offscreen platform, made only for a report, so the other outputs never start it.
  int toolkit_argc = 1;
  char toolkit_name[] = "vantrel-batch";
  char* toolkit_argv[] = {toolkit_name, nullptr};
  std::unique_ptr<QGuiApplication> toolkit;
  if (settings.report) {
    qInstallMessageHandler(only_serious_messages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    toolkit = std::make_unique<QGuiApplication>(toolkit_argc, toolkit_argv);
    settings.make_report = make_pdf_report;
  }
#else
  if (settings.report) {
    return usage_error(
        "--report needs Qt's PDF writer, which this build of vantrel-batch has "
        "not; every other output works");
  }
#endif
  return run_batch(settings, *tables.curves, *tables.crops, std::cout, std::cerr, nullptr,
                   tables.defects);
}
