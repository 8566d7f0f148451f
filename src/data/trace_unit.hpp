// The trace file of numeric lines (unit 99, fort.99).
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string_view>

namespace vantrel {

// Where trace lines go; the routines that write them know only this.
class LineSink {
 public:
  virtual ~LineSink() = default;
  // Writes one whole line; false when it could not be written.
  virtual bool write_line(std::string_view line) = 0;
  // Writes lines that belong together: all of them, or (where the sink can take them back)
  // none. False when they were not all written.
  virtual bool write_lines(std::initializer_list<std::string_view> lines) {
    bool all = true;
    for (const std::string_view line : lines)
      all = write_line(line) && all;
    return all;
  }
};

// Takes lines and keeps none: for computations whose trace lines nobody reads.
class NullSink final : public LineSink {
 public:
  bool write_line(std::string_view /*line*/) override { return true; }
};

// A file unit for trace lines. It is connected on its first write of a run and appends to what
// earlier runs wrote. Each line goes to the file whole, in one write, or not at all (a partial
// line on a full disk is cut off again). A failure never stops the program: the write reports
// it and the unit tries to connect again on the next write. The file is opened and written
// without blocking, so a FIFO without a reader, or one that is full, is a failed write, not a
// frozen program; the programs ignore SIGPIPE and SIGXFSZ, so a reader that has gone or a
// file-size limit is a failed write too.
class TraceUnit final : public LineSink {
 public:
  static constexpr int kUnit = 99;

  explicit TraceUnit(std::filesystem::path path);
  ~TraceUnit() override;
  TraceUnit(TraceUnit&& other) noexcept;
  TraceUnit& operator=(TraceUnit&& other) noexcept;
  TraceUnit(const TraceUnit&) = delete;
  TraceUnit& operator=(const TraceUnit&) = delete;

  // The file of a unit: the value of the environment variable FORT<unit> when it is set and
  // not empty, otherwise fort.<unit> in the working directory.
  static std::filesystem::path path_for_unit(int unit, const char* environment_value);
  static TraceUnit from_environment(int unit = kUnit);

  bool write_line(std::string_view line) override;
  // The lines go out in one write and are cut back whole when it fails part-way.
  bool write_lines(std::initializer_list<std::string_view> lines) override;

  const std::filesystem::path& path() const { return path_; }
  bool connected() const { return descriptor_ >= 0; }
  // How many lines could not be written so far.
  int failures() const { return failures_; }

 private:
  void disconnect();

  std::filesystem::path path_;
  int descriptor_ = -1;
  int failures_ = 0;
};

}  // namespace vantrel
