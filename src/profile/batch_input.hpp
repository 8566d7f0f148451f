// The rows of a batch input grouped into profiles, one profile at a time, in bounded memory.
#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/csv_reader.hpp"
#include "profile/batch_profile.hpp"

namespace vantrel {

// Profile names already seen, in fixed memory: a Bloom filter answers "certainly not seen";
// a possible match is confirmed by reading the input again from its start.
class SeenProfiles {
 public:
  using Reopen = std::function<std::unique_ptr<std::istream>()>;
  SeenProfiles(Reopen reopen, const ColumnMap& columns);

  // Records the name of a group of rows beginning on `line`; when an earlier group has the
  // same name, the line that group began on.
  std::optional<int> add(const std::string& name, int line);

 private:
  std::optional<int> earlier_group(const std::string& name, int line) const;

  Reopen reopen_;
  const ColumnMap& columns_;
  std::vector<std::uint64_t> bits_;
};

// Reads the records after the header and hands on one profile at a time: consecutive rows
// with the same name. Lines that cannot be read belong to no profile and are handed on as
// "LINE: reason". A profile keeps at most kMaxRowsPerProfile rows and counts the rest.
class ProfileReader {
 public:
  ProfileReader(CsvReader& reader, const ColumnMap& columns, SeenProfiles& seen);

  // The next profile; false at the end. `bad_lines` receives the unreadable lines met on
  // the way.
  bool next(ProfileInput& profile, std::vector<std::string>& bad_lines);

 private:
  CsvReader& reader_;
  const ColumnMap& columns_;
  SeenProfiles& seen_;
  std::optional<CsvRecord> pending_;  // the first row of the next profile
};

// The profile column's text without surrounding blanks and tabs.
std::string profile_name(const ColumnMap& columns, const std::vector<std::string>& fields);

}  // namespace vantrel
