#include "profile/input_checks.hpp"

#include <array>
#include <cmath>

#include "data/text.hpp"

namespace vantrel {

namespace {

constexpr std::array<std::string_view, 7> kNames = {
    "thickness", "sand", "clay", "stones", "bulk density", "root depth", "drought tolerance",
};

bool within(ReadValue v, float low, float high) {
  return v && *v >= low && *v <= high;
}
bool above(ReadValue v, float low) {
  return v && *v > low && std::isfinite(*v);
}

}  // namespace

std::string_view input_field_name(InputField field) {
  return kNames[static_cast<std::size_t>(field)];
}

std::optional<InputFault> check_horizon(const HorizonValues& h) {
  if (!above(h.thickness, 0)) return InputFault{InputField::thickness, "above 0 cm"};
  if (!within(h.sand, 0, 100)) return InputFault{InputField::sand, "from 0 to 100 %"};
  if (!within(h.clay, 0, 100)) return InputFault{InputField::clay, "from 0 to 100 %"};
  if (*h.sand + *h.clay > 100.0F) {
    return InputFault{InputField::sand, "at most 100 % together with clay", true};
  }
  // 100 % stones is a horizon of stones alone: it holds no water, but it is a horizon.
  if (!within(h.stones, 0, 100)) return InputFault{InputField::stones, "from 0 to 100 %"};
  if (h.density && !above(h.density, 0)) return InputFault{InputField::density, "above 0 kg/L"};
  return std::nullopt;
}

std::optional<InputFault> check_crop(ReadValue root_depth, ReadValue tolerance) {
  if (!root_depth || !(*root_depth >= 0) || !std::isfinite(*root_depth)) {
    return InputFault{InputField::root_depth, "0 cm or more"};
  }
  // Outside 0 to 100 % the refill point would lie above the full point or below wilting point.
  if (!within(tolerance, 0, 100)) return InputFault{InputField::tolerance, "from 0 to 100 %"};
  return std::nullopt;
}

std::string describe_fault(const InputFault& fault, std::string_view text,
                           std::string_view clay_text) {
  if (fault.sum) {
    return "sand " + in_quotes(text) + " and clay " + in_quotes(clay_text) +
           " add up to more than 100 %";
  }
  return std::string(input_field_name(fault.field)) + " " + in_quotes(text) + " is not " +
         std::string(fault.allowed);
}

}  // namespace vantrel
