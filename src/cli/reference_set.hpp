// What the command-line tools share around their computation: the reference set they load, and
// the outputs they may write without harming an input.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "data/reference_file.hpp"
#include "data/retention_curves.hpp"
#include "data/text_tables.hpp"

namespace vantrel {

// The three reference files of a folder, loaded as the window loads them but never creating a
// missing one.
struct ReferenceSet {
  explicit ReferenceSet(const std::filesystem::path& folder);
  std::filesystem::path retention, crops_file, textures_file;
  std::unique_ptr<RetentionCurves> curves = std::make_unique<RetentionCurves>();
  std::unique_ptr<CropTable> crops = std::make_unique<CropTable>();
  std::unique_ptr<TextureDefaults> textures = std::make_unique<TextureDefaults>();
  // Where the retention file is short: the window reads it as it always has, and a tool warns
  // for every profile that rests on such a place.
  std::vector<RetentionDefect> defects;

  std::vector<std::filesystem::path> files() const {
    return {retention, crops_file, textures_file};
  }
  // Loads the three; false when they cannot be used. Each reason, and each short place of the
  // retention file, goes to `errors` as FILE[:LINE]: reason.
  bool load(std::ostream& errors);
};

// A file a tool reads, with the words that name it in a refusal ("the input file", "the
// reference file data/Soil_WRC.csv").
struct ReadFile {
  std::filesystem::path path;
  std::string named;
};

// The outputs named (unnamed ones left out), in order; a usage error in `error` when one would
// be written over a file the tool reads or over another output, or, where `standard_output`
// lets "-" be standard output, when more than one goes there.
std::vector<std::filesystem::path> checked_outputs(
    const std::vector<std::optional<std::filesystem::path>>& named,
    const std::vector<ReadFile>& reads, bool standard_output, std::string& error);

}  // namespace vantrel
