// The printable report of vantrel-batch: one PDF page per profile, drawn with Qt's painter
// on its offscreen platform, so no display is needed.
#pragma once

#include <filesystem>
#include <memory>

#include "batch/batch_run.hpp"

namespace vantrel {

std::unique_ptr<ProfileReport> make_pdf_report(const std::filesystem::path& file,
                                               const RetentionCurves& curves);

}  // namespace vantrel
