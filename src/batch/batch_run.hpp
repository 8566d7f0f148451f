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

// What --report says in a build without Qt's PDF writer (the Windows edition).
inline constexpr const char* kNoPdfWriter =
    "--report needs Qt's PDF writer, which this build has not; every other output works";

// What the report says of its run on every page.
struct ReportContext {
  std::string input;               // the input as named
  std::string version;             // the program's
  std::string reference_folder;    // where the reference files were read
  bool demonstration_set = false;  // the bundled, synthetic reference profiles
  float fc_suction = 10;           // kPa
  std::string made;                // the date it was made, ISO 8601
  // The PDF's own creation date, "D:YYYYMMDDhhmmssZ", when SOURCE_DATE_EPOCH fixes it: the
  // same input then gives the same file.
  std::string fixed_pdf_date;
};

// The time a report says it was made: SOURCE_DATE_EPOCH's when set (reproducible files),
// else now, in UTC, as the strftime `format` gives it; empty with `only_fixed` when it is
// not set.
std::string report_time(const char* format, bool only_fixed = false);

// Calls the visitor with each profile again, in input order, with its reference entries;
// false when the input cannot be read again.
using ProfileVisitor = std::function<void(const ProfileResult&)>;
using Replay = std::function<bool(const ProfileVisitor&)>;

// The report: a summary of every profile first, then a page per profile. It takes each
// profile in input order as the run computes it (for the summary), then draws the document
// when the run ends, the profiles' pages from a second pass over the input, so that its memory
// stays bounded by the summary rows.
class ProfileReport {
 public:
  virtual ~ProfileReport() = default;
  virtual void add(const ProfileResult& profile) = 0;
  // Draws and ends the document; false with the reason.
  virtual bool finish(const Replay& replay, std::string& error) = 0;
};

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
