// vantrel-batch: the window's numbers for every profile of a CSV file.
#include <unistd.h>

#include <QGuiApplication>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "batch/batch_report.hpp"
#include "batch/batch_run.hpp"
#include "data/atomic_file.hpp"
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

// The toolkit's notes about its environment (runtime folders, fonts) are not the user's concern.
void only_serious_messages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg)
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

int usage_error(const std::string& message) {
  std::cerr << "vantrel-batch: " << message << "\nTry 'vantrel-batch --help'.\n";
  return kBatchUsage;
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::signal(SIGXFSZ, SIG_IGN);  // an output at the file-size limit is a failed write
  BatchSettings settings;
  settings.version = VANTREL_VERSION;
  std::filesystem::path data = ".";
  bool quiet = false;
  std::optional<std::filesystem::path> input;
  const unsigned hardware = std::thread::hardware_concurrency();
  settings.jobs = hardware == 0 ? 1 : static_cast<int>(hardware);

  const std::vector<std::string> args(argv + 1, argv + argc);
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    std::optional<std::string> value;
    if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg.resize(eq);
    }
    const auto take = [&]() -> std::optional<std::string> {
      if (value) return value;
      if (i + 1 < args.size()) return args[++i];
      return std::nullopt;
    };
    const auto path_option = [&](std::optional<std::filesystem::path>& slot) {
      const auto v = take();
      if (!v || v->empty()) return false;
      slot = *v;
      return true;
    };
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return kBatchOk;
    }
    if (arg == "--version") {
      std::cout << "vantrel-batch " << VANTREL_VERSION << '\n';
      return kBatchOk;
    }
    if (arg == "--quiet" || arg == "-q") {
      quiet = true;
    } else if (arg == "--data") {
      const auto v = take();
      if (!v || v->empty()) return usage_error("--data needs a folder");
      data = *v;
    } else if (arg == "--results" || arg == "--horizons" || arg == "--json" || arg == "--report") {
      auto& slot = arg == "--results"    ? settings.results
                   : arg == "--horizons" ? settings.horizons
                   : arg == "--json"     ? settings.json
                                         : settings.report;
      if (!path_option(slot)) return usage_error(arg + " needs a file name");
    } else if (arg == "--jobs" || arg == "-j") {
      const auto v = take();
      int jobs = 0;
      const char* end = v ? v->data() + v->size() : nullptr;
      if (!v || std::from_chars(v->data(), end, jobs).ptr != end || jobs < 1 || jobs > 256) {
        return usage_error("--jobs needs a whole number from 1 to 256");
      }
      settings.jobs = jobs;
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
  settings.input = *input;
  settings.progress = !quiet && ::isatty(STDERR_FILENO) == 1;

  // Outputs must not replace the input, a reference file or one another.
  const std::vector<std::filesystem::path> references = {
      data / kRetentionFileName, data / kCropFileName, data / kTextureFileName};
  std::vector<std::filesystem::path> outputs;
  for (const auto* slot :
       {&settings.results, &settings.horizons, &settings.json, &settings.report}) {
    if (!*slot) continue;
    const auto& out = **slot;
    if (same_file(out, settings.input)) {
      return usage_error("refusing to write " + out.string() + " over the input file");
    }
    for (const auto& ref : references) {
      if (same_file(out, ref)) {
        return usage_error("refusing to write " + out.string() + " over the reference file " +
                           ref.string());
      }
    }
    for (const auto& other : outputs) {
      if (same_file(out, other)) return usage_error(out.string() + " is named for two outputs");
    }
    outputs.push_back(out);
  }

  // Unlike the window, never create a missing reference file.
  for (const auto& ref : references) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(ref, ec)) {
      std::cerr << ref.string() << ": cannot read the reference file: "
                << (std::filesystem::exists(ref, ec) ? "not a regular file" : "no such file")
                << '\n';
      return kBatchUsage;
    }
  }
  std::vector<RetentionDefect> defects;
  auto curves = std::make_unique<RetentionCurves>();
  auto crops = std::make_unique<CropTable>();
  auto textures = std::make_unique<TextureDefaults>();
  try {
    load_retention_curves(references[0], *curves, std::cerr, &defects);
    load_crop_table(references[1], *crops, std::cerr);
    load_texture_defaults(references[2], *textures, std::cerr);
  } catch (const FatalStop& stop) {
    std::cerr << stop.what() << '\n';
    return kBatchUsage;
  }
  // The program reads a short file as it always has; this tool says where it is short.
  for (const RetentionDefect& d : defects)
    std::cerr << references[0].string() << ':' << d.line << ": " << d.reason << '\n';
  if (curves->profile_count == 0) {
    std::cerr << references[0].string() << ": no reference profiles in the file\n";
    return kBatchUsage;
  }

  std::vector<std::filesystem::path> folders;
  for (const auto& out : outputs)
    folders.push_back(out.has_parent_path() ? out.parent_path() : ".");
  clean_up_on_signals(folders);
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
  return run_batch(settings, *curves, *crops, std::cout, std::cerr, nullptr, defects);
}
