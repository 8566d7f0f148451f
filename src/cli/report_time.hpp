// The date a tool's report says it was made.
#pragma once

#include <string>

namespace vantrel {

// SOURCE_DATE_EPOCH's time when set (reproducible files), else now, in UTC, as the strftime
// `format` gives it; empty with `only_fixed` when it is not set.
std::string report_time(const char* format, bool only_fixed = false);

}  // namespace vantrel
