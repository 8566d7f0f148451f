// vantrel-schedule: when to irrigate and how much, day by day, over a season.
#include <algorithm>
#include <array>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/command_line.hpp"
#include "cli/kept_input.hpp"
#include "cli/output_set.hpp"
#include "cli/reference_folders.hpp"
#include "cli/reference_set.hpp"
#include "cli/report_time.hpp"
#include "cli/report_units.hpp"
#include "data/atomic_file.hpp"
#include "data/fields.hpp"
#include "data/number_text.hpp"
#include "data/reference_file.hpp"
#include "data/safe_text.hpp"
#include "schedule/schedule_run.hpp"
#ifdef VANTREL_PDF_REPORT
#include "report/pdf_writer.hpp"
#include "report/report_toolkit.hpp"
#endif
#include "data/path_text.hpp"
#include "report/reports.hpp"

namespace {

using namespace vantrel;

constexpr std::string_view kUsage =
    R"(Usage: vantrel-schedule --weather WEATHER.csv [OPTION]... PROFILES.csv
Gives, for every profile of PROFILES.csv (the input of vantrel-batch, with a planting_date
column), a season's daily root-zone water balance after FAO-56 chapter 8: the crop's water
use from the weather and its stages, the depletion of the root zone, and irrigation on the
morning of the first day that would pass the readily available water, back to field capacity.

PROFILES.csv: vantrel-batch's columns, and per profile planting_date (ISO 8601),
initial_depletion_mm (default 0), station (to pair with the weather's), and the crop's
stages kc_ini, kc_mid, kc_end, l_ini, l_dev, l_mid, l_late (all seven, or by crop name from
--crop-stages or the bundled FAO-56 stages). PROFILES.csv "-" reads standard input.
WEATHER.csv: date, and et0_mm or the daily data for Penman-Monteith (tmax_c, tmin_c, rh_max
and rh_min or rh_mean or tdew_c, wind_m_s with wind_height_m, rs_mj_m2 or sunshine_h),
rain_mm, station, latitude and elevation_m. Each file may be saved with semicolons and
decimal commas; column names are read in any case.

Options:
  --weather FILE       the weather of the season (required)
  --irrigations FILE   the irrigations given: profile, date, and net_mm or gross_mm; up to
                       today they replace the strategy, which plans the days after
  --today DATE         the checkbook's day (default: the last irrigation given)
  --kc-as-table        Kc mid and Kc end as the crop stages give them, not adjusted for the
                       weather's wind and minimum humidity (FAO-56 eq. 62)
  --crop-stages FILE   crop stages by crop name: name,kc_ini,kc_mid,kc_end,l_ini,l_dev,l_mid,l_late
                       (default: crop_coefficients.csv of the reference folder, if there)
  --latitude DEG       the station's latitude (north positive), for Penman-Monteith
  --elevation M        the station's elevation
  --data DIR           the reference files (default: as vantrel-batch finds them)
  --fc-suction KPA     field capacity at this suction (default 10, as the window)
  --schedule FILE      one row per profile and day
  --events FILE        the irrigation days only
  --json FILE          per profile its totals and irrigation days
  --report FILE        a summary, then per profile its season, irrigation days and calendar;
                       FILE.html is one self-contained HTML page, any other name a PDF
  --units mm|inch      the report's figures in mm and cm (default) or in inches
  --jobs N             compute the seasons on N threads (default: the number of hardware
                       threads); the outputs are the same whatever N
  --quiet              no word on which reference files are used
  --help, --version

Without an output option the season totals go to standard output. Errors are written as
FILE:LINE: reason. Exit status: 0 every profile scheduled, 1 some profile failed, 2 a usage
error (bad option, unreadable input or weather, a gap or bad value in the weather).
)";

constexpr std::array<OptionSpec, 16> kOptions = {{
    {"--jobs", 'j', "a whole number from 1 to 256"},
    {"--kc-as-table", 0, ""},
    {"--irrigations", 0, "a file name"},
    {"--today", 0, "a date as 2026-06-03"},
    {"--report", 0, "a file name"},
    {"--units", 0, "mm or inch"},
    {"--weather", 0, "a file name"},
    {"--crop-stages", 0, "a file name"},
    {"--latitude", 0, "a latitude in degrees"},
    {"--elevation", 0, "an elevation in metres"},
    {"--data", 0, "a folder"},
    {"--fc-suction", 0, "a suction in kPa from 1 to below 100"},
    {"--schedule", 0, "a file name"},
    {"--events", 0, "a file name"},
    {"--json", 0, "a file name"},
    {"--quiet", 'q', ""},
}};

int usage_error(const std::string& message) {
  std::cerr << "vantrel-schedule: " << message << "\nTry 'vantrel-schedule --help'.\n";
  return kExitUsage;
}

// The crops' stages: the file named, else the bundled crop_coefficients.csv (FAO-56 Tables 11
// and 12) of the reference folder, else the installed set's (a user's folder holds only the
// three reference files); nothing when there is none.
std::optional<std::filesystem::path> crop_stage_file(
    const std::optional<std::filesystem::path>& named, const std::filesystem::path& data) {
  if (named) return named;
  std::vector<std::filesystem::path> places = {data};
  for (const auto& candidate : reference_folder_candidates(program_folder()))
    places.push_back(candidate);
  for (const auto& place : places) {
    if (std::filesystem::is_regular_file(place / kCropStageFileName))
      return place / kCropStageFileName;
  }
  return std::nullopt;
}

// The crops' stages from their file; false with the reason written.
bool load_stages(const std::optional<std::filesystem::path>& file, CropStageTable& stages) {
  if (!file) return true;
  if (const auto why = unreadable_input(*file)) {  // /dev/zero or a FIFO would never end
    std::cerr << terminal_text(path_text(*file)) << ": cannot read: " << *why << '\n';
    return false;
  }
  std::ifstream in(*file, std::ios::binary);
  std::vector<TableProblem> notes;
  std::string error;
  const bool read = in && read_crop_stages(in, stages, error, &notes);
  for (const TableProblem& p : notes)
    std::cerr << terminal_text(path_text(*file)) << ':' << p.line << ": " << terminal_text(p.reason)
              << '\n';
  if (!read) {
    std::cerr << terminal_text(path_text(*file)) << ':'
              << (error.empty() ? std::string(" cannot read") : terminal_text(error)) << '\n';
  }
  return read;
}

// The season's weather; nothing, with every problem written, when it cannot be used.
std::optional<WeatherFile> load_weather(const std::filesystem::path& file,
                                        const std::optional<Station>& place) {
  if (const auto why = unreadable_input(file)) {
    std::cerr << terminal_text(path_text(file)) << ": cannot read: " << *why << '\n';
    return std::nullopt;
  }
  std::ifstream in(file, std::ios::binary);
  WeatherFile weather = read_weather(in, place);
  for (const auto* list : {&weather.notes, &weather.problems}) {
    for (const WeatherProblem& p : *list)
      std::cerr << terminal_text(path_text(file)) << ':' << p.line << ": "
                << terminal_text(p.reason) << '\n';
  }
  if (!weather.problems.empty()) return std::nullopt;
  const bool climate =
      std::any_of(weather.stations.begin(), weather.stations.end(), [](const auto& s) {
        return std::any_of(s.days.begin(), s.days.end(),
                           [](const WeatherDay& d) { return d.u2 && d.rh_min; });
      });
  if (!climate) {
    std::cerr << terminal_text(path_text(file))
              << ": no wind_m_s with rh_min or tdew_c: Kc mid and Kc end as the crop stages give "
                 "them (FAO-56 Table 12: RHmin 45 %, u2 2 m/s)\n";
  }
  return weather;
}

// The irrigations actually given; nothing, with every problem written, when they cannot be
// used. Without --today, today is the last irrigation's day, and the tool says so.
std::optional<IrrigationLog> load_irrigations(const std::filesystem::path& file,
                                              std::optional<DayNumber>& today) {
  if (const auto why = unreadable_input(file)) {
    std::cerr << terminal_text(path_text(file)) << ": cannot read: " << *why << '\n';
    return std::nullopt;
  }
  std::ifstream in(file, std::ios::binary);
  IrrigationLog log = read_irrigations(in);
  for (const auto* list : {&log.notes, &log.problems}) {
    for (const TableProblem& p : *list)
      std::cerr << terminal_text(path_text(file)) << ':' << p.line << ": "
                << terminal_text(p.reason) << '\n';
  }
  if (!log.problems.empty()) return std::nullopt;
  if (!today && log.last) {
    today = log.last;
    std::cerr << "vantrel-schedule: today is " << iso_date(*today)
              << ", the last irrigation given (--today sets another day)\n";
  }
  return log;
}

// What the command line asks for beside the reference set; a usage error in `error`.
struct Request {
  ScheduleSettings settings;
  std::filesystem::path weather;
  std::optional<Station> place;
  std::optional<std::filesystem::path> irrigations;
  std::optional<DayNumber> today;
  bool kc_as_table = false;
};
Request read_request(const CommandLine& line, std::string& error) {
  Request r;
  const auto latitude = line.number("--latitude", -90, 90, error);
  const auto elevation = line.number("--elevation", -500, 9000, error);
  const auto suction = line.fc_suction(error);
  if (!error.empty()) return r;
  if (latitude.has_value() != elevation.has_value()) {
    error = "--latitude and --elevation come together";
    return r;
  }
  if (latitude) r.place = Station{*latitude, *elevation};
  const auto weather = line.path("--weather");
  if (!weather) {
    error = "--weather names the season's weather file";
    return r;
  }
  r.weather = *weather;
  r.irrigations = line.path("--irrigations");
  r.kc_as_table = line.has("--kc-as-table");
  if (const auto today = line.value("--today")) {
    r.today = parse_iso_date(*today);
    if (!r.today) {
      error = "--today needs a date as 2026-06-03, not " + in_quotes(*today);
      return r;
    }
  }
  ScheduleSettings& settings = r.settings;
  settings.input = *line.input;
  settings.version = VANTREL_VERSION;
  settings.schedule = line.path("--schedule");
  settings.events = line.path("--events");
  settings.json = line.path("--json");
  settings.report = line.path("--report");
  settings.context.inches = report_in_inches(line, error);
  if (suction) settings.fc_suction = static_cast<float>(*suction);
  settings.jobs = line.jobs(error);
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  write_standard_streams_as_is();
  const CommandLine line = read_command_line({argv + 1, argv + argc}, kOptions);
  if (const auto answered =
          answer_help_or_version(line, kUsage, "vantrel-schedule", VANTREL_VERSION)) {
    return *answered;
  }
  if (!line.error.empty()) return usage_error(line.error);
  std::string error;
  Request request = read_request(line, error);
  if (!error.empty()) return usage_error(error);
  ScheduleSettings& settings = request.settings;
  const auto folder = choose_reference_folder(line.value("--data"), line.has("--quiet"),
                                              "vantrel-schedule", std::cerr);
  if (!folder) return kExitUsage;
  const std::filesystem::path& data = *folder;
  ReferenceSet reference(data);
  const auto stage_file = crop_stage_file(line.path("--crop-stages"), data);
  std::vector<ReadFile> reads = {
      {settings.input, "the input file"},
      {request.weather, "the weather file " + path_text(request.weather)}};
  if (stage_file) reads.push_back({*stage_file, "the crop stages file " + path_text(*stage_file)});
  if (request.irrigations) {
    reads.push_back(
        {*request.irrigations, "the irrigations file " + path_text(*request.irrigations)});
  }
  for (const auto& ref : reference.files())
    reads.push_back({ref, "the reference file " + path_text(ref)});
  const std::vector<std::filesystem::path> outputs = checked_outputs(
      {settings.schedule, settings.events, settings.json, settings.report}, reads, false, error);
  if (!error.empty()) return usage_error(error);
  if (!reference.load(std::cerr)) return kExitUsage;
  CropStageTable stages;
  if (!load_stages(stage_file, stages)) return kExitUsage;
  const std::optional<WeatherFile> weather = load_weather(request.weather, request.place);
  if (!weather) return kExitUsage;
  std::optional<IrrigationLog> given;
  if (request.irrigations) {
    given = load_irrigations(*request.irrigations, request.today);
    if (!given) return kExitUsage;
  }

  const std::filesystem::path temp = clean_up_outputs_on_signals(outputs);
  KeptInput kept_input;
  if (settings.input == "-") {
    if (!kept_input.keep(std::cin, temp, "vantrel-schedule-input.csv", error)) {
      std::cerr << "vantrel-schedule: standard input: cannot keep it: " << error << '\n';
      return kExitUsage;
    }
    settings.input = kept_input.path();
    settings.input_name = "-";
  }
  const bool inches = settings.context.inches;
  settings.context = {settings.input_name.empty() ? path_text(settings.input) : settings.input_name,
                      settings.version,
                      path_text(std::filesystem::absolute(data).lexically_normal()),
                      is_bundled_set(reference.retention),
                      settings.fc_suction,
                      report_time("%Y-%m-%d"),
                      report_time("D:%Y%m%d%H%M%SZ", true),
                      inches};
  // The report's writer by its file's name; a PDF where the build has none is said, and the
  // other outputs are written all the same.
#ifdef VANTREL_PDF_REPORT
  std::unique_ptr<ReportToolkit> toolkit;
  const WriterMaker pdf_writer = [&settings](const std::filesystem::path& file) {
    return page::make_pdf_writer(file, settings.context, "vantrel-schedule");
  };
#else
  const WriterMaker pdf_writer;
#endif
  const ToolReport report = tool_report(settings.report, pdf_writer, "vantrel-schedule", std::cerr);
#ifdef VANTREL_PDF_REPORT
  if (report.pdf && report.writer) toolkit = std::make_unique<ReportToolkit>("vantrel-schedule");
#endif
  if (report.writer) {
    settings.make_report = [writer = report.writer](const std::filesystem::path& file,
                                                    const ReportContext& context) {
      return make_season_report(file, writer, context);
    };
  }
  const int status =
      run_schedule(settings,
                   {*reference.curves, *reference.crops, stages, *weather, reference.defects,
                    given ? &*given : nullptr, request.today, request.kc_as_table},
                   std::cout, std::cerr);
  return report.refused ? std::max(status, kExitFailed) : status;
}
