#include "batch/batch_run.hpp"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <ostream>
#include <thread>
#include <vector>

#include "advice/profile_reader.hpp"
#include "batch/batch_output.hpp"
#include "cli/command_line.hpp"
#include "cli/output_set.hpp"
#include "data/csv_reader.hpp"
#include "data/path_text.hpp"
#include "data/safe_text.hpp"

namespace vantrel {

namespace {

constexpr std::size_t kChunkProfiles = 1024;
constexpr std::size_t kChunkBytes = 1 << 20;
// The input that may be read ahead while the split profiles are looked for: its chunks take about
// six times as much memory, results and texts included (12 MB more at most on a million names).
constexpr std::size_t kAheadBytes = std::size_t{2} << 20;

// A run of consecutive profiles, read together and written together. Written chunks are used
// again, so that their texts keep their room instead of being made anew for every chunk.
struct Chunk {
  std::vector<ProfileInput> inputs;  // kept until written: a split found late recomputes one
  BadLines bad_lines;                // lines that belong to no profile
  std::size_t bytes = 0;
  // Filled by a worker.
  std::vector<ProfileResult> results;  // kept for the report and the counts
  std::string horizons, rows;
  std::vector<std::string> json;  // each profile's member, when asked for
  int job = 0;                    // the job that filled it: it alone makes and frees its memory

  void clear() {
    inputs.clear();
    bad_lines = BadLines{};
    bytes = 0;
    results.clear();
    horizons.clear();
    rows.clear();
    json.clear();
  }
};

// The next profiles of the input, up to a chunk's worth; false when there were none.
bool read_chunk(ProfileReader& reader, Chunk& chunk) {
  ProfileInput profile;
  while (chunk.inputs.size() < kChunkProfiles && chunk.bytes < kChunkBytes &&
         reader.next(profile, chunk.bad_lines)) {
    for (const BatchRow& row : profile.rows) {
      for (const std::string& f : row.fields)
        chunk.bytes += f.size() + sizeof(std::string);
    }
    chunk.inputs.push_back(std::move(profile));
  }
  return !chunk.inputs.empty() || !chunk.bad_lines.empty();
}

// What each chunk's computation needs besides its profiles.
struct ChunkWork {
  const AdviceTables& tables;
  const ColumnMap& columns;
  ProfileOptions options;
  CsvFormat format;
  bool horizons = false, json = false;
};

// The chunk's output texts from its results.
void format_chunk(const ChunkWork& work, Chunk& chunk) {
  chunk.horizons.clear();
  chunk.rows.clear();
  chunk.json.clear();
  ShortestForms horizon_forms, result_forms;
  for (const ProfileResult& r : chunk.results) {
    if (work.horizons) append_horizons_rows(r, work.format, chunk.horizons, &horizon_forms);
    append_results_row(r, work.options.fc_suction, work.format, chunk.rows, &result_forms);
    chunk.json.push_back(work.json ? json_profile(r) : std::string());
  }
}

void compute_chunk(const ChunkWork& work, Chunk& chunk) {
  for (const ProfileInput& input : chunk.inputs)
    chunk.results.push_back(compute_profile(work.tables, work.columns, input, work.options));
  format_chunk(work, chunk);
}

// A chunk read before the split profiles were known: those among its profiles become errors.
void settle_chunk(const ChunkWork& work, const SplitProfiles& split, Chunk& chunk) {
  bool changed = false;
  for (std::size_t i = 0; i < chunk.inputs.size(); ++i) {
    ProfileInput& input = chunk.inputs[i];
    if (input.split_checked || !mark_split(split, input)) continue;
    chunk.results[i] = compute_profile(work.tables, work.columns, input, work.options);
    changed = true;
  }
  if (changed) format_chunk(work, chunk);
}

// The pass that finds the split profiles: before the jobs with one job, beside them (on a
// thread of its own) with more, so that no core waits for it. Until `known`, profiles are read
// unchecked, and the writer waits for it before the first chunk.
class FirstPass {
 public:
  FirstPass(const std::filesystem::path& input, char separator, const ColumnMap& columns,
            bool beside)
      : input_(input), separator_(separator), columns_(columns) {
    if (beside) {
      thread_ = std::thread([this] { find(); });
    } else {
      find();
    }
  }
  ~FirstPass() {
    if (thread_.joinable()) thread_.join();
  }
  FirstPass(const FirstPass&) = delete;
  FirstPass& operator=(const FirstPass&) = delete;

