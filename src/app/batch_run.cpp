#include "app/batch_run.hpp"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <fstream>
#include <map>
#include <mutex>
#include <ostream>
#include <thread>
#include <vector>

#include "data/atomic_file.hpp"
#include "data/csv_reader.hpp"
#include "profile/batch_input.hpp"
#include "profile/batch_output.hpp"

namespace vantrel {

namespace {

constexpr std::size_t kChunkProfiles = 64;
constexpr std::size_t kChunkBytes = 1 << 20;

// A run of consecutive profiles, read together and written together.
struct Chunk {
  std::vector<ProfileInput> inputs;
  std::vector<std::string> bad_lines;  // lines that belong to no profile: "LINE: reason"
  std::size_t bytes = 0;
  // Filled by a worker.
  std::vector<ProfileResult> results;  // kept for the report and the counts
  std::string horizons, rows, json;
};

// The hand-over between the reader, the workers and the writer. The reader stops while
// `limit` chunks are read but not yet written, which bounds the memory.
class Pipeline {
 public:
  explicit Pipeline(std::size_t limit) : limit_(limit) {}

  void push_read(Chunk chunk) {
    std::unique_lock lock(mutex_);
    room_.wait(lock, [&] { return read_ - written_ < limit_; });
    waiting_.emplace(read_++, std::move(chunk));
    work_.notify_one();
  }
  void reading_done() {
    std::lock_guard lock(mutex_);
    reading_done_ = true;
    work_.notify_all();
    done_.notify_all();
  }
  // A chunk to compute, or false when there will be none.
  bool take_work(std::size_t& seq, Chunk& chunk) {
    std::unique_lock lock(mutex_);
    work_.wait(lock, [&] { return !waiting_.empty() || reading_done_; });
    if (waiting_.empty()) return false;
    seq = waiting_.begin()->first;
    chunk = std::move(waiting_.begin()->second);
    waiting_.erase(waiting_.begin());
    return true;
  }
  void put_done(std::size_t seq, Chunk chunk) {
    std::lock_guard lock(mutex_);
    finished_.emplace(seq, std::move(chunk));
    done_.notify_all();
  }
  // The next chunk in input order, or false at the end.
  bool take_next(Chunk& chunk) {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [&] {
      return finished_.count(written_) != 0 || (reading_done_ && written_ == read_);
    });
    const auto it = finished_.find(written_);
    if (it == finished_.end()) return false;
    chunk = std::move(it->second);
    finished_.erase(it);
    ++written_;
    room_.notify_all();
    return true;
  }

 private:
  std::mutex mutex_;
  std::condition_variable room_, work_, done_;
  std::map<std::size_t, Chunk> waiting_, finished_;
  std::size_t read_ = 0, written_ = 0, limit_;
  bool reading_done_ = false;
};

// Hands the profiles on in chunks.
void read_profiles(ProfileReader& reader, Pipeline& pipeline) {
  Chunk chunk;
  ProfileInput profile;
  while (reader.next(profile, chunk.bad_lines)) {
    for (const BatchRow& row : profile.rows) {
      for (const std::string& f : row.fields)
        chunk.bytes += f.size() + sizeof f;
    }
    chunk.inputs.push_back(std::move(profile));
    if (chunk.inputs.size() >= kChunkProfiles || chunk.bytes >= kChunkBytes) {
      pipeline.push_read(std::move(chunk));
      chunk = Chunk{};
    }
  }
  if (!chunk.inputs.empty() || !chunk.bad_lines.empty()) pipeline.push_read(std::move(chunk));
  pipeline.reading_done();
}

void compute_chunk(const BatchTables& tables, const ColumnMap& columns, bool keep_entries,
                   Chunk& chunk, bool horizons, bool rows, bool json) {
  for (const ProfileInput& input : chunk.inputs) {
    ProfileResult r = compute_profile(tables, columns, input, keep_entries);
    if (horizons) chunk.horizons += horizons_rows(r);
    if (rows) chunk.rows += results_row(r);
    if (json) chunk.json += json_profile(r);
    chunk.json += '\x1f';  // one mark per profile: the writer puts the commas there
    chunk.results.push_back(std::move(r));
  }
  chunk.inputs.clear();
}

// The writer's side: the output files and the error stream.
class Outputs {
 public:
  Outputs(const BatchSettings& s, std::ostream& out, std::ostream& errors)
      : settings_(s), out_(out), errors_(errors) {}

