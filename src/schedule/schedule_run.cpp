#include "schedule/schedule_run.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <ostream>
#include <sstream>

#include "advice/profile_reader.hpp"
#include "cli/command_line.hpp"
#include "cli/ordered_jobs.hpp"
#include "cli/output_set.hpp"
#include "data/csv_reader.hpp"
#include "data/csv_row.hpp"
#include "data/fields.hpp"
#include "data/number_text.hpp"
#include "data/path_text.hpp"
#include "data/safe_text.hpp"
#include "data/text.hpp"

namespace vantrel {

namespace {

std::string mm(double v) {
  return season_number(v);
}

// Which rule gave the day's irrigation, in words; empty on a day without one.
std::string rule_text(const SeasonResult& s, const BalanceDay& d) {
  std::string text;
  switch (d.rule) {
    case IrrigationRule::none:
      return {};
    case IrrigationRule::given:
      return "given";
    case IrrigationRule::interval:
      text = "every " + std::to_string(s.every_days) + " days";
      break;
    case IrrigationRule::refill:
    case IrrigationRule::fixed_depth:
    case IrrigationRule::deficit:
      text = std::string(d.rule == IrrigationRule::refill        ? "refill"
                         : d.rule == IrrigationRule::fixed_depth ? "fixed depth"
                                                                 : "deficit") +
             (d.by_mad ? " at the stage's MAD, " : " at p, ") + mm(d.p_pct) + " %";
      break;
  }
  if (d.capped) text += ", held to the system's capacity";
  return text;
}

// A season's figure in a row: its shortest form, a "-0" written 0.
CsvRow& figure(CsvRow& row, double v) {
  return row.number(season_value(v));
}

// The profile's cell, as every row of its season writes it.
std::string profile_cell(const SeasonResult& s) {
  std::string cell;
  CsvRow(cell).text(s.profile);
  return cell;
}

void append_schedule_rows(const SeasonResult& s, ShortestForms& forms, std::string& out) {
  const std::string profile = profile_cell(s);
  for (const BalanceDay& d : s.days) {
    CsvRow row(out, ',', '.', &forms);
    row.raw(profile).raw(iso_date(s.first + d.day - 1)).integer(d.day).raw(stage_name(d.stage));
    for (const double v :
         {d.kc, d.et0, d.etc, d.rain, d.depletion, d.net, d.gross, d.deep_percolation, d.soil_water,
          s.fp, s.fp - d.raw, d.root_depth, d.taw, d.runoff, d.ks, d.etc_adj}) {
      figure(row, v);
    }
    row.field(rule_text(s, d)).raw(s.status).end();
  }
}

void append_event_rows(const SeasonResult& s, ShortestForms& forms, std::string& out) {
  const std::string profile = profile_cell(s);
  for (const BalanceDay& d : s.days) {
    if (d.net <= 0) continue;
    CsvRow row(out, ',', '.', &forms);
    row.raw(profile).raw(iso_date(s.first + d.day - 1)).integer(d.day).raw(stage_name(d.stage));
    figure(figure(row, d.net), d.gross).field(rule_text(s, d)).raw(s.status).end();
  }
}

std::string totals_row(const SeasonResult& s) {
  const bool computed = s.computed();
  const auto n = [&](double v) { return computed ? mm(v) : std::string(); };
  const auto date = [](const std::optional<DayNumber>& d) { return d ? iso_date(*d) : ""; };
  return csv_field(spreadsheet_text(s.profile)) + ',' + s.status + ',' +
         csv_field(spreadsheet_text(s.planting)) + ',' + date(s.today) + ',' +
         (s.today ? mm(s.today_depletion) : "") + ',' + (s.today ? mm(s.today_soil_water) : "") +
         ',' + date(s.next_irrigation) + ',' + (s.next_irrigation ? mm(s.next_net) : "") + ',' +
         (computed ? std::to_string(s.days.size()) : "") + ',' + n(s.totals.etc) + ',' +
         n(s.totals.rain) + ',' + n(s.totals.effective_rain) + ',' + n(s.totals.net) + ',' +
         n(s.totals.gross) + ',' + n(s.totals.deep_percolation) + ',' +
         (computed ? std::to_string(s.totals.irrigations) : "") + ',' + n(s.totals.runoff) + ',' +
         n(s.totals.etc_adj) + ',' + (computed ? std::to_string(s.totals.stress_days) : "") + ',' +
         n(s.kc_mid) + ',' + n(s.kc_end) + ',' +
         (s.yield_reduction_pct ? mm(*s.yield_reduction_pct) : "") + ',' +
         (s.yield_reduction_stages_pct ? mm(*s.yield_reduction_stages_pct) : "") + ',' +
         csv_field(spreadsheet_text(s.message)) + '\n';
}

std::string json_season(const SeasonResult& s) {
  std::string out =
      "\n    {\"profile\": " + json_string(s.profile) + ", \"status\": " + json_string(s.status) +
      ", \"message\": " + json_string(s.message) +
      ", \"planting_date\": " + json_string(s.planting) +
      ",\n     \"today\": " + (s.today ? json_string(iso_date(*s.today)) : "null") +
      ", \"today_depletion_mm\": " + (s.today ? mm(s.today_depletion) : "null") +
      ", \"today_soil_water_mm\": " + (s.today ? mm(s.today_soil_water) : "null") +
      ", \"next_irrigation_date\": " +
      (s.next_irrigation ? json_string(iso_date(*s.next_irrigation)) : "null") +
      ", \"next_irrigation_net_mm\": " + (s.next_irrigation ? mm(s.next_net) : "null") +
      ", \"season_days\": " + std::to_string(s.days.size()) +
      ",\n     \"totals\": {\"etc_mm\": " + mm(s.totals.etc) +
      ", \"rain_mm\": " + mm(s.totals.rain) +
      ", \"effective_rain_mm\": " + mm(s.totals.effective_rain) +
      ", \"irrigation_net_mm\": " + mm(s.totals.net) +
      ", \"irrigation_gross_mm\": " + mm(s.totals.gross) +
      ", \"deep_percolation_mm\": " + mm(s.totals.deep_percolation) +
      ", \"irrigations\": " + std::to_string(s.totals.irrigations) +
      ", \"runoff_mm\": " + mm(s.totals.runoff) + ", \"etc_adj_mm\": " + mm(s.totals.etc_adj) +
      ", \"stress_days\": " + std::to_string(s.totals.stress_days) +
      ", \"kc_mid\": " + mm(s.kc_mid) + ", \"kc_end\": " + mm(s.kc_end) +
      ", \"yield_reduction_pct\": " +
      (s.yield_reduction_pct ? mm(*s.yield_reduction_pct) : std::string("null")) +
      ", \"yield_reduction_stages_pct\": " +
      (s.yield_reduction_stages_pct ? mm(*s.yield_reduction_stages_pct) : std::string("null")) +
      "},\n     \"events\": [";
  bool first = true;
  for (const BalanceDay& d : s.days) {
    if (d.net <= 0) continue;
    out += std::string(first ? "" : ", ") + "{\"date\": \"" + iso_date(s.first + d.day - 1) +
           "\", \"day\": " + std::to_string(d.day) + ", \"net_mm\": " + mm(d.net) +
           ", \"gross_mm\": " + mm(d.gross) + ", \"rule\": " + json_string(rule_text(s, d)) + "}";
    first = false;
  }
  return out + "]}";
}

constexpr const char* kScheduleHeader =
    "profile,date,day,stage,kc,et0_mm,etc_mm,rain_mm,depletion_mm,irrigation_net_mm,"
    "irrigation_gross_mm,deep_percolation_mm,soil_water_mm,fp_mm,rp_mm,root_depth_cm,taw_mm,"
    "runoff_mm,ks,etc_adj_mm,rule,status\n";
constexpr const char* kEventsHeader =
    "profile,date,day,stage,irrigation_net_mm,irrigation_gross_mm,rule,status\n";
constexpr const char* kTotalsHeader =
    "profile,status,planting_date,today,today_depletion_mm,today_soil_water_mm,"
    "next_irrigation_date,next_irrigation_net_mm,season_days,etc_mm,rain_mm,effective_rain_mm,"
    "irrigation_net_mm,irrigation_gross_mm,deep_percolation_mm,irrigations,runoff_mm,etc_adj_mm,"
    "stress_days,kc_mid,kc_end,yield_reduction_pct,yield_reduction_stages_pct,message\n";

// The profile file as the season reads it: the field's columns and the season's, and the
// split profiles found by a first pass.
struct ProfileFile {
  explicit ProfileFile(const std::filesystem::path& path)
      : in(path, std::ios::binary), reader(in, CsvReader::kMaxLine, kFindSeparator) {}
  std::ifstream in;
  CsvReader reader;
  ColumnMap columns;
  SeasonColumns season;
  SplitProfiles split;
};

// Reads the header and finds the split profiles; false with the reason written.
bool open_profiles(const std::filesystem::path& path, const std::string& name, ProfileFile& file,
                   std::ostream& errors) {
  CsvRecord header;
  std::vector<std::string> ignored;
  TableProblem problem;
  if (!read_profile_header(file.reader, file.columns, header, ignored, problem)) {
    errors << name << ':' << problem.line << ": " << problem.reason << '\n';
    return false;
  }
  file.season.read(header.fields);
  file.season.decimal_comma = file.columns.decimal_comma;
  // A misspelt season column would silently give a season without it.
  for (const std::string& column : ignored) {
    if (!SeasonColumns::known(column))
      errors << name << ':' << header.line << ": column \"" << terminal_text(column)
             << "\" is not used\n";
  }
  std::string reason;
  if (!find_split_profiles(path, file.reader.separator(), file.columns, file.split, reason)) {
    errors << name << ": " << reason << '\n';
    return false;
  }
  return true;
}

// Some seasons' rows for each output, made on a job and written in order.
struct SeasonText {
  std::string schedule, events, totals;
  std::vector<std::string> json;  // one object a season
};

// Profiles read together, computed on one job.
struct SeasonChunk {
  std::vector<ProfileInput> inputs;
  std::vector<SeasonResult> seasons;
  SeasonText text;
};
constexpr std::size_t kChunkProfiles = 16;
// Room for a chunk's daily rows over a half-year season, so that they are not moved as they grow.
constexpr std::size_t kChunkScheduleBytes = kChunkProfiles * 190 * 140;

// The run's outputs and what goes into each.
class SeasonOutputs {
 public:
  SeasonOutputs(const ScheduleSettings& settings, std::ostream& out)
      : settings_(settings),
        out_(out),
        files_(out),
        schedule_(files_.add(settings.schedule)),
        events_(files_.add(settings.events)),
        json_(files_.add(settings.json)),
        report_file_(files_.add(settings.report)),
        totals_(!settings.schedule && !settings.events && !settings.json && !settings.report) {}

