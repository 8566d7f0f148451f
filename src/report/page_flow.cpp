#include "report/page_flow.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "data/retention_curves.hpp"
#include "data/safe_text.hpp"

namespace vantrel::page {

namespace {

// The header's lines: the title with the field at the right, what made the report, and the
// reference set at body size.
std::vector<TextBlock> header_blocks(const Frame& f, std::string_view field) {
  std::vector<TextBlock> blocks;
  TextBlock title{Role::header, 0, 0, 95, 12, true, Align::left, {"Vantrel irrigation report"}};
  TextBlock name{
      Role::header, 95, 0, 85, 12, true, Align::right, {fitted(page_text(field), 85, 12, true)}};
  TextBlock made{
      Role::header, 0,     title.height() + 0.5, kWidth,
      kSmall,       false, Align::left,          wrap(page_text(f.made), kWidth, kSmall, false, 2)};
  TextBlock set{Role::header,
                0,
                made.top + made.height(),
                kWidth,
                kBody,
                false,
                Align::left,
                wrap(page_text(f.reference), kWidth, kBody, false, 3)};
  blocks.push_back(title);
  blocks.push_back(name);
  blocks.push_back(made);
  blocks.push_back(set);
  return blocks;
}

}  // namespace

namespace {

std::string fixed(double v, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals,
                std::abs(v) < 0.5 * std::pow(10.0, -decimals) ? 0.0 : v);
  return text;
}

}  // namespace

std::string Units::water_number(double mm) const {
  return fixed(water(mm), inch ? 2 : 1);
}
std::string Units::depth_number(double cm) const {
  return fixed(depth(cm), 1);
}
std::string Units::content_number(double pct) const {
  return fixed(content(pct), inch ? 2 : 1);
}
std::string Units::water_text(double mm) const {
  return water_number(mm) + " " + water_unit();
}
std::string Units::depth_text(double cm) const {
  if (!inch) return depth_number(cm) + " cm";
  return depth_number(cm) + " in (" + fixed(cm / 30.48, 1) + " ft)";
}
std::string Units::rate_text(double mm_day) const {
  return inch ? fixed(mm_day / 25.4, 2) + " in/day" : fixed(mm_day, 1) + " mm/day";
}

Frame frame_of(const ReportContext& c, std::string_view program) {
  Frame f;
  f.units.inch = c.inches;
  f.made =
      "Made " + c.made + " by " + std::string(program) + " " + c.version + " from " + c.input + ".";
  f.reference = c.bundled_set
                    ? "Reference profiles: the bundled set (" + std::string(kBundledSetName) +
                          "), " + c.reference_folder + ". " + std::string(kBundledPrecision)
                    : "Reference profiles: " + c.reference_folder;
  f.footer = "Vantrel " + c.version + ": the water a soil profile holds, and when to irrigate";
  return f;
}

double body_top(const Frame& frame) {
  const auto blocks = header_blocks(frame, "");
  return blocks.back().top + blocks.back().height() + 4;
}

Page framed_page(const Frame& frame, std::string_view field) {
  Page p;
  p.field = std::string(field);
  for (TextBlock& b : header_blocks(frame, field))
    p.blocks.emplace_back(std::move(b));
  const double foot = kHeight - kSmall * kMmPerPoint * 1.25;
  p.blocks.emplace_back(TextBlock{
      Role::footer, 0, foot, 140, kSmall, false, Align::left, {fitted(frame.footer, 140, kSmall)}});
  p.blocks.emplace_back(TextBlock{Role::footer, 140, foot, 40, kSmall, false, Align::right, {""}});
  return p;
}

void number_page(Page& page, int number, int total) {
  for (Block& b : page.blocks) {
    auto* t = std::get_if<TextBlock>(&b);
    if (t != nullptr && t->role == Role::footer && t->align == Align::right)
      t->lines = {"page " + std::to_string(number) + " of " + std::to_string(total)};
  }
}

TextBlock& Flow::text(std::string_view s, Role role, double size, bool bold, std::size_t max_lines,
                      double x, double width) {
  TextBlock b{role, x,    y_,          width,
              size, bold, Align::left, wrap(page_text(s), width, size, bold, max_lines)};
  y_ += b.height();
  return std::get<TextBlock>(page_->blocks.emplace_back(std::move(b)));
}

TableBlock& Flow::table(const std::string& caption, std::vector<Column> columns, double size) {
  TableBlock t;
  t.caption = page_text(caption);
  t.top = y_;
  t.size = size;
  t.columns = std::move(columns);
  return std::get<TableBlock>(page_->blocks.emplace_back(std::move(t)));
}

