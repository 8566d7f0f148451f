#include "cli/output_set.hpp"

#include "data/path_text.hpp"

namespace vantrel {

std::size_t OutputSet::add(const std::optional<std::filesystem::path>& path) {
  outputs_.emplace_back();
  outputs_.back().path = path;
  return outputs_.size() - 1;
}

bool OutputSet::to_standard_output(std::size_t output) const {
  const auto& path = outputs_.at(output).path;
  return path && *path == "-";
}

bool OutputSet::open(std::string& failure) {
  for (std::size_t i = 0; i < outputs_.size(); ++i) {
    Output& o = outputs_[i];
    if (!o.path || to_standard_output(i)) continue;
    std::string error;
    if (!o.file.open(*o.path, error)) {
      failure = path_text(*o.path) + ": cannot write: " + error;
      return false;
    }
  }
  return true;
}

void OutputSet::write(std::size_t output, std::string_view text) {
  if (!named(output)) return;
  if (to_standard_output(output)) {
    standard_output_ << text;
  } else {
    outputs_[output].file.write(text);
  }
}

bool OutputSet::commit(std::ostream& errors) {
  bool ok = true;
  for (std::size_t i = 0; i < outputs_.size(); ++i) {
    Output& o = outputs_[i];
    if (!o.path || to_standard_output(i) || o.discarded) continue;
    std::string error;
    if (!o.file.commit(error)) {
      errors << path_text(*o.path) << ": cannot write: " << error << '\n';
      ok = false;
    }
  }
  return ok;
}

std::filesystem::path clean_up_outputs_on_signals(
    const std::vector<std::filesystem::path>& outputs) {
  std::vector<std::filesystem::path> folders;
  folders.reserve(outputs.size() + 1);
  for (const auto& out : outputs) {
    // Where its temporary file is made: beside the file a link names.
    const std::filesystem::path written = written_through(out);
    folders.push_back(written.has_parent_path() ? written.parent_path() : ".");
  }
  std::error_code no_temp;
  std::filesystem::path temp = std::filesystem::temp_directory_path(no_temp);
  folders.push_back(temp);
  clean_up_on_signals(folders);
  return temp;
}

}  // namespace vantrel
