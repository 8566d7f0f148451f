// vantrel-schedule without its options: each profile of a vantrel-batch input computed as
// vantrel-batch computes it, then its season day by day on the weather of its station.
#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "batch/batch_run.hpp"
#include "data/retention_curves.hpp"
#include "data/text_tables.hpp"
#include "schedule/crop_stages.hpp"
#include "schedule/water_balance.hpp"
#include "schedule/weather_file.hpp"

namespace vantrel {

inline constexpr int kScheduleOk = 0;
inline constexpr int kScheduleProfileFailed = 1;
inline constexpr int kScheduleUsage = 2;

struct SeasonTotals {
  double etc = 0, rain = 0, effective_rain = 0, net = 0, gross = 0, deep_percolation = 0;
  int irrigations = 0;
};

// One profile's season: its days from the planting date, or why it has none.
struct SeasonResult {
  std::string profile, status = "ok", message, planting;
  DayNumber first = 0;  // the planting date
  std::vector<BalanceDay> days;
  SeasonTotals totals;
  double fp = 0;  // the profile's full point, mm
  int first_line = 0;
  bool computed() const { return status != "error"; }
};

// The season report: a summary across the profiles, then a page per profile.
class SeasonReport {
 public:
  virtual ~SeasonReport() = default;
  virtual void add(const SeasonResult& season) = 0;
  virtual bool finish(std::string& error) = 0;
};

struct ScheduleSettings {
  std::filesystem::path input;
  std::string version;
  std::optional<std::filesystem::path> schedule, events, json, report;
  float fc_suction = 10;
  ReportContext context;
  std::function<std::unique_ptr<SeasonReport>(const std::filesystem::path&, const ReportContext&)>
      make_report;
};

struct ScheduleTables {
  const RetentionCurves& curves;
  const CropTable& crops;
  const CropStageTable& stages;
  const WeatherFile& weather;
  // Where the retention file is short: a profile resting on such a place is a warning.
  const std::vector<RetentionDefect>& defects;
};

// Runs every profile; the season totals go to `out` when no output file is named, errors to
// `errors` as FILE:LINE: reason. Returns the exit status.
int run_schedule(const ScheduleSettings& settings, const ScheduleTables& tables, std::ostream& out,
                 std::ostream& errors);

}  // namespace vantrel
