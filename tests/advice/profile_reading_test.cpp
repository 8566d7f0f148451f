// A profile file read as the window would take it: the silt the window shows, and the split
// profiles, found before the profiles are read or while they are.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "advice/field_advice.hpp"
#include "advice/profile_reader.hpp"
#include "data/fields.hpp"
#include "data/number_text.hpp"

namespace vantrel {
namespace {

// The silt the window's field shows, by its text: written to one decimal, read back.
float silt_by_text(float sand, float clay) {
  NumberText text;
  write_fixed((100.0F - clay) - sand, 6, 1, text);
  float silt = 0;
  STRING_TO_REAL(text, silt);
  return silt;
}

TEST(SiltAsShown, IsTheFieldsTextReadBackForEverySandAndClay) {
  // Hundredths over the whole triangle and past it, the ties of the tenths among them, and
  // the widths the field cannot hold.
  int checked = 0;
  for (int s = -500; s <= 10500; s += 7) {
    for (int c = -300; c <= 10300; c += 13) {
      const float sand = static_cast<float>(s) / 100.0F;
      const float clay = static_cast<float>(c) / 100.0F;
      const float fast = silt_as_shown(sand, clay);
      const float slow = silt_by_text(sand, clay);
      ASSERT_EQ(fast, slow) << "sand " << sand << ", clay " << clay;
      ASSERT_EQ(std::signbit(fast), std::signbit(slow)) << "sand " << sand << ", clay " << clay;
      ++checked;
    }
  }
  EXPECT_GT(checked, 1'000'000);
  for (const auto& [sand, clay] : {std::pair{0.0F, -1500.0F},
                                   {-998.0F, 0.0F},
                                   {1099.04F, 0.0F},
                                   {0.05F, 99.9F},
                                   {0.0F, 100.04F},
                                   {2e9F, 0.0F}}) {
    EXPECT_EQ(silt_as_shown(sand, clay), silt_by_text(sand, clay)) << sand << " " << clay;
  }
}

constexpr const char* kSplitInput =
    "profile,horizon,thickness,sand,clay,stones,crop\n"
    "north,1,30,40,20,0,Potato\n"
    "south,1,30,40,20,0,Potato\n"
    "north,2,30,40,20,0,\n"
    "east,1,30,40,20,0,Potato\n";

// The profiles of kSplitInput, read with the split found first, or unchecked and marked after.
std::vector<ProfileInput> read_profiles(bool found_first) {
  std::istringstream first_pass(kSplitInput), in(kSplitInput);
  CsvReader pass_reader(first_pass), reader(in);
  ColumnMap columns;
  CsvRecord header;
  std::vector<std::string> ignored;
  TableProblem problem;
  EXPECT_TRUE(read_profile_header(pass_reader, columns, header, ignored, problem));
  EXPECT_TRUE(read_profile_header(reader, columns, header, ignored, problem));
  SplitProfiles split;
  std::atomic<bool> known{false};
  if (found_first) {
    std::string error;
    EXPECT_TRUE(split.find(pass_reader, columns, error));
    known = true;
  }
  ProfileReader profiles(reader, columns, split, &known);
  std::vector<ProfileInput> read;
  BadLines bad;
  for (ProfileInput p; profiles.next(p, bad);)
    read.push_back(p);
  if (!found_first) {
    for (const ProfileInput& p : read)
      EXPECT_FALSE(p.split_checked) << p.name;
    std::string error;
    EXPECT_TRUE(split.find(pass_reader, columns, error));
    for (ProfileInput& p : read)
      EXPECT_EQ(mark_split(split, p), p.name == "north") << p.name;
  }
  return read;
}

TEST(SplitProfiles, ProfilesReadBeforeTheSplitIsKnownGetTheSameErrors) {
  for (const bool found_first : {true, false}) {
    SCOPED_TRACE(found_first ? "found first" : "marked after");
    const std::vector<ProfileInput> read = read_profiles(found_first);
    ASSERT_EQ(read.size(), 4U);
    const std::vector<std::pair<std::string, std::vector<std::string>>> expected = {
        {"north",
         {"profile \"north\" continues after other profiles; its rows must be consecutive"}},
        {"south", {}},
        {"north",
         {"profile \"north\" continues after other profiles; its rows began on line 2 and must "
          "be consecutive"}},
        {"east", {}},
    };
    for (std::size_t i = 0; i < read.size(); ++i) {
      EXPECT_TRUE(read[i].split_checked);
      EXPECT_EQ(read[i].name, expected[i].first);
      std::vector<std::string> reasons;
      for (const TableProblem& e : read[i].errors)
        reasons.push_back(e.reason);
      EXPECT_EQ(reasons, expected[i].second) << read[i].name;
    }
  }
}

// However few groups are kept in memory (so that many blocks of each bucket go to the one
// temporary file, in many rounds), the split names and their first lines are those found
// in memory: among 20,000 names, every 37th comes back later, some of them twice.
TEST(SplitProfiles, BucketsGiveWhatMemoryGives) {
  std::string csv = "profile,horizon,thickness,sand,clay,crop\n";
  std::vector<int> again;
  for (int p = 0; p < 20000; ++p) {
    csv += "name-" + std::to_string(p) + ",1,20,40,15,Potato\n";
    if (p % 37 == 5) again.push_back(p);
  }
  for (std::size_t i = 0; i < again.size(); ++i) {
    csv += "name-" + std::to_string(again[i]) + ",2,20,40,15,\n";
    if (i % 3 == 0) csv += "name-" + std::to_string(again[i]) + ",3,20,40,15,\n";
    if (i % 5 == 0) csv += "spacer,1,20,40,15,Potato\n";  // ends the run above; itself split
  }
  const auto found = [&](std::size_t in_memory, std::string& error) {
    std::istringstream in(csv);
    CsvReader reader(in);
    CsvRecord header;
    EXPECT_TRUE(reader.next(header));
    ColumnMap columns;
    std::vector<std::string> ignored;
    EXPECT_TRUE(columns.read(header.fields, error, ignored));
    auto split = std::make_unique<SplitProfiles>(in_memory);
    EXPECT_TRUE(split->find(reader, columns, error)) << error;
    return split;
  };
  std::string error;
  const auto in_memory = found(std::size_t{1} << 20, error);
  ASSERT_EQ(in_memory->count(), again.size() + 1);
  EXPECT_EQ(in_memory->first_line("name-5"), 7);
  EXPECT_FALSE(in_memory->first_line("name-6").has_value());
  for (const std::size_t kept :
       {std::size_t{5000}, std::size_t{513}, std::size_t{7}, std::size_t{1}}) {
    SCOPED_TRACE(kept);
    const auto bucketed = found(kept, error);
    ASSERT_EQ(bucketed->count(), in_memory->count());
    for (int p = 0; p < 20000; p += 1) {
      const std::string name = "name-" + std::to_string(p);
      ASSERT_EQ(bucketed->first_line(name), in_memory->first_line(name)) << name;
    }
    EXPECT_EQ(bucketed->first_line("spacer"), in_memory->first_line("spacer"));
  }
}

// Names drawn at random from a few thousand, in runs of one to three rows: the split names and
// their first lines are those a plain count of each name's runs gives, in memory and in buckets.
TEST(SplitProfiles, SplitNamesAreThoseThatComeBack) {
  std::string csv = "profile,horizon,thickness,sand,clay,crop\n";
  std::map<std::string, std::pair<int, int>> runs;  // name: first line, runs
  std::uint32_t state = 12345;
  const auto draw = [&](std::uint32_t n) {
    state = state * 1664525U + 1013904223U;
    return (state >> 8) % n;
  };
  std::string last;
  int line = 1;
  for (int r = 0; r < 30000; ++r) {
    const std::string name = " field " + std::to_string(draw(9000)) + "\t";
    const std::string trimmed = name.substr(1, name.size() - 2);
    const std::uint32_t rows = 1 + draw(3);
    for (std::uint32_t k = 0; k < rows; ++k)
      csv += name + "," + std::to_string(k + 1) + ",20,40,15,\n";
    if (trimmed != last) ++runs.try_emplace(trimmed, line + 1, 0).first->second.second;
    last = trimmed;
    line += static_cast<int>(rows);
  }
  for (const std::size_t in_memory : {std::size_t{1} << 20, std::size_t{999}}) {
    SCOPED_TRACE(in_memory);
    std::istringstream in(csv);
    CsvReader reader(in);
    CsvRecord header;
    ASSERT_TRUE(reader.next(header));
    ColumnMap columns;
    std::vector<std::string> ignored;
    std::string error;
    ASSERT_TRUE(columns.read(header.fields, error, ignored));
    SplitProfiles split(in_memory);
    ASSERT_TRUE(split.find(reader, columns, error)) << error;
    std::size_t expected = 0;
    for (const auto& [name, seen] : runs) {
      const auto& [first, count] = seen;
      if (count > 1) ++expected;
      ASSERT_EQ(split.first_line(name), count > 1 ? std::optional<int>(first) : std::nullopt)
          << name;
    }
    EXPECT_EQ(split.count(), expected);
    EXPECT_GT(expected, 1000U);
  }
}

}  // namespace
}  // namespace vantrel