  // Waits for the pass; false with the reason when it failed.
  bool wait(std::string& problem) {
    if (thread_.joinable()) thread_.join();
    problem = problem_;
    return ok_;
  }
  const SplitProfiles& split() const { return split_; }
  const std::atomic<bool>& known() const { return known_; }

 private:
  void find() {
    ok_ = find_split_profiles(input_, separator_, columns_, split_, problem_);
    known_.store(ok_, std::memory_order_release);
  }

  std::filesystem::path input_;
  char separator_;
  const ColumnMap& columns_;
  SplitProfiles split_;
  bool ok_ = false;
  std::string problem_;
  std::atomic<bool> known_{false};
  std::thread thread_;  // last: it starts when every member it uses is made
};

bool is_standard_output(const std::optional<std::filesystem::path>& path) {
  return path && *path == "-";
}

// The writer's side: the output files (or standard output for the one named "-") and the
// error stream.
class Outputs {
 public:
  Outputs(const BatchSettings& s, std::ostream& out, std::ostream& errors)
      : settings_(s),
        input_name_(s.input_name.empty() ? path_text(s.input) : s.input_name),
        out_(out),
        errors_(errors),
        files_(out),
        horizons_(files_.add(s.horizons)),
        results_(files_.add(results_to_stdout() ? std::optional<std::filesystem::path>("-")
                                                : s.results)),
        json_(files_.add(s.json)),
        // A report for standard output is drawn into a temporary file first: a PDF is
        // written whole, then copied out.
        report_file_(files_.add(
            is_standard_output(s.report)
                ? std::optional(std::filesystem::temp_directory_path() / "vantrel-report.pdf")
                : s.report)) {}

  bool open(std::string& failure) { return files_.open(failure); }

  void start(const RetentionCurves& curves, const CsvFormat& format) {
    files_.write(horizons_, horizons_header(format));
    files_.write(results_, results_header(format));
    files_.write(json_, json_start(input_name_, settings_.version, settings_.fc_suction));
    if (settings_.report) {
      files_.file(report_file_).release();
      report_ =
          settings_.make_report(files_.file(report_file_).temporary(), curves, settings_.context);
    }
  }

