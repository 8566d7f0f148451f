// The one table reader: records over quoted line breaks with the lines of the file, the
// header's field count held to, and declared columns found in any case.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <sstream>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

#include "data/csv_reader.hpp"
#include "data/table_header.hpp"

namespace vantrel {
namespace {

struct Read {
  int line;
  std::vector<std::string> fields;
  std::string error;
};

std::vector<Read> records(const std::string& text) {
  std::istringstream in(text);
  CsvReader reader(in, 64, kFindSeparator);
  std::vector<Read> out;
  for (CsvRecord r; reader.next(r);)
    out.push_back({r.line, r.fields, r.error});
  return out;
}

TEST(TableReader, RecordsKeepTheLinesTheyBeganOn) {
  const std::vector<Read> r =
      records("a,b\n1,\"x\ny\"\n2,\"\"\"q\"\"\r\nz\"\n# note\n3,4\n5,6,7\n8\n\"open,9\n");
  ASSERT_EQ(r.size(), 7U);
  EXPECT_EQ(r[1].line, 2);
  EXPECT_EQ(r[1].fields, (std::vector<std::string>{"1", "x\ny"}));
  EXPECT_EQ(r[2].line, 4);
  EXPECT_EQ(r[2].fields, (std::vector<std::string>{"2", "\"q\"\nz"}));
  EXPECT_EQ(r[3].line, 7);
  EXPECT_TRUE(r[3].error.empty());
  EXPECT_EQ(r[4].line, 8);
  EXPECT_EQ(r[4].error,
            "3 fields where the header has 2 (a decimal comma in a file that commas "
            "separate?)");
  EXPECT_EQ(r[5].error, "1 fields where the header has 2");
  EXPECT_EQ(r[6].line, 10);
  EXPECT_EQ(r[6].error, "a quoted field has no closing quote");
}

TEST(TableReader, AnOpenQuoteStopsAtTheLineLimit) {
  std::string text = "a,b\n\"open,1\n";
  for (int i = 0; i < 20; ++i)
    text += "more text on line " + std::to_string(i + 3) + "\n";
  const std::vector<Read> r = records(text);
  ASSERT_GE(r.size(), 2U);
  EXPECT_EQ(r[1].line, 2);
  EXPECT_EQ(r[1].error, "a record longer than 64 characters");
}

// A stream that hands over at most a few characters at a time, as a pipe may: every line end,
// quote and mark then falls on the edge of what the reader has read.
class Trickle : public std::streambuf {
 public:
  explicit Trickle(std::string text) : text_(std::move(text)) {}

 protected:
  std::streamsize xsgetn(char* s, std::streamsize n) override {
    const std::size_t left = text_.size() - at_;
    const std::size_t step = std::min<std::size_t>({static_cast<std::size_t>(n), left, next_});
    text_.copy(s, step, at_);
    at_ += step;
    next_ = next_ % 7 + 1;
    return static_cast<std::streamsize>(step);
  }
  int_type underflow() override {
    return at_ < text_.size() ? traits_type::to_int_type(text_[at_]) : traits_type::eof();
  }

