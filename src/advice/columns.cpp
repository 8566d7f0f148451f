#include <array>

#include "advice/field_advice.hpp"
#include "data/table_header.hpp"

namespace vantrel {

namespace {

constexpr CellKind kText = CellKind::text, kNumber = CellKind::number;
constexpr std::array<ColumnSpec, kColumnCount> kColumns = {{
    {"profile", true, kText},
    {"horizon", true, kNumber},
    {"thickness", true, kNumber},
    {"sand", true, kNumber},
    {"clay", true, kNumber},
    {"stones", false, kNumber},
    {"density", false, kNumber},
    {"crop", false, kText},
    {"root_depth", false, kNumber},
    {"tolerance", false, kNumber},
    {"etc", false, kNumber},
    {"efficiency", false, kNumber},
    {"notes", false, kText},
}};

}  // namespace

std::string_view column_name(Column c) {
  return kColumns[static_cast<std::size_t>(c)].name;
}

bool ColumnMap::read(const std::vector<std::string>& header, std::string& error,
                     std::vector<std::string>& ignored) {
  TableHeader table(kColumns);
  if (const auto problem = table.read(header)) {
    error = *problem;
    return false;
  }
  for (std::size_t c = 0; c < kColumnCount; ++c)
    index[c] = table.position(c);
  ignored.insert(ignored.end(), table.unknown().begin(), table.unknown().end());
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

}  // namespace vantrel
