// Reading a comma-separated table with a header row, one record at a time, in bounded memory.
#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// One line of the table, cut into fields.
struct CsvRecord {
  int line = 0;                     // line number in the file, from 1
  std::vector<std::string> fields;  // unquoted, surrounding blanks kept
  std::string error;                // why the line could not be read; empty when it could
};

// The separator is a comma, a semicolon, or found from the first record read (a header line):
// a semicolon when it holds more semicolons than commas outside quotes, as a spreadsheet set to
// a decimal comma saves.
inline constexpr char kFindSeparator = '\0';

// Reads lines ending in LF or CR LF; a UTF-8 byte-order mark at the start is ignored, and
// blank lines and lines whose first character is '#' are skipped. Fields are separated by
// the separator; a field may be quoted with double quotes ("" inside stands for one quote) to
// hold it, line breaks included (RFC 4180). The first record is the header: a later record
// with another number of fields is an error record. A line longer than the limit is an error
// record and is skipped to its end without being kept, so memory stays bounded whatever the
// input.
class CsvReader {
 public:
  static constexpr std::size_t kMaxLine = 4096;

  explicit CsvReader(std::istream& in, std::size_t max_line = kMaxLine, char separator = ',');

  // The next record; false at the end of the input.
  bool next(CsvRecord& record);
  // The next record's field at `column` alone, for a pass that needs one column: the others are
  // checked as next() checks them, not kept. False at the end of the input; `readable` false
  // (and `field` empty) for a record next() would give with an error. `field` lasts until the
  // next call.
  bool next_field(std::size_t column, std::string_view& field, int& line, bool& readable);
  // The separator in use (still kFindSeparator before the first record).
  char separator() const { return separator_; }

 private:
  // The next line without its end; false at the end. `too_long` when it was cut.
  bool read_line(std::string& line, bool& too_long);
  // The next line without its end, where it lies in the buffer when it lies there whole (it
  // lasts until the next read), else as read_line reads it into line_.
  bool line_in_place(std::string_view& text, bool& too_long);
  // Reads on into the buffer; false at the end of the input.
  bool fill();
  // Cuts the line into the record's fields, reading on while a quoted field is open.
  void split(std::string& line, CsvRecord& record);
  // Holds the record to the header's count of fields.
  void check_count(CsvRecord& record);
  // Cuts the line read into the record's fields and holds them to the header's count.
  void read_fields(CsvRecord& record);
  // next_field's answer from scratch_, read whole.
  bool whole_record(std::size_t column, std::string_view& field, int& line, bool& readable);

  std::streambuf* in_;
  // Read ahead in blocks: a character at a time through the stream is most of a large file's
  // reading time.
  std::vector<char> buffer_;
  std::size_t at_ = 0, end_ = 0;
  std::string line_;
  CsvRecord scratch_;  // next_field's record, when a line needs the whole reading
  std::size_t max_line_;
  int line_number_ = 0;
  bool started_ = false;
  std::optional<std::size_t> fields_;  // the header's count
  char separator_;
};

// The separator of a header line: ';' when it holds more semicolons than commas outside
// quotes, else ','.
char separator_of(const std::string& header_line);

// Splits one line into fields; false (with the reason) for an unterminated quote or text after
// a closing quote.
bool split_csv_line(const std::string& line, std::vector<std::string>& fields, std::string& error,
                    char separator = ',');

// The field as it must be written in a CSV file: quoted when it holds the separator, a quote,
// a line end or blanks at either end.
std::string csv_field(const std::string& text, char separator = ',');
// Appends the field so written to `out`.
void append_csv_field(std::string& out, std::string_view text, char separator = ',');
// Appends a text a user gave so written, and never a formula to a spreadsheet (a quote before
// a leading =, +, -, @, tab or CR).
void append_spreadsheet_field(std::string& out, std::string_view text, char separator = ',');

}  // namespace vantrel
