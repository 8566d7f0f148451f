#include "cli/report_time.hpp"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace vantrel {

std::string report_time(const char* format, bool only_fixed) {
  std::time_t when = std::time(nullptr);
  const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
  long long seconds = -1;
  if (epoch != nullptr && *epoch != '\0') {
    const char* end = epoch + std::strlen(epoch);
    if (std::from_chars(epoch, end, seconds).ptr != end) seconds = -1;
  }
  if (seconds >= 0) {
    when = static_cast<std::time_t>(seconds);
  } else if (only_fixed) {
    return {};
  }
  std::tm utc{};
#ifdef _WIN32
  gmtime_s(&utc, &when);
#else
  gmtime_r(&when, &utc);
#endif
  char text[32];
  std::strftime(text, sizeof text, format, &utc);
  return text;
}

}  // namespace vantrel
