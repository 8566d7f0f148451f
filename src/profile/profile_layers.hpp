// The horizon under edit and the profile built from the committed horizons.
#pragma once

#include <array>
#include <cstdint>

#include "data/text.hpp"

namespace vantrel {

// The values of the one horizon in the input panel.
struct HorizonInputs {
  std::int32_t horizon = 0;
  float thickness = 0;  // cm
  float sand = 0;       // %
  float silt = 0;       // %
  float clay = 0;       // %
  float stones = 0;     // % by volume
  float density = 0;    // kg/L
  bool density_set = false;
  NumberText texture_name;
};

inline constexpr int kProfileEntries = 10;
inline constexpr int kHorizons = 5;  // entries the input panel can write

// Seven parallel arrays indexed by horizon number 1..10; entries never written hold 0.
class ProfileLayers {
 public:
  class Column {
   public:
    float& operator()(int h) { return values_.at(static_cast<std::size_t>(h - 1)); }
    float operator()(int h) const { return values_.at(static_cast<std::size_t>(h - 1)); }

   private:
    std::array<float, kProfileEntries> values_{};
  };

  Column top;      // cm below the surface
  Column bottom;   // cm below the surface
  Column density;  // kg/L
  Column theta_s;  // % by volume, stones excluded
  Column fc;       // % by volume at 10 kPa
  Column sp;       // % by volume at 100 kPa
  Column wp;       // % by volume at 1500 kPa
};

}  // namespace vantrel
