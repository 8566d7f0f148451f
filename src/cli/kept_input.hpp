// Standard input kept in a temporary file for the run: a tool reads its input more than once
// (split profiles first, a report's pages last), which a pipe cannot give.
#pragma once

#include <filesystem>
#include <istream>
#include <string>

#include "data/atomic_file.hpp"

namespace vantrel {

class KeptInput {
 public:
  ~KeptInput() { file_.discard(); }
  // Copies `in` to a temporary file in `folder`; false with the reason.
  bool keep(std::istream& in, const std::filesystem::path& folder, const std::string& name,
            std::string& error);
  // The file that holds it.
  const std::filesystem::path& path() const { return file_.temporary(); }

 private:
  AtomicFile file_;
};

}  // namespace vantrel
