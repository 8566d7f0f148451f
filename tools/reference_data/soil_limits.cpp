#include "reference_data/soil_limits.hpp"

#include "physics/soil_texture.hpp"

namespace vantrel::reference_data {

double root_restricting_density(double sand, double clay) {
  using T = TextureClass;
  const T t = classify_texture(static_cast<float>(sand), static_cast<float>(100.0 - sand - clay),
                               static_cast<float>(clay));
  if (clay > 45.0) return 1.47;
  switch (t) {
    case T::sand:
    case T::loamy_sand:
    case T::sandy_loam:
    case T::loam:
      return 1.80;
    case T::sandy_clay_loam:
    case T::silt:
    case T::silt_loam:
      return 1.75;
    case T::clay_loam:
      return clay >= 35.0 ? 1.58 : 1.75;
    case T::silty_clay_loam:
      return 1.65;
    default:  // sandy clay, silty clay, clay up to 45 % clay
      return 1.58;
  }
}

double total_porosity(double density) {
  return 100.0 * (1.0 - density / 2.65);
}

}  // namespace vantrel::reference_data