  bool open(std::string& failure) {
    std::string error;
    const auto open_one = [&](const std::optional<std::filesystem::path>& path, AtomicFile& file) {
      if (!path) return true;
      if (file.open(*path, error)) return true;
      failure = path->string() + ": cannot write: " + error;
      return false;
    };
    return open_one(settings_.horizons, horizons_) && open_one(settings_.results, results_) &&
           open_one(settings_.json, json_) && open_one(settings_.report, report_file_);
  }

  void start(const RetentionCurves& curves) {
    if (settings_.horizons) horizons_.write(horizons_header());
    if (to_stdout()) {
      out_ << results_header();
    } else if (settings_.results) {
      results_.write(results_header());
    }
    if (settings_.json) json_.write(json_start(settings_.input.string(), settings_.version));
    if (settings_.report) {
      report_file_.release();
      report_ = settings_.make_report(report_file_.temporary(), curves);
    }
  }

  void write(const Chunk& chunk) {
    clear_progress();
    for (const std::string& bad : chunk.bad_lines) {
      errors_ << settings_.input.string() << ':' << bad << '\n';
      ++counts.bad_lines;
    }
    if (settings_.horizons) horizons_.write(chunk.horizons);
    if (to_stdout()) {
      out_ << chunk.rows;
    } else if (settings_.results) {
      results_.write(chunk.rows);
    }
    std::size_t start = 0;
    for (const ProfileResult& r : chunk.results) {
      for (const std::string& e : r.errors)
        errors_ << settings_.input.string() << ':' << e << '\n';
      const std::size_t mark = chunk.json.find('\x1f', start);
      if (settings_.json) {
        if (counts.profiles > 0) json_.write(kJsonSeparator);
        json_.write(std::string_view(chunk.json).substr(start, mark - start));
      }
      start = mark + 1;
      if (report_) report_->add(r);
      ++counts.profiles;
      counts.horizons += static_cast<long long>(r.horizons.size());
      switch (r.status) {
        case ProfileStatus::ok:
          ++counts.ok;
          break;
        case ProfileStatus::warning:
          ++counts.warnings;
          break;
        case ProfileStatus::error:
          ++counts.errors;
          break;
      }
    }
    show_progress();
  }

  // Ends every output and puts it in place; false (with the reasons written) when one failed.
  bool finish() {
    clear_progress();
    bool ok = true;
    std::string error;
    const auto commit = [&](const std::optional<std::filesystem::path>& path, AtomicFile& file) {
      if (!path) return;
      if (!file.commit(error)) {
        errors_ << path->string() << ": cannot write: " << error << '\n';
        ok = false;
      }
    };
    if (settings_.json) json_.write(json_end());
    if (report_ && !report_->finish(error)) {
      errors_ << settings_.report->string() << ": cannot write: " << error << '\n';
      report_file_.discard();
      ok = false;
    }
    report_.reset();
    commit(settings_.horizons, horizons_);
    commit(settings_.results, results_);
    commit(settings_.json, json_);
    commit(settings_.report, report_file_);
    out_.flush();
    if (to_stdout() && !out_) {
      errors_ << "vantrel-batch: standard output: cannot write\n";
      ok = false;
    }
    return ok;
  }

  BatchCounts counts;

 private:
  bool to_stdout() const {
    return !settings_.horizons && !settings_.results && !settings_.json && !settings_.report;
  }
  void show_progress() {
    if (!settings_.progress) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - last_progress_ < std::chrono::milliseconds(200)) return;
    last_progress_ = now;
    errors_ << "\rvantrel-batch: " << counts.profiles << " profiles, " << counts.horizons
            << " horizons" << std::flush;
    progress_shown_ = true;
  }
  void clear_progress() {
    if (!progress_shown_) return;
    errors_ << "\r\033[K" << std::flush;
    progress_shown_ = false;
  }

