// One line of a CSV output built in place: its cells appended to the text that receives the
// file, with the separator between them. Outputs of millions of rows are written this way,
// without a string for each cell.
#pragma once

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

  // A cell written as it stands (the caller knows it needs no quotes).
  CsvRow& raw(std::string_view text) {
    next();
    out_ += text;
    return *this;
  }
  // A cell quoted as CSV needs.
  CsvRow& field(std::string_view text) {
    next();
    append_csv_field(out_, text, separator_);
    return *this;
  }
  // A text a user gave: quoted as CSV needs, and never a formula to a spreadsheet.
  CsvRow& text(std::string_view text) {
    next();
    append_spreadsheet_field(out_, text, separator_);
    return *this;
  }
  CsvRow& number(float value) {
    next();
    if (forms_ != nullptr) {
      forms_->append(out_, value, decimal_, cell_);
    } else {
      append_shortest(out_, value, decimal_);
    }
    return *this;
  }
  // An empty cell for no value.
  CsvRow& number(const std::optional<float>& value) { return value ? number(*value) : raw({}); }
  CsvRow& integer(long long value);
  // Ends the line.
  void end() { out_ += '\n'; }

 private:
  void next() {
    if (cell_ > 0) out_ += separator_;
    ++cell_;
  }
  std::string& out_;
  char separator_;
  char decimal_;
  ShortestForms* forms_;
  std::size_t cell_ = 0;  // the cells begun, the one being written among them
};

}  // namespace vantrel
