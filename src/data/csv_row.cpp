#include "data/csv_row.hpp"

#include <array>
#include <charconv>
#include <system_error>

namespace vantrel {

CsvRow& CsvRow::integer(long long value) {
  next();
  std::array<char, 24> buffer{};
  const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  if (ec == std::errc{}) out_.append(buffer.data(), end);
  return *this;
}

}  // namespace vantrel
