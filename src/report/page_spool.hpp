// Laid-out pages kept on disk until the report knows how many it has: a report's summary comes
// first and every footer counts all pages, yet each field's pages are laid out as its result
// arrives, so memory holds one field's pages, not all of them.
#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "data/atomic_file.hpp"
#include "report/page_model.hpp"

namespace vantrel::page {

class PageSpool {
 public:
  // A spool in a new temporary file of `folder`, removed when the spool ends (or the process,
  // on a signal).
  explicit PageSpool(const std::filesystem::path& folder);
  ~PageSpool();
  PageSpool(const PageSpool&) = delete;
  PageSpool& operator=(const PageSpool&) = delete;

  void add(const Page& page);
  int pages() const { return pages_; }
  // Hands each page back in the order it was added; false when the file failed (a full disk).
  bool replay(const std::function<void(Page&)>& visit);
  // Why the spool failed, when it did.
  const std::string& error() const { return error_; }

 private:
  void fail();

  AtomicFile file_;
  std::string error_;
  std::FILE* stream_ = nullptr;
  int pages_ = 0;
  bool failed_ = false;
};

}  // namespace vantrel::page
