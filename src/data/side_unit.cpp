#include "data/side_unit.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <utility>

namespace vantrel {

SideUnit::SideUnit(std::filesystem::path path) : path_(std::move(path)) {}

SideUnit::~SideUnit() {
  disconnect();
}

SideUnit::SideUnit(SideUnit&& other) noexcept
    : path_(std::move(other.path_)),
      descriptor_(std::exchange(other.descriptor_, -1)),
      failures_(other.failures_) {}

SideUnit& SideUnit::operator=(SideUnit&& other) noexcept {
  if (this != &other) {
    disconnect();
    path_ = std::move(other.path_);
    descriptor_ = std::exchange(other.descriptor_, -1);
    failures_ = other.failures_;
  }
  return *this;
}

void SideUnit::disconnect() {
  if (descriptor_ >= 0) ::close(descriptor_);
  descriptor_ = -1;
}

std::filesystem::path SideUnit::path_for_unit(int unit, const char* environment_value) {
  if (environment_value != nullptr && *environment_value != '\0') return environment_value;
  return "fort." + std::to_string(unit);
}

SideUnit SideUnit::from_environment(int unit) {
  const std::string variable = "FORT" + std::to_string(unit);
  return SideUnit(path_for_unit(unit, std::getenv(variable.c_str())));
}

bool SideUnit::write_line(std::string_view line) {
  return write_lines({line});
}

bool SideUnit::write_lines(std::initializer_list<std::string_view> lines) {
  if (descriptor_ < 0) {
    descriptor_ =
        ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
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
  struct stat before {};
  const bool sized = ::fstat(descriptor_, &before) == 0 && S_ISREG(before.st_mode);
  ssize_t written = -1;
  do {
    written = ::write(descriptor_, whole.data(), whole.size());
  } while (written < 0 && errno == EINTR);
  if (written == static_cast<ssize_t>(whole.size())) return true;

  // Nothing or part of the lines went out (a full disk, a size limit, a reader gone): cut a
  // partial write off so the file keeps whole lines, and whole groups of them.
  if (written > 0 && sized) {
    [[maybe_unused]] const int cut = ::ftruncate(descriptor_, before.st_size);
  }
  disconnect();
  ++failures_;
  return false;
}

}  // namespace vantrel
