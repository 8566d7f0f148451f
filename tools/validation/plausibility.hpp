// The part of the validation document that says whether every bundled layer is possible and
// typical soil: porosity, density against the root-restricting densities, air space at field
// capacity, the sands' curves, and the entries each class centroid finds.
#pragma once

#include "data/retention_curves.hpp"
#include "data/text_tables.hpp"

namespace vantrel::validation {

void print_plausibility(const RetentionCurves& curves, const TextureDefaults& textures);

}  // namespace vantrel::validation
