#include "cli/reference_set.hpp"

#include "cli/command_line.hpp"
#include "data/atomic_file.hpp"
#include "data/path_text.hpp"

namespace vantrel {

ReferenceSet::ReferenceSet(const std::filesystem::path& folder)
    : retention(folder / kRetentionFileName),
      crops_file(folder / kCropFileName),
      textures_file(folder / kTextureFileName) {}

bool ReferenceSet::load(std::ostream& errors) {
  for (const auto& file : files()) {
    if (const auto why = unreadable_input(file)) {
      errors << path_text(file) << ": cannot read the reference file: " << *why << '\n';
      return false;
    }
  }
  try {
    load_retention_curves(retention, *curves, errors, &defects);
    load_crop_table(crops_file, *crops, errors);
    load_texture_defaults(textures_file, *textures, errors);
  } catch (const FatalStop& stop) {
    errors << stop.what() << '\n';
    return false;
  }
  for (const RetentionDefect& d : defects)
    errors << path_text(retention) << ':' << d.line << ": " << d.reason << '\n';
  if (curves->profile_count == 0) {
    errors << path_text(retention) << ": no reference profiles in the file\n";
    return false;
  }
  return true;
}

std::vector<std::filesystem::path> checked_outputs(
    const std::vector<std::optional<std::filesystem::path>>& named,
    const std::vector<ReadFile>& reads, bool standard_output, std::string& error) {
  std::vector<std::filesystem::path> outputs;
  int to_standard_output = 0;
  for (const auto& slot : named) {
    if (!slot || !error.empty()) continue;
    const std::filesystem::path& out = *slot;
    if (standard_output && out == "-") {
      if (++to_standard_output > 1) error = "only one output can go to standard output (\"-\")";
      continue;
    }
    for (const ReadFile& read : reads) {
      if (error.empty() && same_file(out, read.path))
        error = "refusing to write " + path_text(out) + " over " + read.named;
    }
    for (const auto& other : outputs) {
      if (error.empty() && same_file(out, other))
        error = path_text(out) + " is named for two outputs";
    }
    outputs.push_back(out);
  }
  return outputs;
}

}  // namespace vantrel
