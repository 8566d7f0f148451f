// A LineSink that keeps its lines in memory, or fails on demand.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/trace_unit.hpp"

namespace vantrel::testing {

class LineLog final : public LineSink {
 public:
  bool write_line(std::string_view line) override {
    lines.emplace_back(line);
    return true;
  }
  std::vector<std::string> lines;
};

}  // namespace vantrel::testing
