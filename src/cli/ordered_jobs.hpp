// Work on several threads whose results are written in input order: chunks are read one at a
// time, each computed on whichever job is free, and handed to the calling thread in the order
// they were read, so that everything the outputs own (files, a report's painter) stays on it.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace vantrel {

template <class Chunk>
class OrderedJobs {
 public:
  // `read` fills the next chunk (one call at a time, in order; false: the input has ended);
  // `compute` works on a chunk, on any job; `write` takes the chunks in order on the calling
  // thread (false stops the run: nothing more is read). At most `limit` chunks are read and not
  // yet written, which bounds the memory.
  OrderedJobs(std::function<bool(Chunk&)> read, std::function<void(Chunk&)> compute,
              std::function<bool(Chunk&)> write, std::size_t limit)
      : read_(std::move(read)),
        compute_(std::move(compute)),
        write_(std::move(write)),
        limit_(limit < 1 ? 1 : limit) {}

  // With one job the calling thread reads, computes and writes in turn.
  void run(int jobs) {
    if (jobs <= 1) {
      for (Chunk chunk; read_(chunk); chunk = Chunk{}) {
        compute_(chunk);
        if (!write_(chunk)) return;
      }
      return;
    }
    std::vector<std::thread> workers;
    workers.reserve(static_cast<std::size_t>(jobs));
    // A system that gives fewer threads (a process limit, a browser) runs on those it gives.
    for (int j = 0; j < jobs; ++j) {
      try {
        workers.emplace_back([this] { work(); });
      } catch (const std::system_error&) {
        break;
      }
    }
    if (workers.empty()) {
      run(1);
      return;
    }
    write_in_order(static_cast<int>(workers.size()));
    for (std::thread& w : workers)
      w.join();
  }

 private:
  void work() {
    for (;;) {
      Chunk chunk;
      std::size_t number = 0;
      {
        std::unique_lock lock(mutex_);
        room_.wait(lock, [this] { return stopped_ || ended_ || in_flight_ < limit_; });
        if (stopped_ || ended_) break;
        if (!read_(chunk)) {
          ended_ = true;
          break;
        }
        number = read_count_++;
        ++in_flight_;
      }
      compute_(chunk);
      const std::lock_guard lock(mutex_);
      done_.emplace(number, std::move(chunk));
      ready_.notify_one();
    }
    const std::lock_guard lock(mutex_);
    ++finished_;
    room_.notify_all();
    ready_.notify_one();
  }

  void write_in_order(int jobs) {
    std::size_t next = 0;
    for (;;) {
      Chunk chunk;
      {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [&] { return done_.count(next) > 0 || finished_ == jobs; });
        const auto it = done_.find(next);
        if (it == done_.end()) return;  // every job has ended and nothing is left
        chunk = std::move(it->second);
        done_.erase(it);
      }
      const bool go_on = write_(chunk);
      const std::lock_guard lock(mutex_);
      --in_flight_;
      ++next;
      if (!go_on) stopped_ = true;
      room_.notify_all();
      if (!go_on) return;
    }
  }

  std::function<bool(Chunk&)> read_;
  std::function<void(Chunk&)> compute_;
  std::function<bool(Chunk&)> write_;
  std::size_t limit_;
  std::mutex mutex_;
  std::condition_variable room_;   // a job may read another chunk
  std::condition_variable ready_;  // a chunk is computed, or a job has ended
  std::map<std::size_t, Chunk> done_;
  std::size_t read_count_ = 0;
  std::size_t in_flight_ = 0;
  int finished_ = 0;
  bool ended_ = false;
  bool stopped_ = false;
};

}  // namespace vantrel
