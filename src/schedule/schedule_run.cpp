#include "schedule/schedule_run.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <ostream>
#include <sstream>

#include "batch/batch_input.hpp"
#include "batch/batch_output.hpp"
#include "batch/batch_profile.hpp"
#include "data/atomic_file.hpp"
#include "data/command_line.hpp"
#include "data/csv_reader.hpp"
#include "data/fields.hpp"
#include "data/number_text.hpp"
#include "data/safe_text.hpp"
#include "data/text.hpp"

namespace vantrel {

namespace {

// The season's columns of the profile file, beside vantrel-batch's.
enum Extra {
  kPlanting,
  kInitial,
  kStation,
  kKcIni,
  kKcMid,
  kKcEnd,
  kLIni,
  kLDev,
  kLMid,
  kLLate,
  kExtras
};
constexpr std::array<std::string_view, kExtras> kExtraNames = {
    "planting_date", "initial_depletion_mm",
    "station",       "kc_ini",
    "kc_mid",        "kc_end",
    "l_ini",         "l_dev",
    "l_mid",         "l_late"};
using ExtraColumns = std::array<std::optional<std::size_t>, kExtras>;

// A profile's value of a season column: the first row that gives it.
std::string extra(const ExtraColumns& at, const ProfileInput& input, Extra e, int& line) {
  if (!at[e]) return {};
  for (const BatchRow& row : input.rows) {
    if (*at[e] < row.fields.size()) {
      const std::string_view cell = trimmed_field(row.fields[*at[e]]);
      if (!cell.empty()) {
        line = row.line;
        return std::string(cell);
      }
    }
  }
  return {};
}

void say(SeasonResult& s, const std::string& status, const std::string& reason) {
  if (s.status != "error") s.status = status;
  s.message += (s.message.empty() ? "" : "; ") + reason;
}

// The crop's stages: the profile's own columns when it gives all seven, else the table's.
std::optional<CropStages> stages_of(const ExtraColumns& at, const ProfileInput& input,
                                    const std::string& crop, const CropStageTable& table,
                                    std::string& reason) {
  std::array<double, 7> v{};
  int given = 0;
  for (int e = kKcIni; e <= kLLate; ++e) {
    int line = 0;
    const std::string text = extra(at, input, static_cast<Extra>(e), line);
    if (text.empty()) continue;
    float number = 0;
    if (read_field_number(text, number) != FieldNumber::value || number < 0) {
      reason =
          std::string(kExtraNames[e]) + " " + in_quotes(text) + " is not a number of 0 or more";
      return std::nullopt;
    }
    v[static_cast<std::size_t>(e - kKcIni)] = number;
    ++given;
  }
  if (given == 7) return crop_stages_from(v, reason);
  if (given > 0) {
    reason = "give all seven of kc_ini, kc_mid, kc_end, l_ini, l_dev, l_mid and l_late, or none";
    return std::nullopt;
  }
  const auto found = table.find(crop);
  if (found == table.end()) {
    reason = crop.empty() ? "no crop stages: give kc_ini, kc_mid, kc_end, l_ini, l_dev, l_mid "
                            "and l_late"
                          : "no crop stages for crop " + in_quotes(crop) +
                                ": give kc_ini, kc_mid, kc_end, l_ini, l_dev, l_mid and l_late";
    return std::nullopt;
  }
  return found->second;
}

std::string mm(double v) {
  return shortest_form(static_cast<float>(v));
}

SeasonResult season_of(const ProfileResult& r, const ExtraColumns& at, const ProfileInput& input,
                       const ScheduleTables& tables) {
  SeasonResult s;
  s.profile = r.name;
  s.first_line = r.first_line;
  s.fp = r.water.fp;
  if (r.status == ProfileStatus::error) {
    say(s, "error", r.message);
    return s;
  }
  if (r.status == ProfileStatus::warning) say(s, "warning", r.message);
  int line = r.first_line;
  s.planting = extra(at, input, kPlanting, line);
  const auto planting = parse_iso_date(s.planting);
  if (!planting) {
    say(s, "error",
        "line " + std::to_string(line) + ": planting_date " + in_quotes(s.planting) +
            " is not a date as 2026-05-01");
    return s;
  }
  std::string reason;
  const auto crop = stages_of(at, input, r.crop, tables.stages, reason);
  if (!crop) {
    say(s, "error", "line " + std::to_string(r.first_line) + ": " + reason);
    return s;
  }
  line = r.first_line;
  const std::string station = extra(at, input, kStation, line);
  const StationWeather* w = tables.weather.find(station);
  if (w == nullptr && station.empty() && tables.weather.stations.size() == 1)
    w = &tables.weather.stations[0];
  if (w == nullptr) {
    say(s, "error",
        "line " + std::to_string(line) + ": no weather for station " + in_quotes(station));
    return s;
  }
  if (*planting < w->first || *planting > w->last()) {
    say(s, "error",
        "the planting date " + iso_date(*planting) + " is outside the weather (" +
            iso_date(w->first) + " to " + iso_date(w->last()) + ")");
    return s;
  }
  RootZone zone;
  zone.taw = r.water.root_zone_taw;
  zone.p_table_pct = r.p_table;
  zone.efficiency_pct = r.efficiency;
  zone.fc_water = r.water.fp;
  const std::string initial = extra(at, input, kInitial, line);
  float depletion = 0;
  if (!initial.empty() &&
      (read_field_number(initial, depletion) != FieldNumber::value || depletion < 0)) {
    say(s, "error",
        "line " + std::to_string(line) + ": initial_depletion_mm " + in_quotes(initial) +
            " is not a number of 0 or more");
    return s;
  }
  // Deeper than the total available water is drier than the wilting point, which no root
  // zone is; the first morning would then "irrigate" water the soil cannot hold.
  if (depletion > zone.taw) {
    say(s, "error",
        "line " + std::to_string(line) + ": initial_depletion_mm " + in_quotes(initial) +
            " is above the root zone's total available water, " + mm(zone.taw) + " mm");
    return s;
  }
  zone.initial_depletion = depletion;
  s.first = *planting;
  const auto offset = static_cast<std::size_t>(*planting - w->first);
  s.days = water_balance(zone, *crop, std::span(w->days).subspan(offset));
  if (static_cast<int>(s.days.size()) < crop->season_days()) {
    say(s, "warning",
        "the weather ends on " + iso_date(w->last()) + ", day " + std::to_string(s.days.size()) +
            " of the season's " + std::to_string(crop->season_days()));
  }
  if (w->rs_from_temperature) {
    say(s, "warning", "solar radiation from the temperature range (FAO-56 eq. 50) on some days");
  }
  for (const BalanceDay& d : s.days) {
    s.totals.etc += d.etc;
    s.totals.rain += d.rain;
    s.totals.net += d.net;
    s.totals.gross += d.gross;
    s.totals.deep_percolation += d.deep_percolation;
    s.totals.irrigations += d.net > 0;
  }
  s.totals.effective_rain = s.totals.rain - s.totals.deep_percolation;
  return s;
}

std::string schedule_rows(const SeasonResult& s) {
  std::string out;
  for (const BalanceDay& d : s.days) {
    out += csv_field(spreadsheet_text(s.profile)) + ',' + iso_date(s.first + d.day - 1) + ',' +
           std::to_string(d.day) + ',' + std::string(stage_name(d.stage)) + ',' + mm(d.kc) + ',' +
           mm(d.et0) + ',' + mm(d.etc) + ',' + mm(d.rain) + ',' + mm(d.depletion) + ',' +
           mm(d.net) + ',' + mm(d.gross) + ',' + mm(d.deep_percolation) + ',' + mm(d.soil_water) +
           ',' + mm(s.fp) + ',' + mm(s.fp - d.raw) + '\n';
  }
  return out;
}

std::string event_rows(const SeasonResult& s) {
  std::string out;
  for (const BalanceDay& d : s.days) {
    if (d.net <= 0) continue;
    out += csv_field(spreadsheet_text(s.profile)) + ',' + iso_date(s.first + d.day - 1) + ',' +
           std::to_string(d.day) + ',' + std::string(stage_name(d.stage)) + ',' + mm(d.net) + ',' +
           mm(d.gross) + '\n';
  }
  return out;
}

std::string totals_row(const SeasonResult& s) {
  const bool computed = s.computed();
  const auto n = [&](double v) { return computed ? mm(v) : std::string(); };
  return csv_field(spreadsheet_text(s.profile)) + ',' + s.status + ',' + s.planting + ',' +
         (computed ? std::to_string(s.days.size()) : "") + ',' + n(s.totals.etc) + ',' +
         n(s.totals.rain) + ',' + n(s.totals.effective_rain) + ',' + n(s.totals.net) + ',' +
         n(s.totals.gross) + ',' + n(s.totals.deep_percolation) + ',' +
         (computed ? std::to_string(s.totals.irrigations) : "") + ',' +
         csv_field(spreadsheet_text(s.message)) + '\n';
}

std::string json_season(const SeasonResult& s) {
  std::string out =
      "\n    {\"profile\": " + json_string(s.profile) + ", \"status\": " + json_string(s.status) +
      ", \"message\": " + json_string(s.message) +
      ", \"planting_date\": " + json_string(s.planting) +
      ", \"season_days\": " + std::to_string(s.days.size()) +
      ",\n     \"totals\": {\"etc_mm\": " + mm(s.totals.etc) +
      ", \"rain_mm\": " + mm(s.totals.rain) +
      ", \"effective_rain_mm\": " + mm(s.totals.effective_rain) +
      ", \"irrigation_net_mm\": " + mm(s.totals.net) +
      ", \"irrigation_gross_mm\": " + mm(s.totals.gross) +
      ", \"deep_percolation_mm\": " + mm(s.totals.deep_percolation) +
      ", \"irrigations\": " + std::to_string(s.totals.irrigations) + "},\n     \"events\": [";
  bool first = true;
  for (const BalanceDay& d : s.days) {
    if (d.net <= 0) continue;
    out += std::string(first ? "" : ", ") + "{\"date\": \"" + iso_date(s.first + d.day - 1) +
           "\", \"day\": " + std::to_string(d.day) + ", \"net_mm\": " + mm(d.net) +
           ", \"gross_mm\": " + mm(d.gross) + "}";
    first = false;
  }
  return out + "]}";
}

constexpr const char* kScheduleHeader =
    "profile,date,day,stage,kc,et0_mm,etc_mm,rain_mm,depletion_mm,irrigation_net_mm,"
    "irrigation_gross_mm,deep_percolation_mm,soil_water_mm,fp_mm,rp_mm\n";
constexpr const char* kEventsHeader =
    "profile,date,day,stage,irrigation_net_mm,irrigation_gross_mm\n";
constexpr const char* kTotalsHeader =
    "profile,status,planting_date,season_days,etc_mm,rain_mm,effective_rain_mm,"
    "irrigation_net_mm,irrigation_gross_mm,deep_percolation_mm,irrigations,message\n";

}  // namespace

int run_schedule(const ScheduleSettings& settings, const ScheduleTables& tables, std::ostream& out,
                 std::ostream& errors) {
  const std::string name = settings.input.string();
  if (const auto why = unreadable_input(settings.input)) {
    errors << name << ": cannot read: " << *why << '\n';
    return kScheduleUsage;
  }
  std::ifstream in(settings.input, std::ios::binary);
  CsvReader reader(in, CsvReader::kMaxLine, kFindSeparator);
  CsvRecord header;
  ColumnMap columns;
  std::string problem;
  std::vector<std::string> ignored;
  if (!reader.next(header) || !header.error.empty() ||
      !columns.read(header.fields, problem, ignored)) {
    errors << name << ":1: " << (problem.empty() ? "no usable header row" : problem) << '\n';
    return kScheduleUsage;
  }
  columns.decimal_comma = reader.separator() == ';';
  ExtraColumns at;
  for (std::size_t i = 0; i < header.fields.size(); ++i) {
    const std::string column = ascii_lower(trimmed_field(header.fields[i]));
    const auto known = std::find(kExtraNames.begin(), kExtraNames.end(), column);
    if (known != kExtraNames.end()) at[static_cast<std::size_t>(known - kExtraNames.begin())] = i;
  }
  std::ifstream again(settings.input, std::ios::binary);
  CsvReader first_pass(again, CsvReader::kMaxLine, reader.separator());
  CsvRecord skipped;
  first_pass.next(skipped);
  SplitProfiles split;
  if (!split.find(first_pass, columns, problem)) {
    errors << name << ": " << problem << '\n';
    return kScheduleUsage;
  }

  struct Output {
    const std::optional<std::filesystem::path>& path;
    AtomicFile file;
  };
  std::array<Output, 4> outputs = {
      {{settings.schedule, {}}, {settings.events, {}}, {settings.json, {}}, {settings.report, {}}}};
  for (Output& o : outputs) {
    if (o.path && !o.file.open(*o.path, problem)) {
      errors << o.path->string() << ": cannot write: " << problem << '\n';
      return kScheduleUsage;
    }
  }
  const bool totals_out =
      !settings.schedule && !settings.events && !settings.json && !settings.report;
  std::unique_ptr<SeasonReport> report;
  if (settings.report && settings.make_report) {
    outputs[3].file.release();
    report = settings.make_report(outputs[3].file.temporary(), settings.context);
  }
  if (settings.schedule) outputs[0].file.write(kScheduleHeader);
  if (settings.events) outputs[1].file.write(kEventsHeader);
  if (settings.json) {
    outputs[2].file.write("{\n  \"program\": \"vantrel-schedule\",\n  \"version\": " +
                          json_string(settings.version) + ",\n  \"profiles\": [");
  }
  if (totals_out) out << kTotalsHeader;

  const BatchTables batch(tables.curves, tables.crops, tables.defects);
  ProfileReader profiles(reader, columns, split);
  ProfileInput input;
  BadLines bad_lines;
  int failed = 0, count = 0;
  while (profiles.next(input, bad_lines)) {
    const ProfileResult r = compute_profile(batch, columns, input, {settings.fc_suction, false});
    const SeasonResult s = season_of(r, at, input, tables);
    if (s.status == "error") {
      ++failed;
      errors << name << ':' << s.first_line << ": " << terminal_text(s.message) << '\n';
    }
    if (settings.schedule) outputs[0].file.write(schedule_rows(s));
    if (settings.events) outputs[1].file.write(event_rows(s));
    if (settings.json) outputs[2].file.write((count > 0 ? "," : "") + json_season(s));
    if (totals_out) out << totals_row(s);
    if (report) report->add(s);
    ++count;
  }
  for (const std::string& bad : bad_lines.kept)
    errors << name << ':' << terminal_text(bad) << '\n';
  if (settings.json) outputs[2].file.write("\n  ]\n}\n");
  bool written = true;
  if (report && !report->finish(problem)) {
    errors << settings.report->string() << ": cannot write: " << problem << '\n';
    outputs[3].file.discard();
    return kScheduleUsage;
  }
  for (Output& o : outputs) {
    if (o.path && !o.file.commit(problem)) {
      errors << o.path->string() << ": cannot write: " << problem << '\n';
      written = false;
    }
  }
  if (!written) return kScheduleUsage;
  return failed > 0 || !bad_lines.empty() ? kScheduleProfileFailed : kScheduleOk;
}

}  // namespace vantrel
