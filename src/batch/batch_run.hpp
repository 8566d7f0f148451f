// vantrel-batch without its options: many profiles read, computed on several threads and
// written in input order, as a stream in bounded memory.
#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "advice/field_advice.hpp"
#include "cli/exit_status.hpp"
#include "data/retention_curves.hpp"
#include "data/text_tables.hpp"
#include "report/report.hpp"

namespace vantrel {

struct BatchSettings {
  std::filesystem::path input;
  std::string input_name;  // how messages name the input, when not by its path ("-")
  std::string version;     // written into the JSON document
  // Outputs; "-" is standard output (one of them at most).
  std::optional<std::filesystem::path> horizons, results, json, report;
  int jobs = 1;
  bool progress = false;      // a progress line on the error stream
  float fc_suction = 10;      // kPa at which field capacity is read from the curves
  bool csv_standard = false;  // CSV outputs with comma and point whatever the input's
  ReportContext context;      // for the report
  // Makes the report writer for a temporary file; only called with `report`.
  std::function<std::unique_ptr<ProfileReport>(const std::filesystem::path&, const RetentionCurves&,
                                               const ReportContext&)>
      make_report;
};

struct BatchCounts {
  long long profiles = 0, horizons = 0, ok = 0, warnings = 0, errors = 0, bad_lines = 0;
};

// Runs the batch over the input with the loaded tables. Results go to `out` when no output
// file is named; errors go to `errors` as FILE:LINE: reason. Returns the exit status.
// `defects` are the places where the reference file is short (a warning for every profile whose
// estimate rests on one).
int run_batch(const BatchSettings& settings, const RetentionCurves& curves, const CropTable& crops,
              std::ostream& out, std::ostream& errors, BatchCounts* counts = nullptr,
              const std::vector<RetentionDefect>& defects = {});

}  // namespace vantrel
