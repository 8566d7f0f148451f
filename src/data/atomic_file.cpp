#include "data/atomic_file.hpp"

#include <cerrno>
#include <cstdio>

namespace vantrel {

// What depends on the system (making the temporary file, putting it in place, signals) is in
// atomic_file_posix.cpp and atomic_file_windows.cpp.

AtomicFile::~AtomicFile() {
  discard();
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
