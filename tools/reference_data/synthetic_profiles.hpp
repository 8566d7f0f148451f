// The synthetic reference profiles, made from the Saxton & Rawls (2006) equations: the bundled
// set's profiles for the texture classes that too few measured soils represent.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "data/retention_curves.hpp"
#include "physics/soil_texture.hpp"

namespace vantrel::reference_data {

inline constexpr int kSyntheticProfiles = 120;  // ten of each texture class, coarse to fine

// What a synthetic profile's first header line says of it, before its class's name, alone or in
// the bundled set: how a reader of the file tells it from a measured one.
inline constexpr std::string_view kSyntheticMark = "synthetic, Saxton & Rawls 2006, class ";
inline bool is_synthetic_title(std::string_view title) {
  return title.find(kSyntheticMark) != std::string_view::npos;
}

struct SyntheticProfile {
  TextureClass main_class{};  // its topsoil's class
  ReferenceProfile reference;
};

// The largest misfit to the equations met at 33, 100 and 1500 kPa, and the range of the curves'
// distance below their straight wet segment at 10 kPa.
struct Misfits {
  double misfit = 0, at = 0;
  int profile = 0, layer = 0;
  double segment_low = 1e9, segment_high = -1e9;
  void add(double layer_misfit, double at_kpa, double below, int p, int j);
};

// The first `count` profiles (the same as the full set's); nothing when a layer finds no
// acceptable curve.
std::optional<std::vector<SyntheticProfile>> synthetic_profiles(int count, Misfits& misfits);

}  // namespace vantrel::reference_data
