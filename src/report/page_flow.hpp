// Placing a report's blocks on its pages: the header and footer every page has, a flow that
// stacks blocks from the top of the body down, and round axis ticks for the charts.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "report/page_model.hpp"
#include "report/report.hpp"

namespace vantrel::page {

// The units a report shows its figures in: millimetres and centimetres, or inches of water,
// inches per foot for contents per depth and inches for depths, as US extension services plan.
struct Units {
  bool inch = false;
  double water(double mm) const { return inch ? mm / 25.4 : mm; }
  double depth(double cm) const { return inch ? cm / 2.54 : cm; }
  double content(double pct) const { return inch ? pct * 0.12 : pct; }  // 1 % of a foot
  std::string water_text(double mm) const;                              // "97.9 mm", "3.85 in"
  std::string depth_text(double cm) const;     // "100.0 cm", "39.4 in (3.3 ft)"
  std::string rate_text(double mm_day) const;  // "5.5 mm/day", "0.22 in/day"
  std::string water_number(double mm) const;   // the figure alone
  std::string depth_number(double cm) const;
  std::string content_number(double pct) const;
  const char* water_unit() const { return inch ? "in" : "mm"; }
  const char* depth_unit() const { return inch ? "in" : "cm"; }
  const char* content_unit() const { return inch ? "in/ft" : "%"; }
};

// What every page of a report says of its run, in the order the header shows it.
struct Frame {
  std::string made;       // "Made DATE by PROGRAM VERSION from INPUT."
  std::string reference;  // which reference profiles, and where they were read
  std::string footer;
  Units units;
};
Frame frame_of(const ReportContext& context, std::string_view program);

// The header's height, mm: where a page's body starts.
double body_top(const Frame& frame);
inline constexpr double kBodyBottom = kHeight - 7;  // above the footer

// A page for `field` with the frame's header and footer; its number is set when it is written.
Page framed_page(const Frame& frame, std::string_view field);
// Puts "page NUMBER of TOTAL" in the page's footer.
void number_page(Page& page, int number, int total);

// Stacks blocks down a page's body.
class Flow {
 public:
  Flow(Page& page, double top) : page_(&page), y_(top) {}
  double y() const { return y_; }
  double room() const { return kBodyBottom - y_; }
  void skip(double mm) { y_ += mm; }
  // Wrapped text across `width` from `x`; at most `max_lines` lines.
  TextBlock& text(std::string_view s, Role role = Role::body, double size = kBody,
                  bool bold = false, std::size_t max_lines = 1000, double x = 0,
                  double width = kWidth);
  TextBlock& title(std::string_view s) { return text(s, Role::title, kTitle, true, 1); }
  TextBlock& heading(std::string_view s) { return text(s, Role::heading, kHeading, true, 1); }
  // A table whose rows are added afterwards; the flow moves below it when `done` is called.
  TableBlock& table(const std::string& caption, std::vector<Column> columns, double size = kBody);
  void below(const TableBlock& table) { y_ = std::max(y_, table.top + table.height()); }
  ChartBlock& chart(std::string title, std::string description, double height);
  Page& page() { return *page_; }

 private:
  Page* page_;
  double y_;
};

// How many rows a table from its top holds above the page's foot.
std::size_t rows_that_fit(const TableBlock& table);

// A report's summary: the first page's title and text, then a table of `count` rows (`row(i)`
// gives the cells of row i) continued over as many pages as it needs; without rows, a line
// saying the input holds no profiles.
std::vector<Page> summary_pages(const Frame& frame, std::string_view field,
                                const std::string& title, const std::string& text,
                                const std::vector<Column>& columns, std::size_t count,
                                const std::function<std::vector<Cell>(std::size_t)>& row);

// Ticks at round values (1, 2, 2.5 or 5 times a power of ten) across [low, high], at most
// `most` of them; the range widened to the outer ticks.
struct Ticks {
  double low = 0, high = 1, step = 1;
  std::vector<double> values;
};
Ticks round_ticks(double low, double high, int most);

// A tick's label: no more decimals than its step needs.
std::string tick_label(double value, double step);

// A chart's plotting area in page millimetres and the data ranges it shows; y grows upwards
// unless `down` (a depth).
struct Plot {
  double left = 0, top = 0, width = 0, height = 0;
  double x0 = 0, x1 = 1, y0 = 0, y1 = 1;
  bool down = false;
  double px(double x) const { return left + width * (x - x0) / (x1 - x0); }
  double py(double y) const {
    const double share = (y - y0) / (y1 - y0);
    return down ? top + height * share : top + height * (1 - share);
  }
  double bottom() const { return top + height; }
  double right() const { return left + width; }
};

void add_line(ChartBlock& c, std::vector<Point> points, Colour colour, double width,
              Dash dash = Dash::solid);
void add_rect(ChartBlock& c, Point a, Point b, Colour colour);
void add_dot(ChartBlock& c, Point at, double radius, Colour colour);
void add_label(ChartBlock& c, Point at, const std::string& text, Align align = Align::left,
               Colour colour = kBlack);
// The plot's frame, and its y ticks with their labels at its left and grid lines across.
void add_frame(ChartBlock& c, const Plot& plot);
void add_y_ticks(ChartBlock& c, const Plot& plot, const Ticks& ticks);
void add_x_ticks(ChartBlock& c, const Plot& plot, const Ticks& ticks);

// "1 warning", "2 warnings".
std::string counted(long n, std::string_view one, std::string_view many);

}  // namespace vantrel::page