  const BatchSettings& settings_;
  std::ostream& out_;
  std::ostream& errors_;
  AtomicFile horizons_, results_, json_, report_file_;
  std::unique_ptr<ProfileReport> report_;
  std::chrono::steady_clock::time_point last_progress_{};
  bool progress_shown_ = false;
};

}  // namespace

int run_batch(const BatchSettings& settings, const RetentionCurves& curves, const CropTable& crops,
              std::ostream& out, std::ostream& errors, BatchCounts* counts) {
  const std::string input_name = settings.input.string();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(settings.input, ec)) {
    errors << input_name << ": cannot read: "
           << (std::filesystem::exists(settings.input, ec) ? "not a regular file" : "no such file")
           << '\n';
    return kBatchUsage;
  }
  std::ifstream in(settings.input, std::ios::binary);
  if (!in) {
    errors << input_name << ": cannot read\n";
    return kBatchUsage;
  }
  CsvReader reader(in);
  CsvRecord header;
  const bool has_header = reader.next(header);
  if (has_header && !header.error.empty()) {
    errors << input_name << ':' << header.line << ": " << header.error << '\n';
    return kBatchUsage;
  }
  ColumnMap columns;
  std::string problem;
  std::vector<std::string> ignored;
  if (!has_header) {
    errors << input_name << ":1: no header row\n";
    return kBatchUsage;
  }
  if (!columns.read(header.fields, problem, ignored)) {
    errors << input_name << ':' << header.line << ": " << problem << '\n';
    return kBatchUsage;
  }
  for (const std::string& name : ignored)
    errors << input_name << ':' << header.line << ": column \"" << name << "\" is not used\n";

  Outputs outputs(settings, out, errors);
  if (!outputs.open(problem)) {
    errors << problem << '\n';
    return kBatchUsage;
  }
  outputs.start(curves);

  const int jobs = std::max(settings.jobs, 1);
  const bool keep_entries = settings.report.has_value();
  SeenProfiles seen(
      [&] { return std::make_unique<std::ifstream>(settings.input, std::ios::binary); }, columns);
  ProfileReader profiles(reader, columns, seen);
  const BatchTables tables(curves, crops);
  const auto compute = [&](Chunk& chunk) {
    compute_chunk(tables, columns, keep_entries, chunk, settings.horizons.has_value(), true,
                  settings.json.has_value());
  };
  if (jobs == 1) {
    // One job is one thread: read, compute and write each chunk in turn.
    Chunk chunk;
    ProfileInput profile;
    const auto hand_on = [&] {
      compute(chunk);
      outputs.write(chunk);
      chunk = Chunk{};
    };
    while (profiles.next(profile, chunk.bad_lines)) {
      chunk.inputs.push_back(std::move(profile));
      if (chunk.inputs.size() >= kChunkProfiles) hand_on();
    }
    hand_on();
  } else {
    Pipeline pipeline(static_cast<std::size_t>(jobs) * 4);
    std::thread reading([&] { read_profiles(profiles, pipeline); });
    std::vector<std::thread> workers;
    for (int w = 0; w < jobs; ++w) {
      workers.emplace_back([&] {
        std::size_t seq = 0;
        Chunk chunk;
        while (pipeline.take_work(seq, chunk)) {
          compute(chunk);
          pipeline.put_done(seq, std::move(chunk));
          chunk = Chunk{};
        }
      });
    }
    Chunk chunk;
    while (pipeline.take_next(chunk))
      outputs.write(chunk);
    reading.join();
    for (std::thread& w : workers)
      w.join();
  }
  const bool written = outputs.finish();
  if (counts != nullptr) *counts = outputs.counts;
  if (!written) return kBatchUsage;
  return outputs.counts.errors > 0 || outputs.counts.bad_lines > 0 ? kBatchProfileFailed : kBatchOk;
}

}  // namespace vantrel
