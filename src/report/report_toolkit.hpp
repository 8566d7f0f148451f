// The toolkit a PDF report draws with, started by a tool only when it writes a report: Qt on
// its offscreen platform (no display needed), quiet about its environment, and with fixed
// hashes, so that the fonts keep one order and the same input gives the same file.
#pragma once

#include <memory>
#include <string>

namespace vantrel {

class ReportToolkit {
 public:
  explicit ReportToolkit(const char* program);
  ~ReportToolkit();
  ReportToolkit(const ReportToolkit&) = delete;
  ReportToolkit& operator=(const ReportToolkit&) = delete;

 private:
  struct Application;
  std::unique_ptr<Application> application_;
};

}  // namespace vantrel
