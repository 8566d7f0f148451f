// Reading the reference files line by line on file unit 41, and the fatal stops of loading.
#pragma once

#include <cstdio>
#include <filesystem>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "data/text.hpp"

namespace vantrel {

// A stop that ends the program before any window exists (end of file inside a header, a
// number that does not read). Thrown so that start-up can show the report and tests can see it.
class FatalStop : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Status of a line read.
inline constexpr int kReadOk = 0;
inline constexpr int kEndOfFile = -1;

// One reference file connected to unit 41. Opening follows status "unknown": a missing file
// is created empty. A file that cannot be opened for reading is a fatal stop.
class ReferenceFile {
 public:
  static constexpr int kUnit = 41;

  explicit ReferenceFile(std::filesystem::path path);

  // Reads the next line into the buffer, blank-padded; characters after the 256th are dropped
  // and the next read starts at the next line. A CR before the line end and a UTF-8 byte-order
  // mark at the very start of the file are not part of any line. Returns kEndOfFile at the end.
  int read_line(LineText& line);

  // Number of the line last read, counted from 1.
  int line_number() const { return line_number_; }
  const std::filesystem::path& path() const { return path_; }

 private:
  int next_byte();

  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::filesystem::path path_;
  std::unique_ptr<std::FILE, Closer> file_;
  std::vector<char> buffer_;
  std::size_t position_ = 0;
  std::size_t filled_ = 0;
  int line_number_ = 0;
};

// Skips `count` lines of the unit (none when count <= 0). With echo, each skipped line's first
// 80 characters go to `out` as one line. End of file while skipping is a fatal stop.
void INLINE(ReferenceFile& unit, int count, bool echo, std::ostream& out);
void INLINE(ReferenceFile& unit, int count, bool echo);

// The report of the fatal end-of-file stop.
std::string end_of_file_report(const ReferenceFile& unit);

}  // namespace vantrel
