#include "schedule/schedule_run.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <ostream>
#include <sstream>

#include "advice/profile_reader.hpp"
#include "cli/command_line.hpp"
#include "cli/output_set.hpp"
#include "data/csv_reader.hpp"
#include "data/fields.hpp"
#include "data/number_text.hpp"
#include "data/safe_text.hpp"
#include "data/text.hpp"

namespace vantrel {

namespace {

std::string mm(double v) {
  return season_number(v);
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
  const std::string name =
      settings.input_name.empty() ? settings.input.string() : settings.input_name;
  if (const auto why = unreadable_input(settings.input)) {
    errors << name << ": cannot read: " << *why << '\n';
    return kExitUsage;
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
    return kExitUsage;
  }
  columns.decimal_comma = reader.separator() == ';';
  SeasonColumns at;
  at.read(header.fields);
  at.decimal_comma = columns.decimal_comma;
  // A misspelt season column would silently give a season without it.
  for (const std::string& column : ignored) {
    if (!SeasonColumns::known(column))
      errors << name << ':' << header.line << ": column \"" << terminal_text(column)
             << "\" is not used\n";
  }
  std::ifstream again(settings.input, std::ios::binary);
  CsvReader first_pass(again, CsvReader::kMaxLine, reader.separator());
  CsvRecord skipped;
  first_pass.next(skipped);
  SplitProfiles split;
  if (!split.find(first_pass, columns, problem)) {
    errors << name << ": " << problem << '\n';
    return kExitUsage;
  }

  OutputSet outputs(out);
  const std::size_t schedule = outputs.add(settings.schedule),
                    events = outputs.add(settings.events), json = outputs.add(settings.json),
                    report_file = outputs.add(settings.report);
  if (!outputs.open(problem)) {
    errors << problem << '\n';
    return kExitUsage;
  }
  const bool totals_out =
      !settings.schedule && !settings.events && !settings.json && !settings.report;
  std::unique_ptr<SeasonReport> report;
  if (settings.report && settings.make_report) {
    outputs.file(report_file).release();
    report = settings.make_report(outputs.file(report_file).temporary(), settings.context);
  }
  outputs.write(schedule, kScheduleHeader);
  outputs.write(events, kEventsHeader);
  outputs.write(json, "{\n  \"program\": \"vantrel-schedule\",\n  \"version\": " +
                          json_string(settings.version) + ",\n  \"profiles\": [");
  if (totals_out) out << kTotalsHeader;

  const BatchTables batch(tables.curves, tables.crops, tables.defects);
  ProfileReader profiles(reader, columns, split);
  ProfileInput input;
  BadLines bad_lines;
  int failed = 0, count = 0;
  while (profiles.next(input, bad_lines)) {
    const ProfileResult r = compute_profile(batch, columns, input, {settings.fc_suction, false});
    const SeasonResult s = season_of(r, at, input, {tables.stages, tables.weather});
    if (s.status == "error") {
      ++failed;
      errors << name << ':' << s.first_line << ": " << terminal_text(s.message) << '\n';
    }
    if (settings.schedule) outputs.write(schedule, schedule_rows(s));
    if (settings.events) outputs.write(events, event_rows(s));
    if (settings.json) outputs.write(json, (count > 0 ? "," : "") + json_season(s));
    if (totals_out) out << totals_row(s);
    if (report) report->add(s);
    ++count;
  }
  for (const TableProblem& bad : bad_lines.kept)
    errors << name << ':' << bad.line << ": " << terminal_text(bad.reason) << '\n';
  outputs.write(json, "\n  ]\n}\n");
  if (report && !report->finish(problem)) {
    errors << settings.report->string() << ": cannot write: " << problem << '\n';
    outputs.discard(report_file);
    return kExitUsage;
  }
  const bool written = outputs.commit(errors);
  if (!written) return kExitUsage;
  return failed > 0 || !bad_lines.empty() ? kExitFailed : kExitOk;
}

}  // namespace vantrel
