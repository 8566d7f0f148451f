// Line splitting, both number readers and the number writer on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "data/fields.hpp"
#include "data/number_text.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vantrel;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  FieldArray fields;
  int count = -1;
  SPLIT_STRING(LineText(bytes), ',', fields, count);
  if (count < 0 || count > kMaxFields) __builtin_trap();
  for (int k = 1; k <= count; ++k) {
    float real = 1.0F;
    STRING_TO_REAL(NumberText(fields[k].view().substr(0, kNumberLength)), real);
    std::int32_t integer = 0;
    STRING_TO_INT(fields[k].view(), integer);
  }
  float whole = 0.0F;
  STRING_TO_REAL(bytes, whole);
  if (size >= 6) {
    float value = 0.0F;
    std::memcpy(&value, data, sizeof value);
    const int width = data[4] % 40;
    const int decimals = data[5] % 12;
    if (fixed_form(value, width, decimals).size() != static_cast<std::size_t>(width)) {
      __builtin_trap();
    }
  }
  return 0;
}