ChartBlock& Flow::chart(std::string title, std::string description, double height) {
  ChartBlock c;
  c.title = std::move(title);
  c.description = std::move(description);
  c.x = 0;
  c.top = y_;
  c.width = kWidth;
  c.height = height;
  y_ += height;
  return std::get<ChartBlock>(page_->blocks.emplace_back(std::move(c)));
}

std::size_t rows_that_fit(const TableBlock& t) {
  const double room = kBodyBottom - t.top - t.caption_height() - t.head_height();
  return room > 0 ? static_cast<std::size_t>(room / t.row_height()) : 0;
}

std::vector<Page> summary_pages(const Frame& frame, std::string_view field,
                                const std::string& title, const std::string& text,
                                const std::vector<Column>& columns, std::size_t count,
                                const std::function<std::vector<Cell>(std::size_t)>& row) {
  std::vector<Page> pages;
  std::size_t next = 0;
  do {
    Page& page = pages.emplace_back(framed_page(frame, field));
    Flow flow(page, body_top(frame));
    if (pages.size() == 1) {
      flow.title(title);
      flow.skip(1);
      flow.text(text);
      flow.skip(3);
      if (count == 0) {
        flow.text("The input holds no profiles.", Role::heading, kHeading, true);
        break;
      }
    }
    TableBlock& t = flow.table(pages.size() == 1 ? "Profiles" : "Profiles (continued)", columns);
    const std::size_t fit = std::max<std::size_t>(1, rows_that_fit(t));
    for (; next < count && t.rows.size() < fit; ++next)
      t.rows.push_back(row(next));
  } while (next < count);
  return pages;
}

Ticks round_ticks(double low, double high, int most) {
  Ticks t;
  if (!(high > low)) high = low + 1;
  const double rough = (high - low) / std::max(1, most - 1);
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  t.step = 10 * power;
  for (const double m : {1.0, 2.0, 2.5, 5.0, 10.0}) {
    if (m * power >= rough) {
      t.step = m * power;
      break;
    }
  }
  t.low = std::floor(low / t.step + 1e-9) * t.step;
  t.high = std::ceil(high / t.step - 1e-9) * t.step;
  for (double v = t.low; v <= t.high + t.step * 1e-6; v += t.step)
    t.values.push_back(std::abs(v) < t.step * 1e-9 ? 0.0 : v);
  return t;
}

std::string tick_label(double value, double step) {
  int decimals = 0;
  while (decimals < 6 && std::abs(step * std::pow(10.0, decimals) -
                                  std::round(step * std::pow(10.0, decimals))) > 1e-6)
    ++decimals;
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

void add_line(ChartBlock& c, std::vector<Point> points, Colour colour, double width, Dash dash) {
  Mark m;
  m.kind = Mark::Kind::line;
  m.points = std::move(points);
  m.colour = colour;
  m.width = width;
  m.dash = dash;
  c.marks.push_back(std::move(m));
}

void add_rect(ChartBlock& c, Point a, Point b, Colour colour) {
  Mark m;
  m.kind = Mark::Kind::rect;
  m.points = {a, b};
  m.colour = colour;
  c.marks.push_back(std::move(m));
}

void add_dot(ChartBlock& c, Point at, double radius, Colour colour) {
  Mark m;
  m.kind = Mark::Kind::dot;
  m.points = {at};
  m.width = radius;
  m.colour = colour;
  c.marks.push_back(std::move(m));
}

void add_label(ChartBlock& c, Point at, const std::string& text, Align align, Colour colour) {
  Mark m;
  m.kind = Mark::Kind::text;
  m.points = {at};
  m.text = page_text(text);
  m.align = align;
  m.colour = colour;
  c.marks.push_back(std::move(m));
}

void add_frame(ChartBlock& c, const Plot& p) {
  add_line(c,
           {{p.left, p.top},
            {p.right(), p.top},
            {p.right(), p.bottom()},
            {p.left, p.bottom()},
            {p.left, p.top}},
           kBlack, 0.2);
}

void add_y_ticks(ChartBlock& c, const Plot& p, const Ticks& t) {
  for (const double v : t.values) {
    const double y = p.py(v);
    add_line(c, {{p.left - 1, y}, {p.left, y}}, kBlack, 0.2);
    add_label(c, {p.left - 1.5, y + 1}, tick_label(v, t.step), Align::right);
  }
}

void add_x_ticks(ChartBlock& c, const Plot& p, const Ticks& t) {
  for (const double v : t.values) {
    const double x = p.px(v);
    add_line(c, {{x, p.bottom()}, {x, p.bottom() + 1}}, kBlack, 0.2);
    add_label(c, {x, p.bottom() + 4}, tick_label(v, t.step), Align::centre);
  }
}

std::string counted(long n, std::string_view one, std::string_view many) {
  return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

}  // namespace vantrel::page
