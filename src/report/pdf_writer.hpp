// The PDF writer of a laid-out report, drawn with Qt's painter (Linux only). It needs the
// report toolkit started on the thread that calls it.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "report/page_writer.hpp"
#include "report/report.hpp"

namespace vantrel::page {

std::unique_ptr<PageWriter> make_pdf_writer(const std::filesystem::path& file,
                                            const ReportContext& context,
                                            const std::string& creator);

}  // namespace vantrel::page
