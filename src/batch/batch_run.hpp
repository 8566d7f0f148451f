// vantrel-batch without its options: many profiles read, computed on several threads and
// written in input order, as a stream in bounded memory.
#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "batch/batch_profile.hpp"
#include "data/retention_curves.hpp"
#include "data/text_tables.hpp"

namespace vantrel {

inline constexpr int kBatchOk = 0;
inline constexpr int kBatchProfileFailed = 1;
inline constexpr int kBatchUsage = 2;

// Takes each profile in input order; the report is drawn this way.
class ProfileReport {
 public:
  virtual ~ProfileReport() = default;
  virtual void add(const ProfileResult& profile) = 0;
  // Ends the document; false with the reason.
  virtual bool finish(std::string& error) = 0;
};

struct BatchSettings {
  std::filesystem::path input;
  std::string version;  // written into the JSON document
  std::optional<std::filesystem::path> horizons, results, json, report;
  int jobs = 1;
  bool progress = false;  // a progress line on the error stream
  // Makes the report writer for a temporary file; only called with `report`.
  std::function<std::unique_ptr<ProfileReport>(const std::filesystem::path&,
                                               const RetentionCurves&)>
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
