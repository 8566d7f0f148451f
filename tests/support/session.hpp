// A whole session of the program without a window, in a folder of its own.
#pragma once

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>

#include "app/script.hpp"
#include "app/startup.hpp"
#include "support/temp_dir.hpp"

namespace vantrel::testing {

inline const std::filesystem::path kBundled = VANTREL_REFERENCE_DIR;

// Copies the reference files that `from` holds (the bundled set by default) into `to`.
inline void copy_reference_files(const std::filesystem::path& to,
                                 const std::filesystem::path& from = kBundled) {
  for (const char* name : {kRetentionFileName, kCropFileName, kTextureFileName}) {
    if (std::filesystem::exists(from / name)) std::filesystem::copy_file(from / name, to / name);
  }
}

class Session {
 public:
  // Starts on copies of the reference files of `folder` (the bundled set by default).
  explicit Session(const std::filesystem::path& folder = kBundled)
      : platform_(out_), program_(platform_, TraceUnit(dir_ / "fort.99")), driver_(dialog_) {
    copy_reference_files(dir_.path(), folder);
    load_reference_files(program_, dir_.path());
    dialog_.set_view_factory(ui::make_headless_view);
    started_ = open_main_window(program_, dialog_, ui::show_normal);
  }

  // Runs script lines; returns what they printed (and message lines).
  std::string run(std::string_view script) {
    std::istringstream in{std::string(script)};
    out_.str("");
    std::ostringstream errors;
    status_ = run_script(in, out_, errors, dialog_, driver_, platform_);
    errors_ = errors.str();
    return out_.str();
  }

  // The exact text of one control.
  std::string text(int control) {
    std::string t;
    ui::dialog_get_text(dialog_, control, t);
    return t;
  }

  bool started() const { return started_; }
  int status() const { return status_; }
  const std::string& errors() const { return errors_; }
  Program& program() { return program_; }
  ui::Dialog& dialog() { return dialog_; }
  std::string side_file() const { return read_all(dir_ / "fort.99"); }
  const TempDir& dir() const { return dir_; }

 private:
  TempDir dir_;
  std::ostringstream out_;
  ScriptPlatform platform_;
  Program program_;
  ui::Dialog dialog_;
  DialogDriver driver_;
  bool started_ = false;
  int status_ = -1;
  std::string errors_;
};

// A 20-character text: the value first, then blanks.
inline std::string padded(std::string_view value) {
  std::string text(value);
  text.resize(20, ' ');
  return text;
}

}  // namespace vantrel::testing
