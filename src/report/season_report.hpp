// The season report of vantrel-schedule: a summary across the profiles, then per profile a
// season chart, its irrigation days and its totals, drawn with Qt's painter.
#pragma once

#include <filesystem>
#include <memory>

#include "report/report.hpp"

namespace vantrel {

std::unique_ptr<SeasonReport> make_season_report(const std::filesystem::path& file,
                                                 const ReportContext& context);

}  // namespace vantrel
