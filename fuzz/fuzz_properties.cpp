// The horizon-property search on a small table and a horizon made of arbitrary bytes.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "physics/soil_properties.hpp"

namespace {

class CountingSink final : public vantrel::LineSink {
 public:
  bool write_line(std::string_view line) override {
    if (line.size() != 136) __builtin_trap();  // 17 numbers of 8 characters
    ++lines;
    return true;
  }
  long long lines = 0;
};

// Reads floats from the input, in turn; zeros once it runs out.
class Floats {
 public:
  Floats(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  float next() {
    float v = 0.0F;
    if (at_ + sizeof v <= size_) std::memcpy(&v, data_ + at_, sizeof v);
    at_ += sizeof v;
    return v;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vantrel;
  if (size < 2) return 0;
  static auto table = std::make_unique<RetentionCurves>();
  *table = RetentionCurves{};
  table->profile_count = data[0] % 4;
  const bool density_set = (data[1] & 1U) != 0;
  Floats in(data + 2, size - 2);
  const float top = in.next(), bottom = in.next(), user_density = in.next(), sand = in.next(),
              clay = in.next(), stones = in.next();
  for (int k = 1; k <= table->profile_count; ++k) {
    for (int j = 1; j <= 3; ++j) {
      for (LayerGrid* grid : {&table->density, &table->theta_s, &table->theta_r, &table->alpha,
                              &table->n, &table->m, &table->clay, &table->sand}) {
        (*grid)(k, j) = in.next();
      }
    }
  }
  CountingSink trace;
  float density = 0, saturated = 0, fc = 0, sp = 0, wp = 0;
  const int count = SOIL_PROPERTIES(*table, trace, top, bottom, user_density, sand, clay, stones,
                                    density, saturated, fc, sp, wp, density_set);
  if (count < 0 || count > table->profile_count * kLayers) __builtin_trap();
  if (count == 0 && (density != 0 || fc != 0 || sp != 0 || wp != 0)) __builtin_trap();
  return 0;
}