  void write(const Chunk& chunk) {
    clear_progress();
    for (const TableProblem& bad : chunk.bad_lines.kept)
      errors_ << input_name_ << ':' << bad.line << ": " << terminal_text(bad.reason) << '\n';
    if (chunk.bad_lines.more > 0) {
      errors_ << input_name_ << ':' << chunk.bad_lines.last_line << ": " << chunk.bad_lines.more
              << " more unreadable lines up to this one\n";
    }
    counts.bad_lines += chunk.bad_lines.count();
    files_.write(horizons_, chunk.horizons);
    files_.write(results_, chunk.rows);
    for (std::size_t i = 0; i < chunk.results.size(); ++i) {
      const ProfileResult& r = chunk.results[i];
      for (const TableProblem& e : r.errors)
        errors_ << input_name_ << ':' << e.line << ": " << terminal_text(e.reason) << '\n';
      if (settings_.json) {
        if (counts.profiles > 0) files_.write(json_, kJsonSeparator);
        files_.write(json_, chunk.json[i]);
      }
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
    std::string error;
    files_.write(json_, json_end());
    const bool drawn = !report_ || report_->finish(error);
    if (!drawn) {
      errors_ << path_text(*settings_.report) << ": cannot write: " << error << '\n';
      files_.discard(report_file_);  // the file it would replace stays as it was
    }
    report_.reset();
    if (drawn && is_standard_output(settings_.report)) {
      std::ifstream pdf(files_.file(report_file_).temporary(), std::ios::binary);
      out_ << pdf.rdbuf();
      files_.discard(report_file_);
    }
    bool ok = files_.commit(errors_) && drawn;
    out_.flush();
    if (!out_) {
      errors_ << "vantrel-batch: standard output: cannot write\n";
      ok = false;
    }
    return ok;
  }

  BatchCounts counts;

 private:
  bool results_to_stdout() const {
    const bool none =
        !settings_.horizons && !settings_.results && !settings_.json && !settings_.report;
    return none || is_standard_output(settings_.results);
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
  std::string input_name_;
  std::ostream& out_;
  std::ostream& errors_;
  OutputSet files_;
  std::size_t horizons_, results_, json_, report_file_;
  std::unique_ptr<ProfileReport> report_;
  std::chrono::steady_clock::time_point last_progress_{};
  bool progress_shown_ = false;
};

// The jobs read the next chunk (one job at a time, in input order) and compute it; the thread
// that runs the batch settles and writes the chunks in order, so that everything the outputs own
// (the report's painter and its fonts among them) lives and works on that one thread. A job does
// not read while `limit` chunks are read but not yet written, which bounds the memory; while
// the split profiles are not `known` (the writer waits for them), up to `ahead_bytes` of input
// may be read ahead instead, so that the jobs compute beside the pass. With
// one job that thread reads, computes and writes in turn. `settle` readies a chunk for writing;
// false stops the run (nothing more is read or written).
class Jobs {
 public:
  Jobs(ProfileReader& reader, Outputs& outputs, std::function<void(Chunk&)> compute,
       std::function<bool(Chunk&)> settle, std::size_t limit, const std::atomic<bool>& known,
       std::size_t ahead_bytes)
      : reader_(reader),
        outputs_(outputs),
        compute_(std::move(compute)),
        settle_(std::move(settle)),
        limit_(limit),
        known_(known),
        ahead_bytes_(ahead_bytes) {}

  void run(int jobs) {
    if (jobs <= 1) {
      for (Chunk chunk; read_next(chunk); chunk.clear()) {
        compute_(chunk);
        if (!settle_(chunk)) return;
        outputs_.write(chunk);
      }
      return;
    }
    std::vector<std::thread> workers;
    workers.reserve(static_cast<std::size_t>(jobs));
    spare_.resize(static_cast<std::size_t>(jobs));
    for (int w = 0; w < jobs; ++w)
      workers.emplace_back([this, w] { work(w); });
    write_in_order(jobs);
    for (std::thread& w : workers)
      w.join();
  }

 private:
  bool read_next(Chunk& chunk) {
    const std::lock_guard reading(read_mutex_);
    if (input_ended_ || !read_chunk(reader_, chunk)) {
      input_ended_ = true;
      return false;
    }
    return true;
  }

  void work(int job) {
    std::vector<Chunk>& spare = spare_[static_cast<std::size_t>(job)];
    while (true) {
      Chunk chunk;
      {
        const std::lock_guard lock(mutex_);
        if (!spare.empty()) {
          chunk = std::move(spare.back());
          spare.pop_back();
        }
      }
      // Freed by the thread that made it: a job's memory never passes to another's allocator.
      chunk.clear();
      chunk.job = job;
      std::size_t seq = 0;
      {
        const std::lock_guard reading(read_mutex_);
        bool stopped = false;
        {
          std::unique_lock lock(mutex_);
          room_.wait(lock, [&] { return has_room() || stopped_; });
          stopped = stopped_;
        }
        if (stopped || input_ended_ || !read_chunk(reader_, chunk)) {
          input_ended_ = true;
          const std::lock_guard lock(mutex_);
          ++ended_jobs_;
          ready_changed_.notify_all();
          return;
        }
        const std::lock_guard lock(mutex_);
        seq = read_++;
        unwritten_bytes_ += chunk.bytes;
      }
      compute_(chunk);
      const std::lock_guard lock(mutex_);
      ready_.emplace(seq, std::move(chunk));
      ready_changed_.notify_all();
    }
  }

  void write_in_order(int jobs) {
    std::unique_lock lock(mutex_);
    while (true) {
      ready_changed_.wait(lock, [&] { return ready_.count(written_) > 0 || all_written(jobs); });
      if (ready_.count(written_) == 0) return;  // every job has ended and all is written
      Chunk in_order = std::move(ready_.at(written_));
      ready_.erase(written_);
      lock.unlock();
      const bool go_on = settle_(in_order);
      if (go_on) outputs_.write(in_order);
      lock.lock();
      unwritten_bytes_ -= in_order.bytes;
      spare_[static_cast<std::size_t>(in_order.job)].push_back(std::move(in_order));
      ++written_;
      if (!go_on) stop();
      room_.notify_all();
    }
  }

  // Guarded by mutex_: whether a job may read another chunk.
  bool has_room() const {
    if (read_ - written_ < limit_) return true;
    return !known_.load(std::memory_order_acquire) && unwritten_bytes_ < ahead_bytes_;
  }
  // Guarded by mutex_: no job reads any more and every chunk read has been written (or, when
  // stopped, dropped).
  bool all_written(int jobs) const {
    return ended_jobs_ > 0 && read_ == written_ && ready_.empty() &&
           (!stopped_ || ended_jobs_ == jobs);
  }
  // Guarded by mutex_: what is read but not written is dropped, and no job reads on.
  void stop() {
    stopped_ = true;
    written_ += ready_.size();
    for (auto& [seq, chunk] : ready_) {
      unwritten_bytes_ -= chunk.bytes;
      spare_[static_cast<std::size_t>(chunk.job)].push_back(std::move(chunk));
    }
    ready_.clear();
  }

  ProfileReader& reader_;
  Outputs& outputs_;
  std::function<void(Chunk&)> compute_;
  std::function<bool(Chunk&)> settle_;
  const std::size_t limit_;
  const std::atomic<bool>& known_;
  const std::size_t ahead_bytes_;
  std::mutex read_mutex_;
  bool input_ended_ = false;  // guarded by read_mutex_
  std::mutex mutex_;
  std::condition_variable room_;
  std::condition_variable ready_changed_;
  std::size_t read_ = 0, written_ = 0;
  std::size_t unwritten_bytes_ = 0;  // the input read into chunks not yet written
  int ended_jobs_ = 0;
  bool stopped_ = false;
  std::map<std::size_t, Chunk> ready_;
  std::vector<std::vector<Chunk>> spare_;  // written chunks, by job, for it to fill again
};

}  // namespace

namespace {

// Reads the input's header into the column map, naming the columns it does not use; false
// with the reason written.
bool read_columns(const std::string& input_name, CsvReader& reader, ColumnMap& columns,
                  std::ostream& errors) {
  CsvRecord header;
  std::vector<std::string> ignored;
  TableProblem problem;
  if (!read_profile_header(reader, columns, header, ignored, problem)) {
    errors << input_name << ':' << problem.line << ": " << problem.reason << '\n';
    return false;
  }
  for (const std::string& name : ignored)
    errors << input_name << ':' << header.line << ": column \"" << terminal_text(name)
           << "\" is not used\n";
  return true;
}

}  // namespace

int run_batch(const BatchSettings& settings, const RetentionCurves& curves, const CropTable& crops,
              std::ostream& out, std::ostream& errors, BatchCounts* counts,
              const std::vector<RetentionDefect>& defects) {
  const std::string input_name =
      settings.input_name.empty() ? path_text(settings.input) : settings.input_name;
  if (const auto why = unreadable_input(settings.input)) {
    errors << input_name << ": cannot read: " << *why << '\n';
    return kExitUsage;
  }
  std::ifstream in(settings.input, std::ios::binary);
  if (!in) {
    errors << input_name << ": cannot read\n";
    return kExitUsage;
  }
  CsvReader reader(in, CsvReader::kMaxLine, kFindSeparator);
  ColumnMap columns;
  if (!read_columns(input_name, reader, columns, errors)) return kExitUsage;
  const char separator = reader.separator();
  CsvFormat format;
  if (!settings.csv_standard && separator == ';') format = {';', ','};

  Outputs outputs(settings, out, errors);
  std::string problem;
  if (!outputs.open(problem)) {
    errors << problem << '\n';
    return kExitUsage;
  }
  const int jobs = std::max(settings.jobs, 1);
  FirstPass first(settings.input, separator, columns, jobs > 1);
  if (jobs == 1 && !first.wait(problem)) {
    errors << input_name << ": " << problem << '\n';
    return kExitUsage;
  }
  outputs.start(curves, format);

  ProfileReader profiles(reader, columns, first.split(), &first.known());
  const AdviceTables tables(curves, crops, defects);
  const ChunkWork work{tables,
                       columns,
                       // The report's curves need each horizon's reference entries.
                       {settings.fc_suction, settings.report.has_value()},
                       format,
                       settings.horizons.has_value(),
                       settings.json.has_value()};
  bool first_pass_failed = false;
  const auto settle = [&](Chunk& chunk) {
    if (first_pass_failed || !first.wait(problem)) {
      first_pass_failed = true;
      return false;
    }
    settle_chunk(work, first.split(), chunk);
    return true;
  };
  Jobs run(
      profiles, outputs, [&](Chunk& chunk) { compute_chunk(work, chunk); }, settle,
      static_cast<std::size_t>(jobs) * 4, first.known(), kAheadBytes);
  run.run(jobs);
  // An input without profiles still needs the pass's answer: it may have failed.
  if (first_pass_failed || !first.wait(problem)) {
    errors << input_name << ": " << problem << '\n';
    return kExitUsage;
  }
  const bool written = outputs.finish();
  if (counts != nullptr) *counts = outputs.counts;
  if (!written) return kExitUsage;
  return outputs.counts.errors > 0 || outputs.counts.bad_lines > 0 ? kExitFailed : kExitOk;
}

}  // namespace vantrel
