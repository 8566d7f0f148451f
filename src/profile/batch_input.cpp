#include "profile/batch_input.hpp"

#include "data/fields.hpp"

namespace vantrel {

namespace {

constexpr std::uint64_t kBits = std::uint64_t{1} << 23;  // 1 MiB
constexpr std::uint64_t kProbes = 4;

std::uint64_t fnv(const std::string& s, std::uint64_t seed) {
  std::uint64_t h = seed;
  for (const char c : s) {
    h ^= static_cast<unsigned char>(c);
    h *= 0x100000001b3ULL;
  }
  return h;
}

}  // namespace

std::string profile_name(const ColumnMap& columns, const std::vector<std::string>& fields) {
  const std::size_t column = columns.index[static_cast<std::size_t>(Column::profile)].value_or(0);
  return column < fields.size() ? std::string(trimmed_field(fields[column])) : std::string();
}

SeenProfiles::SeenProfiles(Reopen reopen, const ColumnMap& columns)
    : reopen_(std::move(reopen)), columns_(columns), bits_(kBits / 64) {}

std::optional<int> SeenProfiles::add(const std::string& name, int line) {
  const std::uint64_t h1 = fnv(name, 0xcbf29ce484222325ULL);
  const std::uint64_t h2 = fnv(name, 0x84222325cbf29ce4ULL) | 1U;
  bool all = true;
  for (std::uint64_t i = 0; i < kProbes; ++i) {
    const std::uint64_t bit = (h1 + i * h2) % kBits;
    std::uint64_t& word = bits_[bit / 64];
    const std::uint64_t mask = std::uint64_t{1} << (bit % 64);
    all = all && (word & mask) != 0;
    word |= mask;
  }
  if (!all) return std::nullopt;
  return earlier_group(name, line);
}

std::optional<int> SeenProfiles::earlier_group(const std::string& name, int line) const {
  const std::unique_ptr<std::istream> in = reopen_();
  if (!in) return std::nullopt;
  CsvReader reader(*in);
  CsvRecord record;
  bool header = true;
  std::optional<std::string> current;
  while (reader.next(record) && record.line < line) {
    if (header || !record.error.empty()) {
      header = false;
      continue;
    }
    std::string here = profile_name(columns_, record.fields);
    if (current && here == *current) continue;
    if (here == name) return record.line;
    current = std::move(here);
  }
  return std::nullopt;
}

ProfileReader::ProfileReader(CsvReader& reader, const ColumnMap& columns, SeenProfiles& seen)
    : reader_(reader), columns_(columns), seen_(seen) {}

bool ProfileReader::next(ProfileInput& profile, std::vector<std::string>& bad_lines) {
  profile = ProfileInput{};
  bool started = false;
  CsvRecord record;
  while (true) {
    if (pending_) {
      record = std::move(*pending_);
      pending_.reset();
    } else if (!reader_.next(record)) {
      return started;
    }
    if (!record.error.empty()) {
      bad_lines.push_back(std::to_string(record.line) + ": " + record.error);
      continue;
    }
    std::string name = profile_name(columns_, record.fields);
    if (started && name != profile.name) {
      pending_ = std::move(record);
      return true;
    }
    if (!started) {
      started = true;
      profile.first_line = record.line;
      if (name.empty()) {
        profile.errors.push_back(std::to_string(record.line) + ": no profile name");
      } else if (const auto began = seen_.add(name, record.line)) {
        profile.errors.push_back(std::to_string(record.line) + ": profile \"" + name +
                                 "\" continues after other profiles; its rows began on line " +
                                 std::to_string(*began) + " and must be consecutive");
      }
      profile.name = std::move(name);
    }
    if (profile.rows.size() < static_cast<std::size_t>(kMaxRowsPerProfile)) {
      profile.rows.push_back({record.line, std::move(record.fields)});
    } else {
      ++profile.dropped_rows;
    }
  }
}

}  // namespace vantrel
