// The three reference-file readers on arbitrary file contents.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>

#include "data/reference_file.hpp"
#include "data/retention_curves.hpp"
#include "data/text_tables.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vantrel;
  static const std::string path = "/tmp/vantrel-fuzz-" + std::to_string(::getpid()) + ".csv";
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  std::ostringstream warnings;
  static auto curves = std::make_unique<RetentionCurves>();
  static auto crops = std::make_unique<CropTable>();
  static auto textures = std::make_unique<TextureDefaults>();
  try {
    load_retention_curves(path, *curves, warnings);
    if (curves->profile_count < 0 || curves->profile_count > kMaxProfiles) __builtin_trap();
  } catch (const FatalStop&) {
  }
  try {
    load_crop_table(path, *crops, warnings);
    if (crops->row_count < 0 || crops->row_count > kMaxTableRows) __builtin_trap();
  } catch (const FatalStop&) {
  }
  try {
    load_texture_defaults(path, *textures, warnings);
  } catch (const FatalStop&) {
  }
  return 0;
}
