#include "season/irrigation_log.hpp"

#include <array>

#include "data/csv_reader.hpp"
#include "data/fields.hpp"
#include "data/text.hpp"

namespace vantrel {

namespace {

enum Column { kProfile, kDate, kNet, kGross };
constexpr std::array<ColumnSpec, 4> kColumns = {{
    {"profile", true, CellKind::text},
    {"date", true, CellKind::text},
    {"net_mm", false, CellKind::number},
    {"gross_mm", false, CellKind::number},
}};

// A depth of the row, nothing when blank; false with the reason for one no system gives.
bool depth_of(const TableHeader& header, const CsvRecord& row, Column c,
              std::optional<double>& depth, std::string& reason) {
  float value = 0;
  switch (read_table_number(header.number_text(row.fields, c), value)) {
    case TableNumber::blank:
      return true;
    case TableNumber::value:
      if (value > 0 && value <= 500) {
        depth = value;
        return true;
      }
      break;
    case TableNumber::invalid:
      break;
  }
  reason = std::string(kColumns[c].name) + " " + in_quotes(header.text(row.fields, c)) +
           " is not a depth above 0 and at most 500 mm";
  return false;
}

// One row as an irrigation; false with the reason.
bool irrigation_of(const TableHeader& header, const CsvRecord& row, GivenIrrigation& given,
                   std::string& reason) {
  const std::string_view date_text = header.text(row.fields, kDate);
  const auto date = parse_iso_date(date_text);
  if (!date) {
    reason = "date " + in_quotes(date_text) + " is not a date as 2026-06-03";
    return false;
  }
  if (header.text(row.fields, kProfile).empty()) {
    reason = "no profile name";
    return false;
  }
  given.date = *date;
  given.line = row.line;
  if (!depth_of(header, row, kNet, given.net_mm, reason) ||
      !depth_of(header, row, kGross, given.gross_mm, reason)) {
    return false;
  }
  if (given.net_mm.has_value() == given.gross_mm.has_value()) {
    reason = "give net_mm or gross_mm, one of them";
    return false;
  }
  return true;
}

}  // namespace

IrrigationLog read_irrigations(std::istream& in) {
  IrrigationLog log;
  CsvReader reader(in, CsvReader::kMaxLine, kFindSeparator);
  CsvRecord record;
  if (!reader.next(record)) {
    log.problems.push_back({1, "no header row"});
    return log;
  }
  TableHeader header(kColumns);
  const auto problem = record.error.empty() ? header.read(record.fields) : record.error;
  if (problem) {
    log.problems.push_back({record.line, *problem});
    return log;
  }
  if (!header.has(kNet) && !header.has(kGross)) {
    log.problems.push_back({record.line, "no column \"net_mm\" or \"gross_mm\" in the header"});
    return log;
  }
  header.decimal_comma = reader.separator() == ';';
  for (const std::string& name : header.unknown())
    log.notes.push_back({record.line, "column " + in_quotes(name) + " is not used"});
  while (reader.next(record)) {
    GivenIrrigation given;
    std::string reason = record.error;
    if (reason.empty() && irrigation_of(header, record, given, reason)) {
      log.fields[std::string(header.text(record.fields, kProfile))].push_back(given);
      log.last = std::max(log.last.value_or(given.date), given.date);
    } else {
      log.problems.push_back({record.line, reason});
    }
  }
  return log;
}

}  // namespace vantrel
