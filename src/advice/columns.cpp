#include <algorithm>
#include <array>

#include "advice/field_advice.hpp"
#include "data/fields.hpp"
#include "data/text.hpp"

namespace vantrel {

namespace {

constexpr std::array<std::string_view, kColumnCount> kNames = {
    "profile", "horizon",    "thickness", "sand", "clay",       "stones", "density",
    "crop",    "root_depth", "tolerance", "etc",  "efficiency", "notes",
};
constexpr std::array<bool, kColumnCount> kRequired = {
    true, true, true, true, true, false, false, false, false, false, false, false, false};
constexpr std::array<bool, kColumnCount> kNumeric = {false, true, true, true, true, true, true,
                                                     false, true, true, true, true, false};

}  // namespace

std::string_view column_name(Column c) {
  return kNames[static_cast<std::size_t>(c)];
}

bool ColumnMap::read(const std::vector<std::string>& header, std::string& error,
                     std::vector<std::string>& ignored) {
  index = {};
  for (std::size_t i = 0; i < header.size(); ++i) {
    const std::string_view name = trimmed_field(header[i]);
    const auto known = std::find(kNames.begin(), kNames.end(), ascii_lower(name));
    if (known == kNames.end()) {
      ignored.emplace_back(name);
      continue;
    }
    auto& slot = index[static_cast<std::size_t>(known - kNames.begin())];
    if (slot) {
      error = "column " + in_quotes(kNames[static_cast<std::size_t>(known - kNames.begin())]) +
              " is named twice";
      return false;
    }
    slot = i;
  }
  for (std::size_t c = 0; c < kColumnCount; ++c) {
    if (kRequired[c] && !index[c]) {
      error = "no column " + in_quotes(kNames[c]) + " in the header";
      return false;
    }
  }
  const bool root = has(Column::root_depth);
  if (root != has(Column::tolerance)) {
    error = "columns \"root_depth\" and \"tolerance\" come together";
    return false;
  }
  if (!root && !has(Column::crop)) {
    error = "no column \"crop\", nor \"root_depth\" and \"tolerance\", in the header";
    return false;
  }
  return true;
}

bool ColumnMap::numeric(std::size_t position) const {
  for (std::size_t c = 0; c < kColumnCount; ++c) {
    if (index[c] == position) return kNumeric[c];
  }
  return false;
}

}  // namespace vantrel
