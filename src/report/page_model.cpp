#include "report/page_model.hpp"

#include <algorithm>
#include <array>

namespace vantrel::page {

namespace {

// Helvetica's advance widths, thousandths of an em, for the printable ASCII characters
// (32 ' ' to 126 '~'), from Adobe's published font metrics.
constexpr std::array<int, 95> kWidths = {
    278,  278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278,  // ' '../
    556,  556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556,  // 0..?
    1015, 667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778,  // @..O
    667,  778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469, 556,  // P.._
    333,  556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556,  // `..o
    556,  556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584};      // p..~
// The same of Helvetica Bold.
constexpr std::array<int, 95> kBoldWidths = {
    278, 333, 474, 556, 556, 889, 722, 238, 333, 333, 389, 584, 278, 333, 278, 278,  // ' '../
    556, 556, 556, 556, 556, 556, 556, 556, 556, 556, 333, 333, 584, 584, 584, 611,  // 0..?
    975, 722, 722, 722, 722, 667, 611, 778, 722, 278, 556, 722, 611, 833, 722, 778,  // @..O
    667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 333, 278, 333, 584, 556,  // P.._
    333, 556, 611, 556, 611, 556, 333, 611, 611, 278, 278, 556, 278, 889, 611, 611,  // `..o
    611, 611, 389, 556, 333, 611, 556, 778, 556, 556, 500, 389, 280, 389, 584};      // p..~
constexpr int kOtherWidth = 600;  // a character beyond ASCII: about an average letter's
constexpr std::string_view kEllipsis = "\xE2\x80\xA6";

// The length of the UTF-8 sequence that starts with `lead`.
std::size_t sequence_length(unsigned char lead) {
  if (lead < 0xC0) return 1;
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  return 4;
}

int char_width(std::string_view text, std::size_t at, bool bold) {
  const auto c = static_cast<unsigned char>(text[at]);
  if (c >= 32 && c <= 126) return (bold ? kBoldWidths : kWidths)[c - 32];
  if (text.substr(at, kEllipsis.size()) == kEllipsis) return 1000;
  return kOtherWidth;
}

// A hundredth more than the metrics, so that a line never quite fills its box.
double scale(double size) {
  return size * kMmPerPoint / 1000.0 * 1.01;
}

}  // namespace

double text_width(std::string_view text, double size, bool bold) {
  long units = 0;
  for (std::size_t i = 0; i < text.size();
       i += sequence_length(static_cast<unsigned char>(text[i])))
    units += char_width(text, i, bold);
  return static_cast<double>(units) * scale(size);
}

std::string fitted(std::string_view text, double width, double size, bool bold) {
  if (text_width(text, size, bold) <= width) return std::string(text);
  const double room = width - text_width(kEllipsis, size, bold);
  std::string out;
  double used = 0;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = sequence_length(static_cast<unsigned char>(text[i]));
    const double w = char_width(text, i, bold) * scale(size);
    if (used + w > room) break;
    out.append(text.substr(i, n));
    used += w;
    i += n;
  }
  while (!out.empty() && out.back() == ' ')
    out.pop_back();
  return out + std::string(kEllipsis);
}

std::vector<std::string> wrap(std::string_view text, double width, double size, bool bold,
                              std::size_t max_lines) {
  std::vector<std::string> lines;
  std::string line;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t space = std::min(text.find(' ', at), text.size());
    const std::string_view word = text.substr(at, space - at);
    at = space + 1;
    if (word.empty()) continue;
    const std::string joined = line.empty() ? std::string(word) : line + " " + std::string(word);
    if (text_width(joined, size, bold) <= width) {
      line = joined;
      continue;
    }
    if (!line.empty()) lines.push_back(line);
    line = fitted(word, width, size, bold);
  }
  if (!line.empty()) lines.push_back(line);
  if (lines.size() > max_lines) {
    lines.resize(max_lines);
    if (!lines.empty()) {
      lines.back() = fitted(lines.back() + " " + std::string(kEllipsis), width, size, bold);
    }
  }
  return lines;
}

}  // namespace vantrel::page