  bool open(std::string& problem) {
    if (!files_.open(problem)) return false;
    if (settings_.report && settings_.make_report) {
      files_.file(report_file_).release();
      report_ = settings_.make_report(files_.file(report_file_).temporary(), settings_.context);
    }
    files_.write(schedule_, kScheduleHeader);
    files_.write(events_, kEventsHeader);
    files_.write(json_, "{\n  \"program\": \"vantrel-schedule\",\n  \"version\": " +
                            json_string(settings_.version) + ",\n  \"profiles\": [");
    if (totals_) out_ << kTotalsHeader;
    return true;
  }

  // A season's rows for each output asked for, on any job: `forms` is the job's own.
  void format(const SeasonResult& s, ShortestForms& forms, SeasonText& text) const {
    if (settings_.schedule) append_schedule_rows(s, forms, text.schedule);
    if (settings_.events) append_event_rows(s, forms, text.events);
    if (settings_.json) text.json.push_back(json_season(s));
    if (totals_) text.totals += totals_row(s);
  }

  // The seasons' rows written, in input order, on the run's own thread.
  void write(const std::vector<SeasonResult>& seasons, const SeasonText& text) {
    files_.write(schedule_, text.schedule);
    files_.write(events_, text.events);
    for (const std::string& season : text.json) {
      files_.write(json_, (count_ > 0 ? "," : "") + season);
      ++count_;
    }
    if (totals_) out_ << text.totals;
    if (report_) {
      for (const SeasonResult& s : seasons)
        report_->add(s);
    }
  }

