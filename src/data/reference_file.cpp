#include "data/reference_file.hpp"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>
#include <iostream>
#include <system_error>

#include "data/path_text.hpp"

namespace vantrel {

namespace {

constexpr std::size_t kChunk = std::size_t{64} * 1024;

std::string open_failure(const std::filesystem::path& path, const std::string& why) {
  return "cannot open file " + path_text(path) + " on unit " +
         std::to_string(ReferenceFile::kUnit) + ": " + why;
}

}  // namespace

ReferenceFile::ReferenceFile(std::filesystem::path path) : path_(std::move(path)) {
  std::error_code ec;
  const auto refuse = [&](const std::filesystem::file_status& status) {
    if (std::filesystem::is_directory(status))
      throw FatalStop(open_failure(path_, "it is a folder"));
    if (!std::filesystem::is_regular_file(status)) {
      // A device, a FIFO or a socket could block the open or never end.
      throw FatalStop(open_failure(path_, "it is not a regular file"));
    }
  };
  if (!std::filesystem::exists(path_, ec)) {
    // Status "unknown": a missing file is created empty, and then read as an empty file.
#ifdef _WIN32
    std::unique_ptr<std::FILE, Closer> created(::_wfopen(path_.c_str(), L"a"));
#else
    std::unique_ptr<std::FILE, Closer> created(std::fopen(path_.c_str(), "a"));
#endif
    if (!created) throw FatalStop(open_failure(path_, std::strerror(errno)));
  }
  refuse(std::filesystem::status(path_, ec));  // links followed
#ifdef _WIN32
  // No FIFO can stand there on Windows: a file checked regular opens without blocking.
  file_.reset(::_wfopen(path_.c_str(), L"rb"));
  if (!file_) throw FatalStop(open_failure(path_, std::strerror(errno)));
#else
  // Without blocking, in case the file was replaced since the check; checked again once open.
  const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) throw FatalStop(open_failure(path_, std::strerror(errno)));
  struct stat opened {};
  if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
    ::close(fd);
    refuse(std::filesystem::file_status(S_ISDIR(opened.st_mode)
                                            ? std::filesystem::file_type::directory
                                            : std::filesystem::file_type::unknown));
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  file_.reset(::fdopen(fd, "rb"));
  if (!file_) {
    ::close(fd);
    throw FatalStop(open_failure(path_, std::strerror(errno)));
  }
#endif
  buffer_.resize(kChunk);

  // A UTF-8 byte-order mark at the very start belongs to no line.
  filled_ = std::fread(buffer_.data(), 1, buffer_.size(), file_.get());
  if (filled_ >= 3 && std::memcmp(buffer_.data(), "\xEF\xBB\xBF", 3) == 0) position_ = 3;
}

int ReferenceFile::next_byte() {
  if (position_ == filled_) {
    filled_ = std::fread(buffer_.data(), 1, buffer_.size(), file_.get());
    position_ = 0;
    if (filled_ == 0) return EOF;
  }
  return static_cast<unsigned char>(buffer_[position_++]);
}

int ReferenceFile::read_line(LineText& line) {
  char kept[kLineLength];
  std::size_t length = 0;
  std::size_t total = 0;
  bool last_was_cr = false;
  int c = 0;
  while ((c = next_byte()) != EOF) {
    ++total;
    if (c == '\n') break;
    last_was_cr = c == '\r';
    if (length < kLineLength) kept[length++] = static_cast<char>(c);
  }
  if (total == 0) return kEndOfFile;
  // A CR that ended the line (CR LF, or CR at the end of the file) belongs to the line end;
  // it was kept only when the line fit the buffer.
  const std::size_t characters = c == '\n' ? total - 1 : total;
  if (last_was_cr && characters <= kLineLength) --length;
  line.assign(std::string_view(kept, length));
  ++line_number_;
  return kReadOk;
}

std::string end_of_file_report(const ReferenceFile& unit) {
  return "end-of-file during read, unit " + std::to_string(ReferenceFile::kUnit) + ", file " +
         path_text(unit.path());
}

void INLINE(ReferenceFile& unit, int count, bool echo, std::ostream& out) {
  LineText line;
  for (int i = 0; i < count; ++i) {
    if (unit.read_line(line) != kReadOk) throw FatalStop(end_of_file_report(unit));
    Text<kFieldLength> scratch(line.view().substr(0, 80));
    if (echo) out << scratch.view().substr(0, 80) << '\n';
  }
}

void INLINE(ReferenceFile& unit, int count, bool echo) {
  INLINE(unit, count, echo, std::cout);
}

}  // namespace vantrel
