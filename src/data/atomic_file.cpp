#include "data/atomic_file.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vantrel {

// What depends on the system (making the temporary file, putting it in place, signals) is in
// atomic_file_posix.cpp and atomic_file_windows.cpp.

std::filesystem::path written_through(const std::filesystem::path& target) {
  constexpr int kMostLinks = 40;  // as the system follows them; a loop ends here
  std::filesystem::path path = target;
  std::error_code ec;
  const auto status = std::filesystem::status(target, ec);
  // A link to a device or a FIFO (/dev/stdout) is written in place as it is.
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) return target;
  for (int hops = 0; hops < kMostLinks && std::filesystem::is_symlink(path, ec); ++hops) {
    const std::filesystem::path next = std::filesystem::read_symlink(path, ec);
    if (ec) return target;
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return path;
}

AtomicFile::~AtomicFile() {
  discard();
}

bool AtomicFile::write(std::string_view text) {
  if (file_ == nullptr || failed_) return false;
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) {
    failed_ = true;
    saved_errno_ = errno;
    return false;
  }
  written_ += text.size();
  // A large output goes to disk while it is written, not all at the end: the sync before the
  // rename would otherwise wait for every byte of it.
  constexpr std::uint64_t kWritebackBytes = std::uint64_t{8} << 20;
  if (!in_place_ && written_ - written_back_ >= kWritebackBytes && std::fflush(file_) == 0) {
    start_writeback(file_, written_back_, written_ - written_back_);
    written_back_ = written_;
  }
  return true;
}

void AtomicFile::release() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

bool AtomicFile::commit(std::string& error) {
  if (temporary_.empty() && !in_place_) {
    error = "no file was opened";
    return false;
  }
  if (file_ != nullptr) {
    // A device or a FIFO cannot be synced; a regular file is on disk before it is renamed.
    if (std::fflush(file_) != 0 || (!in_place_ && !sync_to_disk(file_))) {
      failed_ = true;
      saved_errno_ = errno;
    }
    if (std::fclose(file_) != 0 && !failed_) {
      failed_ = true;
      saved_errno_ = errno;
    }
    file_ = nullptr;
  }
  if (failed_) {
    error = std::strerror(saved_errno_);
    discard();
    return false;
  }
  if (in_place_) return true;
  if (!put_in_place(temporary_, target_, error)) {
    discard();
    return false;
  }
  temporary_.clear();
  return true;
}

void AtomicFile::discard() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  if (!temporary_.empty()) remove_temporary(temporary_);  // never the target written in place
  temporary_.clear();
}

std::string_view temporary_mark() {
  return ".partial-";
}

bool same_file(const std::filesystem::path& output, const std::filesystem::path& file) {
  std::error_code ec;
  if (std::filesystem::equivalent(output, file, ec)) return true;
  if (output.empty() || file.empty()) return false;  // no file has an empty name
  const auto a = std::filesystem::weakly_canonical(std::filesystem::absolute(output, ec), ec);
  if (ec) return false;
  const auto b = std::filesystem::weakly_canonical(std::filesystem::absolute(file, ec), ec);
  return !ec && a == b;
}

}  // namespace vantrel
