// vantrel-schedule without its options: each profile of a vantrel-batch input computed as
// vantrel-batch computes it, then its season day by day on the weather of its station.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>

#include "data/retention_curves.hpp"
#include "data/text_tables.hpp"
#include "schedule/water_balance.hpp"
#include "schedule/weather_file.hpp"

namespace vantrel {

inline constexpr int kScheduleOk = 0;
inline constexpr int kScheduleProfileFailed = 1;
inline constexpr int kScheduleUsage = 2;

// Crop stages by crop name: a file of rows name, kc_ini, kc_mid, kc_end, l_ini, l_dev, l_mid,
// l_late after a header, '#' lines being comments; false with the reason ("LINE: reason").
using CropStageTable = std::map<std::string, CropStages, std::less<>>;
bool read_crop_stages(std::istream& in, CropStageTable& table, std::string& error);

struct ScheduleSettings {
  std::filesystem::path input;
  std::string version;
  std::optional<std::filesystem::path> schedule, events, json;
  float fc_suction = 10;
};

struct ScheduleTables {
  const RetentionCurves& curves;
  const CropTable& crops;
  const CropStageTable& stages;
  const WeatherFile& weather;
};

// Runs every profile; the season totals go to `out` when no output file is named, errors to
// `errors` as FILE:LINE: reason. Returns the exit status.
int run_schedule(const ScheduleSettings& settings, const ScheduleTables& tables, std::ostream& out,
                 std::ostream& errors);

}  // namespace vantrel
