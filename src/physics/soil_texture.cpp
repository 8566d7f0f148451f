#include "physics/soil_texture.hpp"

#include <optional>

namespace vantrel {

std::string_view texture_name(TextureClass texture) {
  switch (texture) {
    case TextureClass::clay:
      return "clay";
    case TextureClass::silty_clay:
      return "silty clay";
    case TextureClass::sandy_clay:
      return "sandy clay";
    case TextureClass::silty_clay_loam:
      return "silty clay loam";
    case TextureClass::clay_loam:
      return "clay loam";
    case TextureClass::sandy_clay_loam:
      return "sandy clay loam";
    case TextureClass::loam:
      return "loam";
    case TextureClass::silt:
      return "silt";
    case TextureClass::silt_loam:
      return "silt loam";
    case TextureClass::sandy_loam:
      return "sandy loam";
    case TextureClass::loamy_sand:
      return "loamy sand";
    case TextureClass::sand:
      return "sand";
  }
  return "";
}

namespace {

// The clays, the clay loams and loam, tried first in this order; nothing for the others.
// Every comparison is in single precision against exact decimal constants.
std::optional<TextureClass> clayey_class(float sand, float silt, float clay) {
  if (silt <= 40.0F && clay >= 40.0F && sand <= 45.0F) return TextureClass::clay;
  if (clay >= 40.0F && silt >= 40.0F) return TextureClass::silty_clay;
  if (clay >= 35.0F && sand >= 45.0F) return TextureClass::sandy_clay;
  if (sand <= 45.0F && clay >= 28.0F && clay <= 40.0F) {
    return sand < 20.0F ? TextureClass::silty_clay_loam : TextureClass::clay_loam;
  }
  if (silt <= 28.0F && clay >= 20.0F && clay <= 35.0F) return TextureClass::sandy_clay_loam;
  if (sand >= 22.0F && sand <= 55.0F && clay >= 8.0F && silt >= 28.0F && silt <= 50.0F) {
    return TextureClass::loam;
  }
  return std::nullopt;
}

// The silts and the sands, for what no clayey class took.
TextureClass silty_or_sandy_class(float sand, float silt, float clay) {
  if (clay <= 28.0F && silt >= 50.0F) {
    return clay <= 12.0F && silt >= 80.0F ? TextureClass::silt : TextureClass::silt_loam;
  }
  if (sand < 70.0F) return TextureClass::sandy_loam;
  if (sand >= 70.0F && sand < 85.0F) {
    return clay < sand - 70.0F ? TextureClass::loamy_sand : TextureClass::sandy_loam;
  }
  if (sand >= 85.0F && sand < 90.0F) {
    return clay >= 2.0F * sand - 170.0F ? TextureClass::loamy_sand : TextureClass::sand;
  }
  return TextureClass::sand;
}

}  // namespace

TextureClass classify_texture(float sand, float silt, float clay) {
  return clayey_class(sand, silt, clay).value_or(silty_or_sandy_class(sand, silt, clay));
}

}  // namespace vantrel
