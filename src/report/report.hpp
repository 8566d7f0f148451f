// What a tool hands its report, without any toolkit: the run's context, and the report of the
// fields or of the seasons that takes each result as the run computes it.
#pragma once

#include <functional>
#include <string>

#include "advice/field_advice.hpp"
#include "season/season.hpp"

namespace vantrel {

// What --report FILE.pdf says in a build without Qt's PDF writer (the Windows edition).
inline constexpr const char* kNoPdfWriter =
    "a PDF report needs the Linux build; name the report .html instead and print it from the "
    "browser (the other outputs are written)";

// What the report says of its run on every page.
struct ReportContext {
  std::string input;             // the input as named
  std::string version;           // the program's
  std::string reference_folder;  // where the reference files were read
  bool bundled_set = false;      // the reference profiles that come with the program
  float fc_suction = 10;         // kPa
  std::string made;              // the date it was made, ISO 8601
  // The PDF's own creation date, "D:YYYYMMDDhhmmssZ", when SOURCE_DATE_EPOCH fixes it: the
  // same input then gives the same file.
  std::string fixed_pdf_date;
  bool inches = false;  // the report's figures in inches (--units inch)
};

// The fields' report: a summary of every profile first, then a page per profile. It takes each
// profile in input order as the run computes it (with its reference entries, for the curves),
// lays out its page and keeps it on disk, then writes the document when the run ends, so that
// its memory stays that of the summary rows and no profile is computed twice.
class ProfileReport {
 public:
  virtual ~ProfileReport() = default;
  virtual void add(const ProfileResult& profile) = 0;
  // Writes and ends the document; false with the reason.
  virtual bool finish(std::string& error) = 0;
};

// The season report: a summary across the profiles, then each profile's pages, laid out as the
// profile comes and kept on disk until the run ends, as the fields' report does.
class SeasonReport {
 public:
  virtual ~SeasonReport() = default;
  virtual void add(const SeasonResult& season) = 0;
  virtual bool finish(std::string& error) = 0;
};

}  // namespace vantrel
