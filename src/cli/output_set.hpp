// The outputs a tool writes, each whole: a named file is written to a temporary file and put in
// place only when the run succeeds; "-" is standard output.
#pragma once

#include <deque>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "data/atomic_file.hpp"

namespace vantrel {

class OutputSet {
 public:
  explicit OutputSet(std::ostream& standard_output) : standard_output_(standard_output) {}

  // Adds an output (an unnamed one writes nothing); returns the number to write it by.
  std::size_t add(const std::optional<std::filesystem::path>& path);
  // Opens every named file; false with "FILE: cannot write: reason".
  bool open(std::string& failure);

  bool named(std::size_t output) const { return outputs_.at(output).path.has_value(); }
  bool to_standard_output(std::size_t output) const;
  void write(std::size_t output, std::string_view text);
  // The output's file, for a writer that fills it by its name (a PDF).
  AtomicFile& file(std::size_t output) { return outputs_.at(output).file; }
  // Leaves the output's target as it was.
  void discard(std::size_t output) {
    outputs_.at(output).file.discard();
    outputs_.at(output).discarded = true;
  }
  // Puts every named file in place; false with each failure written to `errors` as
  // "FILE: cannot write: reason".
  bool commit(std::ostream& errors);

 private:
  struct Output {
    std::optional<std::filesystem::path> path;
    AtomicFile file;
    bool discarded = false;
  };
  std::ostream& standard_output_;
  std::deque<Output> outputs_;  // a deque: an AtomicFile never moves
};

// Interrupted runs leave no output behind: the temporary files of `outputs` (in their folders)
// and of the system's temporary folder are removed on a signal. Returns that temporary
// folder, for a tool's own temporary files (a kept standard input, a report for standard
// output). Call before any other thread starts.
std::filesystem::path clean_up_outputs_on_signals(
    const std::vector<std::filesystem::path>& outputs);

}  // namespace vantrel