 private:
  std::string text_;
  std::size_t at_ = 0;
  std::size_t next_ = 1;
};

// Lines of every kind the reader meets: a mark, CR LF, overlong lines, quoted line breaks,
// notes, blank lines, a line at the limit with its CR, wrong field counts, no last line end.
std::string mixed_table() {
  std::string text =
      "\xEF\xBB\xBF"
      "a,b\r\n";
  for (int i = 0; i < 3000; ++i) {
    switch (i % 6) {
      case 0:
        text += std::to_string(i) + ",x\r\n";
        break;
      case 1:
        text += std::string(70 + i % 5, 'L') + "\n";
        break;  // beyond the limit of 64
      case 2:
        text += "\"q\n" + std::to_string(i) + "\",\"y\"\n";
        break;
      case 3:
        text += "# a note\n\n";
        break;
      case 4:
        text += std::string(60, 'w') + ",\r\n";
        break;  // at the limit with its CR
      default:
        text += "1,2,3\n";
        break;
    }
  }
  return text + "last,line";  // no line end
}

TEST(TableReader, RecordsAreTheSameWhateverPiecesTheInputComesIn) {
  const std::string text = mixed_table();
  const std::vector<Read> whole = records(text);
  ASSERT_EQ(whole.size(), 2502U);
  EXPECT_EQ(whole[0].fields, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(whole[2].error, "line longer than 64 characters");
  EXPECT_EQ(whole[3].fields, (std::vector<std::string>{"q\n2", "y"}));
  EXPECT_EQ(whole.back().fields, (std::vector<std::string>{"last", "line"}));

  Trickle pieces(text);
  std::istream in(&pieces);
  CsvReader reader(in, 64, kFindSeparator);
  std::size_t i = 0;
  for (CsvRecord r; reader.next(r); ++i) {
    ASSERT_LT(i, whole.size());
    EXPECT_EQ(r.line, whole[i].line);
    EXPECT_EQ(r.fields, whole[i].fields);
    EXPECT_EQ(r.error, whole[i].error);
  }
  EXPECT_EQ(i, whole.size());
}

// A pass that needs one column sees each record as the whole reading does, whether its lines
// lie whole in what the reader has read or fall across the edge of it.
TEST(TableReader, OneFieldIsReadAsTheWholeRecordGivesIt) {
  const std::string text = mixed_table();
  const std::vector<Read> whole = records(text);
  for (const auto& [column, trickle] : std::vector<std::pair<std::size_t, bool>>{
           {0, false}, {1, false}, {2, false}, {0, true}, {1, true}, {3, true}}) {
    SCOPED_TRACE(testing::Message() << "column " << column << (trickle ? ", in pieces" : ""));
    std::istringstream whole_text(text);
    Trickle pieces(text);
    std::istream in(trickle ? static_cast<std::streambuf*>(&pieces) : whole_text.rdbuf());
    CsvReader reader(in, 64, kFindSeparator);
    std::string_view field;
    int line = 0;
    bool readable = false;
    std::size_t i = 0;
    for (; reader.next_field(column, field, line, readable); ++i) {
      ASSERT_LT(i, whole.size());
      const Read& r = whole[i];
      EXPECT_EQ(line, r.line);
      EXPECT_EQ(readable, r.error.empty()) << r.line;
      EXPECT_EQ(field, r.error.empty() && column < r.fields.size() ? r.fields[column] : "")
          << r.line;
    }
    EXPECT_EQ(i, whole.size());
  }
}

TEST(TableReader, TheMarkAndABrokenStartOfItAreSkipped) {
  const std::vector<Read> r = records(
      "\xEF\xBB"
      "a,b\n1,2\n");
  ASSERT_EQ(r.size(), 2U);
  EXPECT_EQ(r[0].fields, (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(records("\xEF\xBB\xBF").empty());
}

TEST(TableHeader, DeclaredColumnsInAnyCase) {
  static constexpr std::array<ColumnSpec, 3> kColumns = {{
      {"name", true, CellKind::text},
      {"depth_cm", true, CellKind::number},
      {"note", false, CellKind::text},
  }};
  const struct {
    std::vector<std::string> header;
    const char* problem;  // "" when it reads
    std::size_t depth_at;
    std::size_t unknown;
  } cases[] = {
      {{" Name ", "DEPTH_cm", "colour"}, "", 1, 1},
      {{"depth_cm", "name", "Note"}, "", 0, 0},
      {{"name"}, "no column \"depth_cm\" in the header", 0, 0},
      {{"name", "depth_cm", "NAME"}, "column \"name\" is named twice", 0, 0},
  };
  for (const auto& c : cases) {
    TableHeader header(kColumns);
    const auto problem = header.read(c.header);
    EXPECT_EQ(problem.value_or(""), c.problem);
    if (problem) continue;
    EXPECT_EQ(header.position(1), c.depth_at);
    EXPECT_EQ(header.unknown().size(), c.unknown);
  }
  TableHeader header(kColumns);
  ASSERT_FALSE(header.read({"name", "depth_cm"}));
  const std::vector<std::string> row = {" A ", " 1.025,5 "};
  EXPECT_EQ(header.text(row, 1), "1.025,5");  // as written, for the messages
  EXPECT_EQ(header.number_text(row, 1), "1.025,5");
  header.decimal_comma = true;
  EXPECT_EQ(header.number_text(row, 1), "1.025.5");
  EXPECT_EQ(header.text(row, 2), "");  // a column the header lacks
}

}  // namespace
}  // namespace vantrel
