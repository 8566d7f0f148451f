// The printable report of the fields (vantrel-batch): a summary, then one PDF page per profile,
// each with a header and a footer, drawn with Qt's painter. It needs a QGuiApplication on the
// thread that calls it (the program's main makes one on the offscreen platform, so no display is
// needed).
#pragma once

#include <filesystem>
#include <memory>

#include "report/report.hpp"

namespace vantrel {

std::unique_ptr<ProfileReport> make_pdf_report(const std::filesystem::path& file,
                                               const RetentionCurves& curves,
                                               const ReportContext& context);

}  // namespace vantrel
