#include "data/csv_row.hpp"

#include <array>
#include <charconv>
#include <system_error>

#include "data/float_chars.hpp"

namespace vantrel {

CsvRow& CsvRow::integer(long long value) {
  next();
  room(24);
  char* at = buffer_.data() + used_;
  const auto [end, ec] = std::to_chars(at, buffer_.data() + kBuffer, value);
  if (ec == std::errc{}) used_ = static_cast<std::size_t>(end - buffer_.data());
  return *this;
}

void CsvRow::put(std::string_view text) {
  room(text.size());
  if (text.size() > kBuffer) {
    out_ += text;
    return;
  }
  std::copy(text.begin(), text.end(), buffer_.begin() + static_cast<std::ptrdiff_t>(used_));
  used_ += text.size();
}

char* CsvRow::write_number(char* at, float value) {
  char* end = write_shortest(at, at + kNumberRoom, value);
  return end == nullptr ? at : end;
}

}  // namespace vantrel
