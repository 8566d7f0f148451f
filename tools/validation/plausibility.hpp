// The part of the validation document that says whether every bundled layer is possible and
// typical soil: porosity, density against the root-restricting densities, air space at field
// capacity, the sands' curves, and the entries each class centroid finds.
#pragma once

#include <vector>

#include "data/retention_curves.hpp"
#include "data/text_tables.hpp"

namespace vantrel::validation {

// `synthetic` marks the synthetic profiles (by profile, from the first): their layers are held to
// what real soils are, while a measured layer keeps its measurement, its figures given beside.
void print_plausibility(const RetentionCurves& curves, const TextureDefaults& textures,
                        const std::vector<bool>& synthetic);

}  // namespace vantrel::validation
