// The texture class of a horizon from its sand, silt and clay percentages.
#pragma once

#include <array>
#include <string_view>

#include "data/text.hpp"

namespace vantrel {

// The twelve classes, in the order in which the classification reaches them.
enum class TextureClass {
  clay,
  silty_clay,
  sandy_clay,
  silty_clay_loam,
  clay_loam,
  sandy_clay_loam,
  loam,
  silt,
  silt_loam,
  sandy_loam,
  loamy_sand,
  sand,
};

inline constexpr std::array<TextureClass, 12> kTextureClasses = {
    TextureClass::clay,       TextureClass::silty_clay,
    TextureClass::sandy_clay, TextureClass::silty_clay_loam,
    TextureClass::clay_loam,  TextureClass::sandy_clay_loam,
    TextureClass::loam,       TextureClass::silt,
    TextureClass::silt_loam,  TextureClass::sandy_loam,
    TextureClass::loamy_sand, TextureClass::sand,
};

// The class's name as shown: lower case, single blanks between words.
std::string_view texture_name(TextureClass texture);

// The first of the ordered threshold tests that holds decides. Inputs are not checked: any
// three values (outside the triangle, not adding up to 100) get a class.
TextureClass classify_texture(float sand, float silt, float clay);

// The class name, blank-padded to the width of the caller's text.
template <std::size_t N>
void SOIL_TEXTURE(float sand, float silt, float clay, Text<N>& name) {
  name.assign(texture_name(classify_texture(sand, silt, clay)));
}

}  // namespace vantrel
