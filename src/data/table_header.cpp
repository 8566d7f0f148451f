#include "data/table_header.hpp"

#include <algorithm>

#include "data/fields.hpp"
#include "data/text.hpp"

namespace vantrel {

std::optional<std::string> TableHeader::read(const std::vector<std::string>& names) {
  std::fill(at_.begin(), at_.end(), std::nullopt);
  unknown_.clear();
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string_view name = trimmed_field(names[i]);
    const std::string lower = ascii_lower(name);
    const auto known = std::find_if(columns_.begin(), columns_.end(),
                                    [&](const ColumnSpec& c) { return c.name == lower; });
    if (known == columns_.end()) {
      unknown_.emplace_back(name);
      continue;
    }
    auto& slot = at_[static_cast<std::size_t>(known - columns_.begin())];
    if (slot) return "column " + in_quotes(known->name) + " is named twice";
    slot = i;
  }
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    if (columns_[c].required && !at_[c])
      return "no column " + in_quotes(columns_[c].name) + " in the header";
  }
  return std::nullopt;
}

std::string_view TableHeader::text(const std::vector<std::string>& row, std::size_t column) const {
  const auto& at = at_.at(column);
  if (!at || *at >= row.size()) return {};
  return trimmed_field(row[*at]);
}

std::string TableHeader::number_text(const std::vector<std::string>& row,
                                     std::size_t column) const {
  return vantrel::number_text(text(row, column), decimal_comma);
}

std::string number_text(std::string_view cell, bool decimal_comma) {
  std::string text(cell);
  if (decimal_comma) std::replace(text.begin(), text.end(), ',', '.');
  return text;
}

}  // namespace vantrel
