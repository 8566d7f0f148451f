// The tools' two reports over the laid-out pages, written by whichever writer the report
// file's name asks for.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "report/page_writer.hpp"
#include "report/report.hpp"

namespace vantrel {

// Makes the writer of a report file.
using WriterMaker = std::function<std::unique_ptr<page::PageWriter>(const std::filesystem::path&)>;

// The writer a report file's name asks for: HTML on every system, else PDF with `pdf`, the PDF
// writer of a build that has one; nothing, with the reason, for a PDF where the build has none.
struct WriterChoice {
  WriterMaker writer;
  bool pdf = false;
  std::string refused;
};
WriterChoice choose_writer(const std::filesystem::path& named, const WriterMaker& pdf);

// A tool's --report: its writer chosen by the file's name. A report the build cannot write is
// said on `errors` ("PROGRAM: FILE: reason") and dropped, so that the other outputs are still
// written, and `refused` is set for the exit status.
struct ToolReport {
  WriterMaker writer;  // empty without a report to write
  bool pdf = false;    // the writer needs the report toolkit started
  bool refused = false;
};
ToolReport tool_report(std::optional<std::filesystem::path>& report, const WriterMaker& pdf,
                       std::string_view program, std::ostream& errors);

std::unique_ptr<ProfileReport> make_field_report(const std::filesystem::path& file,
                                                 const WriterMaker& writer,
                                                 const RetentionCurves& curves,
                                                 const ReportContext& context);

std::unique_ptr<SeasonReport> make_season_report(const std::filesystem::path& file,
                                                 const WriterMaker& writer,
                                                 const ReportContext& context);

}  // namespace vantrel
