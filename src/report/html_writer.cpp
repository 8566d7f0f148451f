#include <cstdio>
#include <fstream>

#include "data/float_chars.hpp"
#include "data/path_text.hpp"
#include "data/text.hpp"
#include "report/page_writer.hpp"

namespace vantrel::page {

namespace {

std::string escaped(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (const char c : s) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// A length to a hundredth of a millimetre, without trailing zeros: a page's every coordinate
// goes through here, so it writes with to_chars (write_fixed) rather than printf.
std::string mm(double v) {
  char text[32];
  const char* start = text;
  const char* end = write_fixed(text, text + sizeof text, v, 2);
  std::string s(start, end != nullptr ? end : start);
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0')
      s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  return s.empty() || s == "-0" ? "0" : s;
}

std::string colour(Colour c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", c.r, c.g, c.b);
  return text;
}

const char* align_class(Align a) {
  switch (a) {
    case Align::right:
      return " r";
    case Align::centre:
      return " c";
    default:
      return "";
  }
}

constexpr const char* kStyle = R"(<style>
@page { size: 210mm 297mm; margin: 0; }
html, body { margin: 0; padding: 0; }
body { font-family: "Liberation Sans", Arial, Helvetica, sans-serif; color: #000; }
.page { position: relative; width: 210mm; height: 296mm; overflow: hidden; background: #fff;
        break-after: page; page-break-after: always; }
.page:last-child { break-after: auto; page-break-after: auto; }
.body { position: absolute; left: 15mm; top: 15mm; width: 180mm; height: 267mm; }
.body p, .body h1, .body h2, .body table, .body figure { position: absolute; margin: 0;
        padding: 0; white-space: nowrap; font-weight: normal; }
.body .b, .body h1, .body h2, .body caption, .body th { font-weight: bold; }
.body .r { text-align: right; } .body .c { text-align: center; }
.body .shade { background: #e8f1fa; padding: 1mm 2mm; margin: -1mm -2mm;
               outline: 0.3mm solid #1f5fa8; }
.body table { border-collapse: collapse; table-layout: fixed; }
.body caption { text-align: left; white-space: nowrap; }
.body td, .body th { padding: 0; text-align: left; vertical-align: top; overflow: hidden; }
.body th { border-bottom: 0.2mm solid #000; }
.body svg { display: block; }
@media screen { body { background: #ddd; } .page { margin: 6mm auto; box-shadow: 0 0 2mm #999; } }
</style>
)";

class HtmlWriter final : public PageWriter {
 public:
  HtmlWriter(const std::filesystem::path& file, const std::string& title)
      : out_(file, std::ios::binary | std::ios::trunc) {
    out_ << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>\n<title>"
         << escaped(title) << "</title>\n"
         << kStyle << "</head>\n<body>\n";
  }

  void write(const Page& page) override {
    ++pages_;
    out_ << "<section class=\"page\" id=\"page-" << pages_ << "\">\n<div class=\"body\">\n";
    group(page, Role::header, "header");
    out_ << "<main>\n";
    for (const Block& b : page.blocks) {
      if (const auto* t = std::get_if<TextBlock>(&b)) {
        if (t->role != Role::header && t->role != Role::footer) text(*t);
      } else if (const auto* table = std::get_if<TableBlock>(&b)) {
        this->table(*table);
      } else {
        chart(std::get<ChartBlock>(b));
      }
    }
    out_ << "</main>\n";
    group(page, Role::footer, "footer");
    out_ << "</div>\n</section>\n";
  }

  bool finish(std::string& error) override {
    out_ << "</body>\n</html>\n";
    out_.flush();
    if (!out_) {
      error = "the HTML could not be written";
      return false;
    }
    out_.close();
    return true;
  }

 private:
  void group(const Page& page, Role role, const char* element) {
    out_ << '<' << element << ">\n";
    for (const Block& b : page.blocks) {
      const auto* t = std::get_if<TextBlock>(&b);
      if (t != nullptr && t->role == role) text(*t);
    }
    out_ << "</" << element << ">\n";
  }

  void text(const TextBlock& t) {
    const char* element = t.role == Role::title ? "h1" : t.role == Role::heading ? "h2" : "p";
    out_ << '<' << element << " class=\"t" << (t.bold ? " b" : "") << align_class(t.align)
         << (t.shaded ? " shade" : "") << "\" style=\"left:" << mm(t.x) << "mm;top:" << mm(t.top)
         << "mm;width:" << mm(t.width) << "mm;font-size:" << mm(t.size)
         << "pt;line-height:" << mm(t.line_height()) << "mm\">";
    for (std::size_t i = 0; i < t.lines.size(); ++i)
      out_ << (i > 0 ? "<br/>" : "") << escaped(t.lines[i]);
    out_ << "</" << element << ">\n";
  }

  // Column `i` from its start to the next column's (the last: its own width).
  static double span(const TableBlock& t, std::size_t i) {
    return i + 1 < t.columns.size() ? t.columns[i + 1].x - t.columns[i].x : t.columns[i].width;
  }
  static std::string padding(const TableBlock& t, std::size_t i) {
    const double gap = span(t, i) - t.columns[i].width;
    if (t.columns[i].align != Align::right || gap <= 0.005) return "";
    return " style=\"padding-right:" + mm(gap) + "mm\"";
  }

  void table(const TableBlock& t) {
    if (t.columns.empty()) return;
    const double left = t.columns.front().x;
    const double width = t.columns.back().x + t.columns.back().width - left;
    out_ << "<table style=\"left:" << mm(left) << "mm;top:" << mm(t.top) << "mm;width:" << mm(width)
         << "mm;font-size:" << mm(t.size) << "pt;line-height:" << mm(t.row_height())
         << "mm\">\n<caption style=\"font-size:" << mm(kHeading)
         << "pt;line-height:" << mm(t.caption_height()) << "mm\">" << escaped(t.caption)
         << "</caption>\n<colgroup>";
    // A column reaches to the next one's start; what lies beyond its own width is padding, so
    // that a right-aligned figure ends where the PDF ends it.
    for (std::size_t i = 0; i < t.columns.size(); ++i)
      out_ << "<col style=\"width:" << mm(span(t, i)) << "mm\"/>";
    out_ << "</colgroup>\n<thead><tr>";
    for (const Column& c : t.columns) {
      out_ << "<th scope=\"col\" class=\"" << align_class(c.align) << '"'
           << padding(t, &c - t.columns.data()) << '>' << escaped(c.head) << "<br/>"
           << escaped(c.unit) << "</th>";
    }
    out_ << "</tr></thead>\n<tbody>\n";
    for (const auto& row : t.rows) {
      out_ << "<tr>";
      for (std::size_t i = 0; i < row.size() && i < t.columns.size(); ++i) {
        out_ << "<td class=\"" << (row[i].bold ? "b" : "") << align_class(t.columns[i].align) << '"'
             << padding(t, i) << '>' << escaped(row[i].text) << "</td>";
      }
      out_ << "</tr>\n";
    }
    out_ << "</tbody>\n</table>\n";
  }

  void chart(const ChartBlock& c) {
    out_ << "<figure style=\"left:" << mm(c.x) << "mm;top:" << mm(c.top) << "mm\">\n"
         << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << mm(c.width) << "mm\" height=\""
         << mm(c.height) << "mm\" viewBox=\"" << mm(c.x) << ' ' << mm(c.top) << ' ' << mm(c.width)
         << ' ' << mm(c.height) << "\" role=\"img\" aria-label=\""
         << escaped(c.title + ". " + c.description) << "\">\n";
    for (const Mark& m : c.marks)
      mark(m);
    out_ << "</svg>\n</figure>\n";
  }

  void mark(const Mark& m) {
    const std::string stroke = colour(m.colour);
    switch (m.kind) {
      case Mark::Kind::line: {
        out_ << "<polyline fill=\"none\" stroke=\"" << stroke << "\" stroke-width=\"" << mm(m.width)
             << '"';
        if (m.dash != Dash::solid)
          out_ << " stroke-dasharray=\"" << (m.dash == Dash::dashed ? "1.2 0.8" : "0.3 0.6") << '"';
        out_ << " points=\"";
        for (std::size_t i = 0; i < m.points.size(); ++i)
          out_ << (i > 0 ? " " : "") << mm(m.points[i].x) << ',' << mm(m.points[i].y);
        out_ << "\"/>\n";
        break;
      }
      case Mark::Kind::rect: {
        if (m.points.size() < 2) return;
        const Point a = m.points[0], b = m.points[1];
        out_ << "<rect x=\"" << mm(std::min(a.x, b.x)) << "\" y=\"" << mm(std::min(a.y, b.y))
             << "\" width=\"" << mm(std::abs(b.x - a.x)) << "\" height=\""
             << mm(std::abs(b.y - a.y)) << "\" fill=\"" << stroke << "\"/>\n";
        break;
      }
      case Mark::Kind::dot:
        if (m.points.empty()) return;
        out_ << "<circle cx=\"" << mm(m.points[0].x) << "\" cy=\"" << mm(m.points[0].y) << "\" r=\""
             << mm(m.width) << "\" fill=\"" << stroke << "\"/>\n";
        break;
      case Mark::Kind::text:
        if (m.points.empty()) return;
        out_ << "<text x=\"" << mm(m.points[0].x) << "\" y=\"" << mm(m.points[0].y)
             << "\" font-size=\"" << mm(m.size * kMmPerPoint) << "\" fill=\"" << stroke << '"'
             << (m.align == Align::right    ? " text-anchor=\"end\""
                 : m.align == Align::centre ? " text-anchor=\"middle\""
                                            : "")
             << '>' << escaped(m.text) << "</text>\n";
        break;
    }
  }

  std::ofstream out_;
  int pages_ = 0;
};

}  // namespace

ReportFormat report_format(const std::filesystem::path& file) {
  const std::string ext = ascii_lower(path_text(file.extension()));
  return ext == ".html" || ext == ".htm" ? ReportFormat::html : ReportFormat::pdf;
}

std::unique_ptr<PageWriter> make_html_writer(const std::filesystem::path& file,
                                             const std::string& title) {
  return std::make_unique<HtmlWriter>(file, title);
}

}  // namespace vantrel::page
