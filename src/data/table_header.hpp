// The columns of a CSV table, declared once by the file's reader: each column's name, whether
// the file must have it, and whether its cells are numbers. The header is matched against
// them in any case and with blanks around the names; names no column declares are kept, so
// that a tool can say it does not use them.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

enum class CellKind { text, number };

// What is wrong with a table, or worth saying of it, on the file's line.
struct TableProblem {
  int line = 0;
  std::string reason;
};

struct ColumnSpec {
  std::string_view name;
  bool required = false;
  CellKind kind = CellKind::text;
};

class TableHeader {
 public:
  explicit TableHeader(std::span<const ColumnSpec> columns)
      : columns_(columns), at_(columns.size()) {}

  // Reads the header's names; nothing, or the reason (a required column missing, a column
  // named twice).
  std::optional<std::string> read(const std::vector<std::string>& names);

  // Where the declared column `column` (its index in the declaration) stands in a row.
  std::optional<std::size_t> position(std::size_t column) const { return at_.at(column); }
  bool has(std::size_t column) const { return at_.at(column).has_value(); }
  // The header's names that no column declares, as written (blanks around them cut).
  const std::vector<std::string>& unknown() const { return unknown_; }

  // A cell of a row without the blanks and tabs around it, as written; empty when the header
  // has no such column.
  std::string_view text(const std::vector<std::string>& row, std::size_t column) const;
  // A number cell's text as a number reads: in a file that semicolons separate, its decimal
  // comma is the point. Messages quote text(), the cell as written.
  std::string number_text(const std::vector<std::string>& row, std::size_t column) const;

  // In a file whose fields a semicolon separates, a decimal comma is the decimal point.
  bool decimal_comma = false;

 private:
  std::span<const ColumnSpec> columns_;
  std::vector<std::optional<std::size_t>> at_;
  std::vector<std::string> unknown_;
};

// A number cell's text as a number reads: with `decimal_comma`, each comma is the point.
std::string number_text(std::string_view cell, bool decimal_comma);

}  // namespace vantrel
