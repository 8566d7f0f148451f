#include "season/crop_stages.hpp"

#include <cmath>
#include <istream>

#include "data/csv_reader.hpp"
#include "data/fields.hpp"
#include "data/number_text.hpp"
#include "data/table_header.hpp"
#include "data/text.hpp"

namespace vantrel {

namespace {

constexpr std::array<std::string_view, 7> kNames = {"kc_ini", "kc_mid", "kc_end", "l_ini",
                                                    "l_dev",  "l_mid",  "l_late"};
constexpr double kMaxKc = 2, kMaxStageDays = 3650;
// Their places among the columns.
constexpr std::size_t kRootIni = 9, kHeight = 10, kKy = 11, kKyStage = 12;
constexpr std::array<const char*, 4> kKyStageNames = {"ky_ini", "ky_dev", "ky_mid", "ky_late"};

}  // namespace

std::optional<CropStages> crop_stages_from(const std::array<double, 7>& v, std::string& reason) {
  for (std::size_t i = 0; i < v.size(); ++i) {
    const double high = i < 3 ? kMaxKc : kMaxStageDays;
    const bool days = i >= 3;
    // A stage lasts whole days: rounding each of four half days would make a season of four.
    if (v[i] >= 0 && v[i] <= high && (!days || std::trunc(v[i]) == v[i])) continue;
    reason = std::string(kNames[i]) + " " + shortest_form(static_cast<float>(v[i])) +
             (days ? " is not a whole number of days from 0 to " : " is not within 0 and ") +
             shortest_form(static_cast<float>(high));
    return std::nullopt;
  }
  const auto days = [](double d) { return static_cast<int>(std::lround(d)); };
  const CropStages crop{v[0], v[1], v[2], days(v[3]), days(v[4]), days(v[5]), days(v[6])};
  if (crop.season_days() < 1) {
    reason = "the four stages last 0 days";
    return std::nullopt;
  }
  return crop;
}

namespace {

// An optional number of a row above 0 and at most `high`: nothing when blank; false with the
// reason ("LINE: name "text" is not WHAT above 0 and at most HIGH UNIT") for any other.
struct Optional {
  std::size_t column;
  const char* name;
  const char* what;
  double high;
  const char* unit;
};
bool read_optional(const TableHeader& header, const CsvRecord& record, const Optional& o,
                   std::optional<double>& value, std::string& error) {
  float number = 0;
  switch (read_table_number(header.number_text(record.fields, o.column), number)) {
    case TableNumber::blank:
      value.reset();
      return true;
    case TableNumber::value:
      if (number > 0 && number <= o.high) {
        value = number;
        return true;
      }
      break;
    case TableNumber::invalid:
      break;
  }
  error = std::to_string(record.line) + ": " + o.name + " " +
          in_quotes(header.text(record.fields, o.column)) + " is not " + o.what +
          " above 0 and at most " + shortest_form(static_cast<float>(o.high)) + o.unit;
  return false;
}

// The initial root depth (blank: at full depth from the start), the crop's height (blank: no
// climate adjustment of its Kc) and its yield response factors, of the season and of each stage
// (blank: no yield figure).
bool read_optionals(const TableHeader& header, const CsvRecord& record, CropStages& stages,
                    std::string& error) {
  const auto read = [&](const Optional& o, std::optional<double>& value) {
    return !header.has(o.column) || read_optional(header, record, o, value, error);
  };
  bool ok = read({kRootIni, "root_ini_cm", "a depth", kMaxRootDepth, " cm"}, stages.root_ini_cm) &&
            read({kHeight, "height_m", "a height", 30, " m"}, stages.height_m) &&
            read({kKy, "ky", "a factor", kMaxKy, ""}, stages.ky);
  for (std::size_t i = 0; ok && i < kKyStageNames.size(); ++i)
    ok = read({kKyStage + i, kKyStageNames[i], "a factor", kMaxKy, ""}, stages.ky_stage[i]);
  return ok;
}

// One row's crop stages; nothing, with the reason ("LINE: reason"), for a row that gives none.
std::optional<CropStages> stages_of_row(const TableHeader& header, const CsvRecord& record,
                                        std::string& error) {
  std::array<double, 7> v{};
  std::string reason;
  for (std::size_t i = 0; reason.empty() && i < v.size(); ++i) {
    float number = 0;
    if (read_table_number(header.number_text(record.fields, i + 1), number) == TableNumber::value) {
      v[i] = number;
    } else {
      reason = std::string(kNames[i]) + " " + in_quotes(header.text(record.fields, i + 1)) +
               " is not a number";
    }
  }
  std::optional<CropStages> stages = reason.empty() ? crop_stages_from(v, reason) : std::nullopt;
  if (!stages) {
    error = std::to_string(record.line) + ": " + reason;
    return std::nullopt;
  }
  if (!read_optionals(header, record, *stages, error)) return std::nullopt;
  return stages;
}

}  // namespace

bool read_crop_stages(std::istream& in, CropStageTable& table, std::string& error,
                      std::vector<TableProblem>* notes) {
  using enum CellKind;
  static constexpr std::array<ColumnSpec, 16> kColumns = {{
      {"name", true, text},
      {"kc_ini", true, number},
      {"kc_mid", true, number},
      {"kc_end", true, number},
      {"l_ini", true, number},
      {"l_dev", true, number},
      {"l_mid", true, number},
      {"l_late", true, number},
      {"table_11_row", false, text},   // where the stage lengths come from, for the reader
      {"root_ini_cm", false, number},  // blank: at full depth from the start (a perennial)
      {"height_m", false, number},     // for Kc's climate adjustment
      {"ky", false, number},           // the season's yield response factor
      {"ky_ini", false, number},       // and its stages'
      {"ky_dev", false, number},
      {"ky_mid", false, number},
      {"ky_late", false, number},
  }};
  CsvReader reader(in, CsvReader::kMaxLine, kFindSeparator);
  CsvRecord record;
  if (!reader.next(record)) return true;  // an empty file names no crop
  TableHeader header(kColumns);
  const auto problem = record.error.empty() ? header.read(record.fields) : record.error;
  if (problem) {
    error = std::to_string(record.line) + ": " + *problem;
    return false;
  }
  header.decimal_comma = reader.separator() == ';';
  if (notes != nullptr) {
    for (const std::string& name : header.unknown())
      notes->push_back({record.line, "column " + in_quotes(name) + " is not used"});
  }
  while (reader.next(record)) {
    if (!record.error.empty()) {
      error = std::to_string(record.line) + ": " + record.error;
      return false;
    }
    const std::optional<CropStages> crop_stages = stages_of_row(header, record, error);
    if (!crop_stages) return false;
    const std::string crop(header.text(record.fields, 0));
    // A second row for a crop would silently replace the first one.
    if (!table.try_emplace(crop, *crop_stages).second) {
      error = std::to_string(record.line) + ": " + crop + " has a row already";
      return false;
    }
  }
  return true;
}

}  // namespace vantrel
