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

#include "cli/exit_status.hpp"
#include "data/retention_curves.hpp"
#include "data/text_tables.hpp"
#include "report/report.hpp"
#include "season/season.hpp"

namespace vantrel {

struct ScheduleSettings {
  std::filesystem::path input;
  std::string input_name;  // how messages name the input, when not by its path ("-")
  std::string version;
  std::optional<std::filesystem::path> schedule, events, json, report;
  float fc_suction = 10;
  int jobs = 1;  // threads computing the seasons; the outputs are written in input order
  ReportContext context;
  std::function<std::unique_ptr<SeasonReport>(const std::filesystem::path&, const ReportContext&)>
      make_report;
};

struct SeasonInputs {
  const RetentionCurves& curves;
  const CropTable& crops;
  const CropStageTable& stages;
  const WeatherFile& weather;
  // Where the retention file is short: a profile resting on such a place is a warning.
  const std::vector<RetentionDefect>& defects;
  const IrrigationLog* given = nullptr;  // the irrigations actually given
  std::optional<DayNumber> today{};      // the checkbook's day
  bool kc_as_table = false;              // Kc mid and Kc end as the stages give them
};

// Runs every profile; the season totals go to `out` when no output file is named, errors to
// `errors` as FILE:LINE: reason. Returns the exit status.
int run_schedule(const ScheduleSettings& settings, const SeasonInputs& inputs, std::ostream& out,
                 std::ostream& errors);

}  // namespace vantrel
