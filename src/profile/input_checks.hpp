// The values a horizon and a crop may take. A horizon or crop outside them is plainly wrong
// (a negative thickness, silt below 0, a tolerance that raises the refill point above the
// full point); the window and the batch tool both refuse it through these checks.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

// The fields the checks name.
enum class InputField { thickness, sand, clay, stones, density, root_depth, tolerance };

// The field's name as messages give it ("drought tolerance").
std::string_view input_field_name(InputField field);

// A value that is outside what its field allows.
struct InputFault {
  InputField field;
  std::string_view allowed;  // "above 0 cm", "0 to 100 %", ...
  bool sum = false;          // sand and clay together above 100 %
};

// A value as read from its field; nullopt when the text gave no number (blank, "/3").
using ReadValue = std::optional<float>;

struct HorizonValues {
  ReadValue thickness, sand, clay, stones;
  std::optional<float> density;  // checked only when the horizon is matched on a density
};

// The first fault of the horizon, in the order thickness, sand, clay, sum, stones, density.
std::optional<InputFault> check_horizon(const HorizonValues& horizon);

// The first fault of a root depth (cm, 0 or more) and a drought tolerance (%, 0 to 100).
std::optional<InputFault> check_crop(ReadValue root_depth, ReadValue tolerance);

// "thickness "-20" is not above 0 cm"; for the sum, "sand "80" and clay "50" add up to more
// than 100 %". `text` is the field's text (for the sum, the sand's), `clay_text` the clay's.
std::string describe_fault(const InputFault& fault, std::string_view text,
                           std::string_view clay_text = {});

}  // namespace vantrel
