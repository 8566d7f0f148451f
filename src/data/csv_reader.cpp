#include "data/csv_reader.hpp"

#include <algorithm>
#include <cstring>

#include "data/fields.hpp"
#include "data/safe_text.hpp"

namespace vantrel {

CsvReader::CsvReader(std::istream& in, std::size_t max_line, char separator)
    : in_(in.rdbuf()), max_line_(max_line), separator_(separator) {}

char separator_of(const std::string& header_line) {
  int commas = 0;
  int semicolons = 0;
  bool quoted = false;
  for (const char c : header_line) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    commas += c == ',';
    semicolons += c == ';';
  }
  return semicolons > commas ? ';' : ',';
}

bool CsvReader::fill() {
  constexpr std::size_t kBlock = std::size_t{1} << 16;
  if (in_ == nullptr) return false;
  if (buffer_.empty()) buffer_.resize(kBlock);
  const std::streamsize got = in_->sgetn(buffer_.data(), static_cast<std::streamsize>(kBlock));
  at_ = 0;
  end_ = got > 0 ? static_cast<std::size_t>(got) : 0;
  return end_ > 0;
}

bool CsvReader::read_line(std::string& line, bool& too_long) {
  line.clear();
  too_long = false;
  if (!started_) {
    started_ = true;
    static constexpr char kMark[] = "\xEF\xBB\xBF";
    for (int i = 0; i < 3 && (at_ < end_ || fill()) && buffer_[at_] == kMark[i]; ++i)
      ++at_;
  }
  if (at_ == end_ && !fill()) return false;
  ++line_number_;
  while (true) {
    const char* from = buffer_.data() + at_;
    const auto* stop = static_cast<const char*>(std::memchr(from, '\n', end_ - at_));
    const std::size_t length = stop != nullptr ? static_cast<std::size_t>(stop - from) : end_ - at_;
    const std::size_t room = max_line_ + 1 - std::min(line.size(), max_line_ + 1);
    line.append(from, std::min(length, room));
    if (length > room) too_long = true;
    at_ += length;
    if (stop != nullptr) {
      ++at_;  // past the line end
      break;
    }
    if (!fill()) break;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line.size() > max_line_) too_long = true;
  if (too_long) line.clear();
  return true;
}

bool CsvReader::line_in_place(std::string_view& text, bool& too_long) {
  const char* from = buffer_.data() + at_;
  const auto* stop =
      started_ ? static_cast<const char*>(std::memchr(from, '\n', end_ - at_)) : nullptr;
  if (stop == nullptr) {
    // Across the end of the buffer (or the file's first line): read as a copy.
    if (!read_line(line_, too_long)) return false;
    text = line_;
    return true;
  }
  ++line_number_;
  at_ += static_cast<std::size_t>(stop - from) + 1;
  text = std::string_view(from, static_cast<std::size_t>(stop - from));
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  too_long = text.size() > max_line_;
  if (too_long) text = {};
  return true;
}

namespace {

constexpr std::string_view kNoClosingQuote = "a quoted field has no closing quote";

}  // namespace

void CsvReader::split(std::string& line, CsvRecord& record) {
  // A quoted field may hold line breaks (a spreadsheet cell typed with Alt+Enter): the record
  // goes on over the next lines, and keeps the line it began on.
  while (!split_csv_line(line, record.fields, record.error, separator_) &&
         record.error == kNoClosingQuote) {
    std::string more;
    bool too_long = false;
    if (!read_line(more, too_long)) return;
    if (too_long || line.size() + 1 + more.size() > max_line_) {
      record.error = "a record longer than " + std::to_string(max_line_) + " characters";
      return;
    }
    line += '\n';
    line += more;
    record.error.clear();
  }
}

void CsvReader::check_count(CsvRecord& record) {
  if (!fields_) {
    fields_ = record.fields.size();
    return;
  }
  if (record.fields.size() == *fields_) return;
  // A field too many is most often a decimal comma in a comma file ("25,5"): read on, every
  // later column would be the one before it.
  record.error = std::to_string(record.fields.size()) + " fields where the header has " +
                 std::to_string(*fields_);
  if (record.fields.size() > *fields_ && separator_ == ',')
    record.error += " (a decimal comma in a file that commas separate?)";
  record.fields.clear();
}

void CsvReader::read_fields(CsvRecord& record) {
  split(line_, record);
  if (record.error.empty()) check_count(record);
}

bool CsvReader::next(CsvRecord& record) {
  std::string& line = line_;  // kept: its room serves every line
  bool too_long = false;
  while (read_line(line, too_long)) {
    record.line = line_number_;
    record.fields.clear();
    record.error.clear();
    if (too_long) {
      record.error = "line longer than " + std::to_string(max_line_) + " characters";
      return true;
    }
    if (trimmed_field(line).empty() || line.front() == '#') continue;
    if (separator_ == kFindSeparator) separator_ = separator_of(line);
    read_fields(record);
    return true;
  }
  return false;
}

