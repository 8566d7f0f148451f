#include "data/trace_unit.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdlib>
#include <string>
#include <utility>

#include "data/path_text.hpp"

namespace vantrel {

namespace {

#ifdef _WIN32
// The same calls in the C runtime of Windows; a FIFO does not exist there.
using ssize_t = long long;
using file_stat = struct _stat64;
int open_append(const std::filesystem::path& path) {
  return ::_wopen(path.c_str(), _O_WRONLY | _O_APPEND | _O_CREAT | _O_BINARY, _S_IREAD | _S_IWRITE);
}
int stat_of(int fd, file_stat& s) {
  return ::_fstat64(fd, &s);
}
bool regular(const file_stat& s) {
  return (s.st_mode & _S_IFMT) == _S_IFREG;
}
ssize_t write_to(int fd, const std::string& text) {
  return ::_write(fd, text.data(), static_cast<unsigned>(text.size()));
}
void cut_to(int fd, long long size) {
  ::_chsize_s(fd, size);
}
void close_descriptor(int fd) {
  ::_close(fd);
}
#else
using file_stat = struct stat;
int open_append(const std::filesystem::path& path) {
  return ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
}
int stat_of(int fd, file_stat& s) {
  return ::fstat(fd, &s);
}
bool regular(const file_stat& s) {
  return S_ISREG(s.st_mode);
}
ssize_t write_to(int fd, const std::string& text) {
  return ::write(fd, text.data(), text.size());
}
void cut_to(int fd, off_t size) {
  [[maybe_unused]] const int cut = ::ftruncate(fd, size);
}
void close_descriptor(int fd) {
  ::close(fd);
}
#endif

}  // namespace

TraceUnit::TraceUnit(std::filesystem::path path) : path_(std::move(path)) {}

TraceUnit::~TraceUnit() {
  disconnect();
}

TraceUnit::TraceUnit(TraceUnit&& other) noexcept
    : path_(std::move(other.path_)),
      descriptor_(std::exchange(other.descriptor_, -1)),
      failures_(other.failures_) {}

TraceUnit& TraceUnit::operator=(TraceUnit&& other) noexcept {
  if (this != &other) {
    disconnect();
    path_ = std::move(other.path_);
    descriptor_ = std::exchange(other.descriptor_, -1);
    failures_ = other.failures_;
  }
  return *this;
}

void TraceUnit::disconnect() {
  if (descriptor_ >= 0) close_descriptor(descriptor_);
  descriptor_ = -1;
}

std::filesystem::path TraceUnit::path_for_unit(int unit, const char* environment_value) {
  if (environment_value != nullptr && *environment_value != '\0') {
    return text_path(environment_value);
  }
  return "fort." + std::to_string(unit);
}

TraceUnit TraceUnit::from_environment(int unit) {
  const std::string variable = "FORT" + std::to_string(unit);
  return TraceUnit(path_for_unit(unit, std::getenv(variable.c_str())));
}

bool TraceUnit::write_line(std::string_view line) {
  return write_lines({line});
}

bool TraceUnit::write_lines(std::initializer_list<std::string_view> lines) {
  if (descriptor_ < 0) {
    descriptor_ = open_append(path_);
  }
  if (descriptor_ < 0) {
    ++failures_;
    return false;
  }
  std::string whole;
  for (const std::string_view line : lines) {
    whole += line;
    whole += '\n';
  }
  file_stat before{};
  const bool sized = stat_of(descriptor_, before) == 0 && regular(before);
  ssize_t written = -1;
  do {
    written = write_to(descriptor_, whole);
  } while (written < 0 && errno == EINTR);
  if (written == static_cast<ssize_t>(whole.size())) return true;

  // Nothing or part of the lines went out (a full disk, a size limit, a reader gone): cut a
  // partial write off so the file keeps whole lines, and whole groups of them.
  if (written > 0 && sized) cut_to(descriptor_, before.st_size);
  disconnect();
  ++failures_;
  return false;
}

}  // namespace vantrel