  // Ends and puts every output in place; false with the reasons written.
  bool finish(std::ostream& errors) {
    files_.write(json_, "\n  ]\n}\n");
    std::string problem;
    if (report_ && !report_->finish(problem)) {
      errors << path_text(*settings_.report) << ": cannot write: " << problem << '\n';
      files_.discard(report_file_);
      return false;
    }
    const bool committed = files_.commit(errors);
    out_.flush();
    if (!out_) {
      errors << "vantrel-schedule: standard output: cannot write\n";
      return false;
    }
    return committed;
  }

 private:
  const ScheduleSettings& settings_;
  std::ostream& out_;
  OutputSet files_;
  std::size_t schedule_, events_, json_, report_file_;
  bool totals_;  // the season totals to standard output, when no output is named
  std::unique_ptr<SeasonReport> report_;
  int count_ = 0;  // seasons written to JSON
};

}  // namespace

int run_schedule(const ScheduleSettings& settings, const SeasonInputs& inputs, std::ostream& out,
                 std::ostream& errors) {
  const std::string name =
      settings.input_name.empty() ? path_text(settings.input) : settings.input_name;
  if (const auto why = unreadable_input(settings.input)) {
    errors << name << ": cannot read: " << *why << '\n';
    return kExitUsage;
  }
  ProfileFile file(settings.input);
  if (!open_profiles(settings.input, name, file, errors)) return kExitUsage;
  SeasonOutputs outputs(settings, out);
  std::string problem;
  if (!outputs.open(problem)) {
    errors << problem << '\n';
    return kExitUsage;
  }
  const AdviceTables tables(inputs.curves, inputs.crops, inputs.defects);
  ProfileReader profiles(file.reader, file.columns, file.split);
  BadLines bad_lines;
  int failed = 0;
  const auto read = [&](SeasonChunk& chunk) {
    for (ProfileInput input; chunk.inputs.size() < kChunkProfiles;) {
      if (!profiles.next(input, bad_lines)) break;
      chunk.inputs.push_back(std::move(input));
    }
    return !chunk.inputs.empty();
  };
  const auto compute = [&](SeasonChunk& chunk) {
    ShortestForms forms;
    if (settings.schedule) chunk.text.schedule.reserve(kChunkScheduleBytes);
    for (const ProfileInput& input : chunk.inputs) {
      const ProfileResult r =
          compute_profile(tables, file.columns, input, {settings.fc_suction, false});
      chunk.seasons.push_back(season_of(
          r, file.season, input,
          {inputs.stages, inputs.weather, inputs.given, inputs.today, inputs.kc_as_table}));
      outputs.format(chunk.seasons.back(), forms, chunk.text);
    }
  };
  const auto write = [&](SeasonChunk& chunk) {
    for (const SeasonResult& s : chunk.seasons) {
      if (!s.computed()) {
        ++failed;
        errors << name << ':' << s.first_line << ": " << terminal_text(s.message) << '\n';
      } else if (s.status == "warning") {
        // Said whatever the outputs: a schedule or events file that stops early is no answer.
        errors << name << ':' << s.first_line << ": warning: " << terminal_text(s.message) << '\n';
      }
    }
    outputs.write(chunk.seasons, chunk.text);
    return true;
  };
  const int jobs = std::max(settings.jobs, 1);
  OrderedJobs<SeasonChunk>(read, compute, write, 4 * static_cast<std::size_t>(jobs)).run(jobs);
  for (const TableProblem& bad : bad_lines.kept)
    errors << name << ':' << bad.line << ": " << terminal_text(bad.reason) << '\n';
  if (!outputs.finish(errors)) return kExitUsage;
  return failed > 0 || !bad_lines.empty() ? kExitFailed : kExitOk;
}

}  // namespace vantrel
