// The bundled reference tables, loaded once for the batch tests that call run_batch directly.
#pragma once

#include <filesystem>
#include <memory>

#include "data/reference_file.hpp"
#include "data/text_tables.hpp"

namespace vantrel::testing {

inline const std::filesystem::path kBundled = VANTREL_REFERENCE_DIR;

struct AdviceTables {
  AdviceTables() {
    load_retention_curves(kBundled / kRetentionFileName, *curves);
    load_crop_table(kBundled / kCropFileName, *crops);
  }
  std::unique_ptr<RetentionCurves> curves = std::make_unique<RetentionCurves>();
  std::unique_ptr<CropTable> crops = std::make_unique<CropTable>();
};

inline const AdviceTables& bundled_tables() {
  static const AdviceTables t;
  return t;
}

}  // namespace vantrel::testing
