// The rows of a batch input grouped into profiles, one profile at a time, in bounded memory.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "advice/field_advice.hpp"
#include "data/csv_reader.hpp"

namespace vantrel {

// The profile names whose rows are not consecutive (a split profile), found by one pass over
// the input before any profile is computed, in time linear in the input and bounded memory:
// each group of consecutive rows gives its name's 64-bit hash and first line; past a million
// groups they are spread over temporary bucket files by hash, and each bucket, sorted, shows
// the names met in more than one group. Only those names are kept.
using SplitList = std::deque<std::pair<std::uint64_t, int>>;  // name hash, first line

class SplitProfiles {
 public:
  // Past `in_memory` groups, the groups go to bucket files.
  explicit SplitProfiles(std::size_t in_memory = std::size_t{1} << 20) : in_memory_(in_memory) {}

  // Reads the records after the header; false with the reason when a temporary file fails.
  bool find(CsvReader& reader, const ColumnMap& columns, std::string& error);
  // The line on which the first group of a split profile began; nothing when its rows are
  // consecutive.
  std::optional<int> first_line(const std::string& name) const;
  std::size_t count() const { return split_.size(); }

 private:
  std::size_t in_memory_;
  // By hash. A deque grows without copying itself: millions of split names never need twice
  // their room.
  SplitList split_;
};

// Unreadable lines with their reasons: the first kKept of them are kept, the others counted,
// so that memory stays bounded whatever the input.
struct BadLines {
  static constexpr std::size_t kKept = 1000;
  std::vector<TableProblem> kept;
  long long more = 0;  // counted, not kept
  int last_line = 0;   // the line of the last one counted
  void add(int line, const std::string& reason);
  long long count() const { return static_cast<long long>(kept.size()) + more; }
  bool empty() const { return count() == 0; }
};

// Reads the records after the header and hands on one profile at a time: consecutive rows
// with the same name. Lines that cannot be read belong to no profile and go to `bad_lines`. A
// profile keeps at most kMaxRowsPerProfile rows and counts the rest; every part of a split
// profile is an error.
class ProfileReader {
 public:
  // With `known`, the split profiles are being found meanwhile: a profile read before `known`
  // is set is left unchecked (`split_checked` false) for mark_split.
  ProfileReader(CsvReader& reader, const ColumnMap& columns, const SplitProfiles& split,
                const std::atomic<bool>* known = nullptr);

  // The next profile; false at the end. `bad_lines` receives the unreadable lines met on
  // the way.
  bool next(ProfileInput& profile, BadLines& bad_lines);

 private:
  CsvReader& reader_;
  const ColumnMap& columns_;
  const SplitProfiles& split_;
  const std::atomic<bool>* known_;
  std::optional<CsvRecord> pending_;  // the first row of the next profile
};

// Makes the profile an error when it is split (its name's rows are not consecutive); true
// when it is.
bool mark_split(const SplitProfiles& split, ProfileInput& profile);

// Reads a profile file's header into `columns` (its decimal comma too); the header's record is
// left in `header`, and the names no column declares in `ignored`. False with the problem.
bool read_profile_header(CsvReader& reader, ColumnMap& columns, CsvRecord& header,
                         std::vector<std::string>& ignored, TableProblem& problem);

// The split profiles of the file at `path`, by a first pass of its own in the separator the
// header showed; false with the reason.
bool find_split_profiles(const std::filesystem::path& path, char separator,
                         const ColumnMap& columns, SplitProfiles& split, std::string& problem);

// The profile column's text without surrounding blanks and tabs.
std::string profile_name(const ColumnMap& columns, const std::vector<std::string>& fields);

}  // namespace vantrel
