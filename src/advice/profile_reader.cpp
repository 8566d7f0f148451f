#include "advice/profile_reader.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "data/fields.hpp"

namespace vantrel {

namespace {

constexpr std::size_t kBuckets = 256;

std::uint64_t fnv(const std::string& s) {
  std::uint64_t h = 0xcbf29ce484222325ULL;
  for (const char c : s) {
    h ^= static_cast<unsigned char>(c);
    h *= 0x100000001b3ULL;
  }
  return h;
}

// One group of consecutive rows: its name's hash and its first line.
struct Group {
  std::uint64_t hash;
  std::int32_t line;
};

// Orders the groups by hash, then line. First parted in place by the hash's top byte: 256
// small sorts that stay in the cache take a fraction of one sort of a million groups.
void sort_groups(std::vector<Group>& groups) {
  const auto part = [](const Group& g) { return static_cast<std::size_t>(g.hash >> 56); };
  std::array<std::size_t, 257> start{};
  for (const Group& g : groups)
    ++start[part(g) + 1];
  for (std::size_t b = 1; b < start.size(); ++b)
    start[b] += start[b - 1];
  std::array<std::size_t, 256> next{};
  std::copy(start.begin(), start.end() - 1, next.begin());
  for (std::size_t b = 0; b < next.size(); ++b) {
    while (next[b] < start[b + 1]) {
      Group& g = groups[next[b]];
      const std::size_t home = part(g);
      if (home == b) {
        ++next[b];
      } else {
        std::swap(g, groups[next[home]++]);
      }
    }
  }
  for (std::size_t b = 0; b < next.size(); ++b) {
    const auto first = groups.begin() + static_cast<std::ptrdiff_t>(start[b]);
    const auto last = groups.begin() + static_cast<std::ptrdiff_t>(start[b + 1]);
    std::sort(first, last, [](const Group& x, const Group& y) {
      return x.hash != y.hash ? x.hash < y.hash : x.line < y.line;
    });
  }
}

// The names met in more than one of these groups, with the first line of each.
void add_split(std::vector<Group>& groups, SplitList& split) {
  sort_groups(groups);
  for (std::size_t i = 0; i + 1 < groups.size(); ++i) {
    if (groups[i].hash != groups[i + 1].hash) continue;
    split.emplace_back(groups[i].hash, groups[i].line);
    while (i + 1 < groups.size() && groups[i + 1].hash == groups[i].hash)
      ++i;
  }
}

// Moves to a place in a file that may be past 2 GiB (where `long` is 32 bits on Windows).
bool seek_to(std::FILE* file, std::uint64_t offset) {
#if defined(_WIN32)
  return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

// The groups by hash, in one temporary file (removed when closed): each bucket's groups are
// written in blocks, whose places the bucket keeps. One file, not one a bucket: making hundreds
// of files took longer than the whole pass over a million lines.
class Buckets {
 public:
  ~Buckets() {
    if (file_ != nullptr) std::fclose(file_);
  }
  Buckets() = default;
  Buckets(const Buckets&) = delete;
  Buckets& operator=(const Buckets&) = delete;

  bool put(const std::vector<Group>& groups, std::string& error) {
    if (file_ == nullptr) {
      file_ = std::tmpfile();
      if (file_ == nullptr) {
        error = std::string("cannot make a temporary file: ") + std::strerror(errno);
        return false;
      }
    }
    // Gathered by bucket first: one write for many groups.
    for (const Group& g : groups) {
      Bucket& bucket = buckets_[g.hash % kBuckets];
      bucket.pending.push_back(g);
      if (bucket.pending.size() >= kBlockGroups && !flush(bucket, error)) return false;
    }
    for (Bucket& bucket : buckets_) {
      if (!flush(bucket, error)) return false;
    }
    return true;
  }
  bool used() const { return file_ != nullptr; }
  bool split(SplitList& split, std::string& error) {
    for (const Bucket& bucket : buckets_) {
      std::vector<Group> groups;
      for (const Block& block : bucket.blocks) {
        const std::size_t at = groups.size();
        groups.resize(at + block.count);
        if (!seek_to(file_, block.offset) ||
            std::fread(groups.data() + at, sizeof(Group), block.count, file_) != block.count) {
          error = std::string("cannot read a temporary file: ") + std::strerror(errno);
          return false;
        }
      }
      add_split(groups, split);
    }
    return true;
  }

 private:
  static constexpr std::size_t kBlockGroups = 512;
  struct Block {
    std::uint64_t offset;
    std::size_t count;
  };
  struct Bucket {
    std::vector<Group> pending;
    std::vector<Block> blocks;
  };

  bool flush(Bucket& bucket, std::string& error) {
    if (bucket.pending.empty()) return true;
    // Every write appends (the file is read only when every group is in it).
    if (std::fwrite(bucket.pending.data(), sizeof(Group), bucket.pending.size(), file_) !=
        bucket.pending.size()) {
      error = std::string("cannot write a temporary file: ") + std::strerror(errno);
      return false;
    }
    bucket.blocks.push_back({size_, bucket.pending.size()});
    size_ += bucket.pending.size() * sizeof(Group);
    bucket.pending.clear();
    return true;
  }

  std::FILE* file_ = nullptr;
  std::uint64_t size_ = 0;  // bytes written
  std::array<Bucket, kBuckets> buckets_;
};

}  // namespace

bool SplitProfiles::find(CsvReader& reader, const ColumnMap& columns, std::string& error) {
  split_.clear();
  std::vector<Group> groups;
  // Room for all the groups kept in memory from the start: growing by copies would touch twice
  // the memory, and untouched room costs none.
  groups.reserve(in_memory_);
  Buckets buckets;
  const std::size_t column = columns.index[static_cast<std::size_t>(Column::profile)].value_or(0);
  std::string current;
  bool in_group = false;
  std::string_view field;
  int line = 0;
  bool readable = false;
  while (reader.next_field(column, field, line, readable)) {
    if (!readable) continue;  // an unreadable line does not end a group
    const std::string_view name = trimmed_field(field);
    if (in_group && name == current) continue;
    in_group = true;
    current.assign(name);
    if (current.empty()) continue;  // rows without a name are errors of their own
    groups.push_back({fnv(current), line});
    if (groups.size() >= in_memory_) {
      if (!buckets.put(groups, error)) return false;
      groups.clear();
    }
  }
  if (buckets.used()) {
    if (!buckets.put(groups, error)) return false;
    std::vector<Group>().swap(groups);  // its memory is the split list's now
    if (!buckets.split(split_, error)) return false;
  } else {
    add_split(groups, split_);
  }
  std::sort(split_.begin(), split_.end());
  return true;
}

std::optional<int> SplitProfiles::first_line(const std::string& name) const {
  const std::uint64_t hash = fnv(name);
  const auto at = std::lower_bound(split_.begin(), split_.end(),
                                   std::pair<std::uint64_t, int>(hash, INT32_MIN));
  if (at == split_.end() || at->first != hash) return std::nullopt;
  return at->second;
}

void BadLines::add(int line, const std::string& reason) {
  if (kept.size() < kKept) {
    kept.push_back({line, reason});
  } else {
    ++more;
    last_line = line;
  }
}

bool read_profile_header(CsvReader& reader, ColumnMap& columns, CsvRecord& header,
                         std::vector<std::string>& ignored, TableProblem& problem) {
  if (!reader.next(header)) {
    problem = {1, "no header row"};
    return false;
  }
  std::string reason = header.error;
  if (!reason.empty() || !columns.read(header.fields, reason, ignored)) {
    problem = {header.line, reason};
    return false;
  }
  columns.decimal_comma = reader.separator() == ';';
  return true;
}

bool find_split_profiles(const std::filesystem::path& path, char separator,
                         const ColumnMap& columns, SplitProfiles& split, std::string& problem) {
  std::ifstream again(path, std::ios::binary);
  CsvReader first_pass(again, CsvReader::kMaxLine, separator);
  CsvRecord skipped;
  first_pass.next(skipped);  // the header
  if (!again || !split.find(first_pass, columns, problem)) {
    if (problem.empty()) problem = "cannot read";
    return false;
  }
  return true;
}

std::string profile_name(const ColumnMap& columns, const std::vector<std::string>& fields) {
  const std::size_t column = columns.index[static_cast<std::size_t>(Column::profile)].value_or(0);
  return column < fields.size() ? std::string(trimmed_field(fields[column])) : std::string();
}

ProfileReader::ProfileReader(CsvReader& reader, const ColumnMap& columns,
                             const SplitProfiles& split, const std::atomic<bool>* known)
    : reader_(reader), columns_(columns), split_(split), known_(known) {}

bool mark_split(const SplitProfiles& split, ProfileInput& profile) {
  profile.split_checked = true;
  if (profile.name.empty()) return false;
  const auto began = split.first_line(profile.name);
  if (!began) return false;
  const std::string quoted = "profile \"" + profile.name + "\"";
  profile.errors.push_back(
      {profile.first_line,
       *began == profile.first_line
           ? quoted + " continues after other profiles; its rows must be consecutive"
           : quoted + " continues after other profiles; its rows began on line " +
                 std::to_string(*began) + " and must be consecutive"});
  return true;
}

bool ProfileReader::next(ProfileInput& profile, BadLines& bad_lines) {
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
      bad_lines.add(record.line, record.error);
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
      profile.name = std::move(name);
      if (profile.name.empty()) {
        profile.errors.push_back({record.line, "no profile name"});
      } else if (known_ == nullptr || known_->load(std::memory_order_acquire)) {
        mark_split(split_, profile);
      } else {
        profile.split_checked = false;  // the writer checks it once the split is known
      }
    }
    if (profile.rows.size() < static_cast<std::size_t>(kMaxRowsPerProfile)) {
      profile.rows.push_back({record.line, std::move(record.fields)});
    } else {
      ++profile.dropped_rows;
    }
  }
}

}  // namespace vantrel
