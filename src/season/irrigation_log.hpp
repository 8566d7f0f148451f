// The irrigations a farm actually gave, per field: the checkbook an advisor keeps in season.
#pragma once

#include <istream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "data/table_header.hpp"
#include "season/calendar.hpp"

namespace vantrel {

struct GivenIrrigation {
  DayNumber date = 0;
  std::optional<double> net_mm, gross_mm;  // one of them
  int line = 0;
};

struct IrrigationLog {
  std::map<std::string, std::vector<GivenIrrigation>, std::less<>> fields;  // by profile name
  std::vector<TableProblem> problems;  // any problem makes the file unusable
  std::vector<TableProblem> notes;     // columns it does not use
  std::optional<DayNumber> last;       // the latest date given
};

// Reads a table with the columns profile, date (ISO 8601), and net_mm or gross_mm (any order and
// case; commas, or semicolons with decimal commas). A field may have several irrigations on
// one day; they add up.
IrrigationLog read_irrigations(std::istream& in);

}  // namespace vantrel
