// The tables of UNSODA as published here: a JSON list of flat objects whose values are all
// strings. This reads exactly that shape, and says where anything else begins.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::unsoda {

struct JsonRow {
  int line = 0;  // where the object starts
  std::map<std::string, std::string, std::less<>> fields;
  // The field's text; empty when the row has none.
  std::string_view operator[](std::string_view name) const;
};

// The rows of `text`; nothing, with "LINE: reason", when it is not a list of flat objects of
// strings.
std::optional<std::vector<JsonRow>> read_json_rows(std::string_view text, std::string& error);

}  // namespace vantrel::unsoda
