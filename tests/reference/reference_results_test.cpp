// The tools' figures pinned to committed results (tests/reference/runs.txt): each run's output
// is compared cell by cell with expected/NAME.csv, numbers within a stated tolerance, and a
// failure shows the diff. VANTREL_REGENERATE=1 (./dev.sh pin) writes the outputs instead.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "data/csv_reader.hpp"
#include "support/shell.hpp"
#include "support/temp_dir.hpp"

namespace vantrel {
namespace {

using testing::read_all;
using testing::shell;
using testing::TempDir;

const std::filesystem::path kRoot = VANTREL_SOURCE_DIR;
const std::filesystem::path kPinned = kRoot / "tests" / "reference";

// Figures agree when they differ by at most this much: a thousandth of a millimetre and a
// millionth of the figure, far below any fault worth the name and above the last digit of a
// single-precision number.
constexpr double kAbsolute = 1e-3, kRelative = 1e-6;

struct PinnedRun {
  std::string name, tool, args;
};

std::vector<PinnedRun> runs() {
  std::ifstream in(kPinned / "runs.txt");
  std::vector<PinnedRun> out;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line.front() == '#') continue;
    std::istringstream words(line);
    PinnedRun r;
    words >> r.name >> r.tool;
    std::getline(words, r.args);
    out.push_back(r);
  }
  return out;
}

std::string program(const std::string& tool) {
  if (tool == "vantrel-batch") return VANTREL_BATCH;
  if (tool == "vantrel-schedule") return VANTREL_SCHEDULE;
  return tool;
}

std::optional<double> as_number(const std::string& cell) {
  if (cell.empty()) return std::nullopt;
  char* end = nullptr;
  const double v = std::strtod(cell.c_str(), &end);
  if (end != cell.c_str() + cell.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::vector<std::vector<std::string>> table(const std::string& csv) {
  std::istringstream in(csv);
  CsvReader reader(in, 1 << 16);
  std::vector<std::vector<std::string>> rows;
  for (CsvRecord r; reader.next(r);)
    rows.push_back(r.error.empty() ? r.fields : std::vector<std::string>{"! " + r.error});
  return rows;
}

// The first cell where the two tables part, as "line L, column C: expected E, got G"; empty
// when they agree.
std::string first_difference(const std::string& expected, const std::string& got) {
  const auto e = table(expected), g = table(got);
  if (e.size() != g.size())
    return std::to_string(e.size()) + " rows expected, " + std::to_string(g.size()) + " got";
  for (std::size_t r = 0; r < e.size(); ++r) {
    if (e[r].size() != g[r].size()) return "row " + std::to_string(r + 1) + ": other columns";
    for (std::size_t c = 0; c < e[r].size(); ++c) {
      const auto a = as_number(e[r][c]), b = as_number(g[r][c]);
      const bool same =
          a && b ? std::fabs(*a - *b) <= kAbsolute + kRelative * std::fabs(*a) : e[r][c] == g[r][c];
      if (!same) {
        return "row " + std::to_string(r + 1) + ", column " + e[0][c] + ": expected " + e[r][c] +
               ", got " + g[r][c];
      }
    }
  }
  return {};
}

TEST(ReferenceResults, EveryRunGivesItsCommittedFigures) {
  const bool regenerate = std::getenv("VANTREL_REGENERATE") != nullptr;
  const std::vector<PinnedRun> all = runs();
  ASSERT_GE(all.size(), 7U);
  for (const PinnedRun& run : all) {
    SCOPED_TRACE(run.name);
    TempDir dir;
    const std::filesystem::path out = dir / "out.csv";
    std::string args = run.args;
    const bool to_stdout = args.find("OUT") == std::string::npos;
    if (!to_stdout) args.replace(args.find("OUT"), 3, out.string());
    // Standard output alone is the result; what the tool says on standard error is kept apart.
    const std::filesystem::path said = dir / "errors.txt";
    const std::string command =
        "cd " + kRoot.string() + " && { " + program(run.tool) + " --quiet --data reference" + args +
        (to_stdout ? " > " + out.string() : std::string()) + " 2> " + said.string() + "; }";
    const testing::Ran ran = shell(command);
    ASSERT_EQ(ran.status, 0) << command << '\n' << read_all(said);
    const std::string got = read_all(out);
    const std::filesystem::path expected = kPinned / "expected" / (run.name + ".csv");
    if (regenerate) {
      std::ofstream(expected, std::ios::binary) << got;
      std::cout << "regenerated " << expected.string() << '\n';
      continue;
    }
    ASSERT_TRUE(std::filesystem::exists(expected)) << expected << ": run ./dev.sh pin";
    const std::string difference = first_difference(read_all(expected), got);
    if (!difference.empty()) {
      const testing::Ran diff =
          shell("diff -u " + expected.string() + " " + out.string() + " | head -40");
      ADD_FAILURE() << run.name << ": " << difference << "\n" << diff.output;
    }
  }
}

// The comparison itself: within the tolerance is the same, a digit beyond it is not.
TEST(ReferenceResults, TheToleranceIsTheStatedOne) {
  EXPECT_EQ(first_difference("a,b\nx,100.0004\n", "a,b\nx,100.0000\n"), "");
  EXPECT_EQ(first_difference("a,b\nx,100.002\n", "a,b\nx,100\n"),
            "row 2, column b: expected 100.002, got 100");
  EXPECT_EQ(first_difference("a,b\nx,1\n", "a,b\ny,1\n"), "row 2, column a: expected x, got y");
  EXPECT_EQ(first_difference("a,b\nx,1\n", "a,b\n"), "2 rows expected, 1 got");
}

}  // namespace
}  // namespace vantrel
