// A crop's stages for the season: FAO-56's Kc at three points and its four stages' lengths,
// from a crop stages file or a profile's own columns.
#pragma once

#include <array>
#include <functional>
#include <istream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "data/table_header.hpp"
#include "season/water_balance.hpp"

namespace vantrel {

// Deeper than any crop roots (cm): an initial root depth beyond it is no crop's.
inline constexpr double kMaxRootDepth = 1000;
// Above FAO-33's largest yield response factors: a larger one is no crop's.
inline constexpr double kMaxKy = 3;

// The seven numbers as read, in the order kc_ini, kc_mid, kc_end, l_ini, l_dev, l_mid, l_late.
// Kc above 2 or a stage of more than ten years (3650 days) is no crop's, and a season lasts a
// day at least; nothing, with the reason, otherwise. The bounds also keep the day count an int.
std::optional<CropStages> crop_stages_from(const std::array<double, 7>& v, std::string& reason);

// Crop stages by crop name: a table with the columns name, kc_ini, kc_mid, kc_end, l_ini,
// l_dev, l_mid and l_late (any order and case; commas, or semicolons with decimal commas),
// '#' lines being comments; false with the reason ("LINE: reason"). A crop named twice is
// refused. Columns it does not use go to `notes`.
using CropStageTable = std::map<std::string, CropStages, std::less<>>;
inline constexpr const char* kCropStageFileName = "crop_coefficients.csv";
bool read_crop_stages(std::istream& in, CropStageTable& table, std::string& error,
                      std::vector<TableProblem>* notes = nullptr);

}  // namespace vantrel
