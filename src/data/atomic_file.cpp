#include "data/atomic_file.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace vantrel {

AtomicFile::~AtomicFile() {
  discard();
}

bool AtomicFile::open(const std::filesystem::path& target, std::string& error) {
  target_ = target;
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  std::string base(1, '.');
  base += target.filename().string();
  base += temporary_mark();
  base += std::to_string(::getpid());
  base += ".XXXXXX";
  const std::string pattern = (folder / base).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  temporary_ = name.data();
  ::fchmod(fd, 0644);  // an ordinary output file, not mkstemp's private one
  file_ = ::fdopen(fd, "w");
  if (file_ == nullptr) {
    error = std::strerror(errno);
    ::close(fd);
    discard();
    return false;
  }
  return true;
}

bool AtomicFile::write(std::string_view text) {
  if (file_ == nullptr || failed_) return false;
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) {
    failed_ = true;
    saved_errno_ = errno;
  }
  return !failed_;
}

void AtomicFile::release() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

bool AtomicFile::commit(std::string& error) {
  if (temporary_.empty()) {
    error = "no file was opened";
    return false;
  }
  if (file_ != nullptr) {
    if (std::fflush(file_) != 0 || ::fsync(::fileno(file_)) != 0) {
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
  if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
    error = std::strerror(errno);
    discard();
    return false;
  }
  temporary_.clear();
  return true;
}

void AtomicFile::discard() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
}

std::string_view temporary_mark() {
  return ".partial-";
}

bool same_file(const std::filesystem::path& output, const std::filesystem::path& file) {
  std::error_code ec;
  if (std::filesystem::equivalent(output, file, ec)) return true;
  const auto a = std::filesystem::weakly_canonical(std::filesystem::absolute(output), ec);
  const auto b = std::filesystem::weakly_canonical(std::filesystem::absolute(file), ec);
  return !ec && a == b;
}

}  // namespace vantrel
