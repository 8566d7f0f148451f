// One line of a CSV output built in place: its cells appended to the text that receives the
// file, with the separator between them. Outputs of millions of rows are written this way,
// without a string for each cell.
#pragma once

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "data/csv_reader.hpp"
#include "data/number_text.hpp"

namespace vantrel {

class CsvRow {
 public:
  // Starts a line at the end of `out`.
  // With `forms`, numbers are written through those remembered forms.
  explicit CsvRow(std::string& out, char separator = ',', char decimal = '.',
                  ShortestForms* forms = nullptr)
      : out_(out), separator_(separator), decimal_(decimal), forms_(forms) {}
  CsvRow(const CsvRow&) = delete;
  CsvRow& operator=(const CsvRow&) = delete;
  // What is written reaches `out` by the end of the line or of the row.
  ~CsvRow() { flush(); }

  // A cell written as it stands (the caller knows it needs no quotes).
  CsvRow& raw(std::string_view text) {
    next();
    put(text);
    return *this;
  }
  // A cell quoted as CSV needs.
  CsvRow& field(std::string_view text) {
    next();
    flush();
    append_csv_field(out_, text, separator_);
    return *this;
  }
  // A text a user gave: quoted as CSV needs, and never a formula to a spreadsheet.
  CsvRow& text(std::string_view text) {
    next();
    flush();
    append_spreadsheet_field(out_, text, separator_);
    return *this;
  }
  CsvRow& number(float value) {
    next();
    room(kNumberRoom);
    char* at = buffer_.data() + used_;
    char* end = forms_ != nullptr ? forms_->write(at, value, cell_) : write_number(at, value);
    if (decimal_ != '.') std::replace(at, end, '.', decimal_);
    used_ = static_cast<std::size_t>(end - buffer_.data());
    return *this;
  }
  // An empty cell for no value.
  CsvRow& number(const std::optional<float>& value) { return value ? number(*value) : raw({}); }
  CsvRow& integer(long long value);
  // Ends the line.
  void end() {
    room(1);
    buffer_[used_++] = '\n';
    flush();
  }

 private:
  // Cells gather here and reach `out` a line (or a buffer) at a time: one append, not one a cell.
  static constexpr std::size_t kBuffer = 512;
  static constexpr std::size_t kNumberRoom = ShortestForms::kRoom;

  void next() {
    if (cell_ > 0) {
      room(1);
      buffer_[used_++] = separator_;
    }
    ++cell_;
  }
  void room(std::size_t n) {
    if (used_ + n > kBuffer) flush();
  }
  void put(std::string_view text);
  void flush() {
    out_.append(buffer_.data(), used_);
    used_ = 0;
  }
  static char* write_number(char* at, float value);

  std::string& out_;
  char separator_;
  char decimal_;
  ShortestForms* forms_;
  std::size_t cell_ = 0;  // the cells begun, the one being written among them
  std::size_t used_ = 0;
  std::array<char, kBuffer>
      buffer_;  // NOLINT(cppcoreguidelines-pro-type-member-init): written before read
};

}  // namespace vantrel
