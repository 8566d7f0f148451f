// --units: the units a report shows its figures in; the CSV and JSON outputs keep theirs.
#pragma once

#include <string>

#include "cli/command_line.hpp"

namespace vantrel {

// True for --units inch, false for --units mm or none; a usage error in `error` otherwise.
inline bool report_in_inches(const CommandLine& line, std::string& error) {
  const auto units = line.value("--units");
  if (!units || *units == "mm") return false;
  if (*units == "inch") return true;
  error = "--units needs mm or inch, not \"" + std::string(*units) + "\"";
  return false;
}

}  // namespace vantrel