namespace {

// The field at `column` of a line and the line's count of fields, in one look at each
// character; false when the line holds a quote (its fields need the whole reading). The first
// pass reads every line of a large file this way.
bool plain_field(std::string_view line, char separator, std::size_t column, std::string_view& found,
                 std::size_t& count) {
  std::size_t start = 0, end = std::string_view::npos;
  count = 1;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') return false;
    if (c != separator) continue;
    if (count == column) start = i + 1;
    if (count == column + 1) end = i;
    ++count;
  }
  found = count > column ? line.substr(start, end == std::string_view::npos ? end : end - start)
                         : std::string_view();
  return true;
}

}  // namespace

bool CsvReader::whole_record(std::size_t column, std::string_view& field, int& line,
                             bool& readable) {
  readable = scratch_.error.empty();
  field = readable && column < scratch_.fields.size() ? std::string_view(scratch_.fields[column])
                                                      : std::string_view();
  line = scratch_.line;
  return true;
}

bool CsvReader::next_field(std::size_t column, std::string_view& field, int& line, bool& readable) {
  if (separator_ == kFindSeparator || !fields_) {
    return next(scratch_) && whole_record(column, field, line, readable);
  }
  bool too_long = false;
  std::string_view text;
  while (line_in_place(text, too_long)) {
    line = line_number_;
    readable = false;
    field = {};
    if (too_long) return true;
    if (trimmed_field(text).empty() || text.front() == '#') continue;
    std::size_t count = 0;
    std::string_view found;
    if (!plain_field(text, separator_, column, found, count)) {
      // Quotes, perhaps over several lines: the whole reading.
      if (text.data() != line_.data()) line_.assign(text);
      scratch_.line = line_number_;
      scratch_.fields.clear();
      scratch_.error.clear();
      read_fields(scratch_);
      return whole_record(column, field, line, readable);
    }
    readable = count == *fields_;  // else next() gives it as an error record
    if (readable) field = found;
    return true;
  }
  return false;
}

namespace {

// Reads the quoted field whose opening quote is at `start` ("" inside stands for one quote);
// returns the position after the closing quote, or npos (with the reason) when it has none.
std::size_t read_quoted(const std::string& line, std::size_t start, std::string& field,
                        std::string& error) {
  std::size_t k = start + 1;
  while (k < line.size()) {
    if (line[k] != '"') {
      field.push_back(line[k++]);
    } else if (k + 1 < line.size() && line[k + 1] == '"') {
      field.push_back('"');
      k += 2;
    } else {
      return k + 1;
    }
  }
  error = kNoClosingQuote;
  return std::string::npos;
}

}  // namespace

bool split_csv_line(const std::string& line, std::vector<std::string>& fields, std::string& error,
                    char separator) {
  fields.clear();
  std::string field;
  std::size_t i = 0;
  while (true) {
    field.clear();
    const std::size_t start = line.find_first_not_of(' ', i);
    if (start != std::string::npos && line[start] == '"') {
      const std::size_t k = read_quoted(line, start, field, error);
      if (k == std::string::npos) return false;
      const std::size_t after = line.find_first_not_of(' ', k);
      if (after != std::string::npos && line[after] != separator) {
        error = "text after the closing quote of a field";
        return false;
      }
      i = after;
      fields.push_back(std::move(field));
    } else {
      const std::size_t comma = line.find(separator, i);
      fields.emplace_back(line, i, comma == std::string::npos ? std::string::npos : comma - i);
      i = comma;
    }
    if (i == std::string::npos) return true;
    ++i;  // past the separator
  }
}

std::string csv_field(const std::string& text, char separator) {
  std::string out;
  append_csv_field(out, text, separator);
  return out;
}

void append_csv_field(std::string& out, std::string_view text, char separator) {
  // A loop, not find_first_of: that looks each character up in the set by a call of its own.
  bool plain = text.empty() || (text.front() != ' ' && text.back() != ' ');
  for (std::size_t i = 0; plain && i < text.size(); ++i) {
    const char c = text[i];
    plain = c != separator && c != '"' && c != '\r' && c != '\n';
  }
  if (plain) {
    out += text;
    return;
  }
  out += '"';
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

void append_spreadsheet_field(std::string& out, std::string_view text, char separator) {
  if (!reads_as_formula(text)) {
    append_csv_field(out, text, separator);
    return;
  }
  std::string kept = "'";
  kept += text;
  append_csv_field(out, kept, separator);
}

}  // namespace vantrel
