// The writers of a laid-out report: each takes the pages in order and writes them as they come,
// so that a report of many fields never holds more than its page in hand.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "report/page_model.hpp"

namespace vantrel::page {

class PageWriter {
 public:
  virtual ~PageWriter() = default;
  virtual void write(const Page& page) = 0;
  // Ends the document; false with the reason (a failed write, a full disk).
  virtual bool finish(std::string& error) = 0;
};

// The writer a report file's name asks for: HTML for ".html" or ".htm" in any case, else PDF
// (a device such as /dev/stdout, or a name of the user's choosing, stays a PDF as it was).
enum class ReportFormat { pdf, html };
ReportFormat report_format(const std::filesystem::path& file);

// One self-contained HTML file: inline CSS and SVG, no script, nothing fetched; each page an
// A4 page in print.
std::unique_ptr<PageWriter> make_html_writer(const std::filesystem::path& file,
                                             const std::string& title);

}  // namespace vantrel::page
