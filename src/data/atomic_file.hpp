// An output file that appears whole or not at all: written to a temporary file beside its
// target and renamed over the target only when complete. A target that exists and is not a
// regular file (a device such as /dev/null or /dev/stdout, a FIFO) is written in place as a
// stream instead: renaming over it would replace the device with a file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

class AtomicFile {
 public:
  AtomicFile() = default;
  ~AtomicFile();  // removes the temporary file unless committed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates the temporary file in the target's folder (or opens a target that is not a regular
  // file); false with the reason. A new file gets mode 0666 less the umask, a replaced one
  // keeps its mode.
  bool open(const std::filesystem::path& target, std::string& error);
  bool write(std::string_view text);
  // Closes the temporary file, leaving it for another writer to fill by its name.
  void release();
  // Flushes the file to disk and renames it over the target; false with the reason.
  bool commit(std::string& error);
  // Removes the temporary file now.
  void discard();

  const std::filesystem::path& target() const { return target_; }
  // The file being written: the temporary file, or the target itself when written in place.
  const std::filesystem::path& temporary() const { return in_place_ ? target_ : temporary_; }
  bool in_place() const { return in_place_; }

 private:
  std::filesystem::path target_;
  std::filesystem::path temporary_;
  std::FILE* file_ = nullptr;
  bool failed_ = false;
  bool in_place_ = false;
  int saved_errno_ = 0;
  std::uint64_t written_ = 0;       // bytes handed to the file
  std::uint64_t written_back_ = 0;  // of those, the ones whose writing to disk has begun
};

// The system's part of a whole-file output (atomic_file_posix.cpp, atomic_file_windows.cpp):
// the data on disk, the temporary file put in place of the target, a temporary file removed.
bool sync_to_disk(std::FILE* file);
// Begins writing a range of the file to disk without waiting for it, so that a large output's
// final sync is short; nothing where the system has no such call.
void start_writeback(std::FILE* file, std::uint64_t from, std::uint64_t length);
bool put_in_place(const std::filesystem::path& from, const std::filesystem::path& to,
                  std::string& error);
void remove_temporary(const std::filesystem::path& file);

// Where an output is written: a symbolic link is written through (the file it names, even one
// still to be made, gets the new content, put in place beside it, and the link stays a link);
// a link to a device or a FIFO, and any other path, is itself.
std::filesystem::path written_through(const std::filesystem::path& target);

// Temporary files are named ".TARGET" + this mark + the process id + a random suffix, so that
// a process can find its own.
std::string_view temporary_mark();

// Interrupted runs leave no output behind: every signal that would end the process is taken by
// a thread of its own, which removes this process's temporary files in `folders` and ends the
// process with 128 + the signal. SIGPIPE is ignored: a closed standard error is no reason to
// stop, and a closed output shows as a failed write. Call before any other thread starts.
void clean_up_on_signals(std::vector<std::filesystem::path> folders);

// True when writing to `output` would overwrite `file` (the same file, or the same path).
bool same_file(const std::filesystem::path& output, const std::filesystem::path& file);

}  // namespace vantrel
