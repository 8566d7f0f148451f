// A report laid out once, as data: A4 pages of text blocks, tables and charts placed in
// millimetres inside the page's margins, with no toolkit. The PDF and the HTML writers draw
// the same model, so both show the same words on the same pages.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vantrel::page {

inline constexpr double kWidth = 180;   // mm inside the margins of an A4 page
inline constexpr double kHeight = 267;  // mm
inline constexpr double kMargin = 15;   // mm on each side
inline constexpr double kMmPerPoint = 25.4 / 72;

// The text sizes the pages use, points: nothing under 8 pt, the body at 10 pt.
inline constexpr double kSmall = 8, kBody = 10, kHeading = 11, kTitle = 14;

struct Colour {
  std::uint8_t r = 0, g = 0, b = 0;
};
inline constexpr Colour kBlack{0, 0, 0}, kWater{0x1f, 0x5f, 0xa8}, kIrrigation{0xc0, 0x5a, 0x12},
    kRain{0x4a, 0x9a, 0xd8}, kGrey{0x80, 0x80, 0x80}, kShade{0xe8, 0xf1, 0xfa};

enum class Align { left, right, centre };

// What a text block is to a reader: the page's title, a heading, body text, or the header and
// footer lines every page has.
enum class Role { title, heading, body, header, footer };

// Lines of text from `top` down, each `line_height` apart; `width` is the box they were
// broken to. A shaded block has a tinted box behind it, edged in the water colour.
struct TextBlock {
  Role role = Role::body;
  double x = 0, top = 0, width = kWidth;
  double size = kBody;
  bool bold = false;
  Align align = Align::left;
  std::vector<std::string> lines;
  bool shaded = false;
  double line_height() const { return size * kMmPerPoint * 1.25; }
  double height() const { return line_height() * static_cast<double>(lines.size()); }
  // The baseline of line `i`, as a browser sets a line inside its line box.
  double baseline(std::size_t i) const {
    const double em = size * kMmPerPoint;
    return top + line_height() * static_cast<double>(i) + (line_height() - em) / 2 + 0.905 * em;
  }
};

struct Cell {
  std::string text;
  bool bold = false;
};

struct Column {
  std::string head, unit;  // the heading's two lines (the unit may be empty)
  double x = 0, width = 0;
  Align align = Align::left;
};

// A table with its caption above its heading row; its rows `row_height` apart.
struct TableBlock {
  std::string caption;
  double top = 0;
  double size = kBody;
  std::vector<Column> columns;
  std::vector<std::vector<Cell>> rows;
  double row_height() const { return size * kMmPerPoint * 1.6; }
  double caption_height() const { return kHeading * kMmPerPoint * 1.6; }
  double head_height() const { return row_height() * 2; }
  double height() const {
    return caption_height() + head_height() + row_height() * static_cast<double>(rows.size());
  }
};

struct Point {
  double x = 0, y = 0;
};

enum class Dash { solid, dashed, dotted };

// One mark of a chart, in the page's millimetres: a line through its points, a filled
// rectangle (its two corners), a dot (its centre, `width` the radius) or a text at its point.
struct Mark {
  enum class Kind { line, rect, dot, text } kind = Kind::line;
  std::vector<Point> points;
  Colour colour = kBlack;
  double width = 0.2;  // mm
  Dash dash = Dash::solid;
  std::string text;
  double size = kSmall;
  Align align = Align::left;
};

// A chart's marks inside its box; the title and description name it for a reader that does not
// see it (the page shows them as text blocks of their own).
struct ChartBlock {
  std::string title, description;
  double x = 0, top = 0, width = 0, height = 0;
  std::vector<Mark> marks;
};

using Block = std::variant<TextBlock, TableBlock, ChartBlock>;

struct Page {
  std::string field;  // what the page is of, for its header
  std::vector<Block> blocks;
};

// The width of `text` in mm at `size` points, from Helvetica's and Helvetica Bold's published
// character widths (Liberation Sans and Arial share them).
double text_width(std::string_view text, double size, bool bold = false);

// `text` broken into lines no wider than `width` mm, at word spaces; a word wider than the line
// is cut with an ellipsis. At most `max_lines` lines: the last one then ends with an ellipsis.
std::vector<std::string> wrap(std::string_view text, double width, double size, bool bold = false,
                              std::size_t max_lines = 1000);

// `text` on one line of `width` mm: cut with an ellipsis when it is wider.
std::string fitted(std::string_view text, double width, double size, bool bold = false);

}  // namespace vantrel::page
