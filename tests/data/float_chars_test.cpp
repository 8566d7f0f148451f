// The float conversions: the fallbacks (the browser's) give the standard library's bytes and
// values, on the floats files hold and on the edges of the float range.
#include "data/float_chars.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace vantrel {
namespace {

float from_bits(std::uint32_t bits) {
  float v = 0;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

std::string written(char* (*write)(char*, char*, float), float v) {
  std::array<char, 64> text{};
  char* end = write(text.data(), text.data() + text.size(), v);
  return end == nullptr ? std::string("(none)") : std::string(text.data(), end);
}

// Floats where the shortest text is hardest to find: each side of every power of two (where
// the values that read back are narrower below), the subnormals, integers, tenths, the range's
// ends, and random bit patterns.
std::vector<float> hard_floats() {
  std::vector<float> out;
  for (std::uint32_t exponent = 0; exponent < 255; ++exponent) {
    for (std::int32_t step = -3; step <= 3; ++step) {
      const auto bits =
          static_cast<std::uint32_t>(static_cast<std::int64_t>(exponent << 23) + step);
      if ((bits >> 23) < 255) out.push_back(from_bits(bits));
    }
  }
  for (std::uint32_t bits = 1; bits < 2000; ++bits)
    out.push_back(from_bits(bits));
  for (int i = 0; i <= 20000; ++i) {
    out.push_back(static_cast<float>(i));
    out.push_back(static_cast<float>(i) / 10.0F);
    out.push_back(static_cast<float>(i) / 1000.0F);
  }
  for (const float v : {std::numeric_limits<float>::max(), std::numeric_limits<float>::min(),
                        std::numeric_limits<float>::denorm_min(), 1e30F, 1e-30F, 123456789.0F,
                        0.0001F, 0.00001F, 1e15F, 1e16F, 1e17F})
    out.push_back(v);
  std::mt19937 random(20261210);
  std::uniform_int_distribution<std::uint32_t> any;
  while (out.size() < 120000) {
    const float v = from_bits(any(random));
    if (std::isfinite(v)) out.push_back(v);
  }
  return out;
}

TEST(FloatChars, TheFallbackWritesTheStandardLibrarysShortestTexts) {
  int checked = 0;
  for (const float magnitude : hard_floats()) {
    for (const float v : {magnitude, -magnitude}) {
      ASSERT_EQ(written(fallback::write_shortest, v), written(write_shortest, v))
          << "bits " << std::hex << [&] {
               std::uint32_t b = 0;
               std::memcpy(&b, &v, sizeof b);
               return b;
             }();
      ++checked;
    }
  }
  EXPECT_GE(checked, 240000);
}

TEST(FloatChars, KnownTextsAndNothingForNoNumber) {
  struct Case {
    float value;
    const char* text;
  } cases[] = {
      {0.0F, "0"},
      {-0.0F, "-0"},
      {36.5F, "36.5"},
      {0.1F, "0.1"},
      {1e30F, "1e+30"},
      {1e-05F, "1e-05"},
      {0.0001F, "1e-04"},
      {100.0F, "100"},
      {1e15F, "1e+15"},
      {123456789.0F, "123456792"},
      {1.5e-07F, "1.5e-07"},
      {std::numeric_limits<float>::max(), "3.4028235e+38"},
      {std::numeric_limits<float>::denorm_min(), "1e-45"},
      {std::numeric_limits<float>::infinity(), "(none)"},
      {std::nanf(""), "(none)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(written(write_shortest, c.value), c.text);
    EXPECT_EQ(written(fallback::write_shortest, c.value), c.text);
  }
  std::array<char, 3> small{};
  EXPECT_EQ(fallback::write_shortest(small.data(), small.data() + small.size(), 36.5F), nullptr);
  EXPECT_EQ(write_shortest(small.data(), small.data() + small.size(), 36.5F), nullptr);
}

TEST(FloatChars, TheFallbackWritesTheStandardLibrarysFixedTexts) {
  std::vector<double> values = {0.0, -0.0, 0.125, 0.375,  -0.125, 0.005, 2.675, 1e-9,  -1e-9, 1e300,
                                1.5, 2.5,  -2.5,  1234.5, 99.995, 0.045, 210.0, 297.0, 12.345};
  std::mt19937 random(20261210);
  std::uniform_real_distribution<double> page(-2000.0, 2000.0);
  std::uniform_int_distribution<int> hundredths(-200000, 200000);
  for (int i = 0; i < 20000; ++i) {
    values.push_back(page(random));
    values.push_back(hundredths(random) / 100.0 + 0.005);  // ties of the exact value, or near
  }
  for (const double v : values) {
    for (const int decimals : {0, 1, 2, 6}) {
      std::array<char, 400> a{}, b{};
      char* ea = write_fixed(a.data(), a.data() + a.size(), v, decimals);
      char* eb = fallback::write_fixed(b.data(), b.data() + b.size(), v, decimals);
      ASSERT_NE(ea, nullptr);
      ASSERT_NE(eb, nullptr);
      ASSERT_EQ(std::string(b.data(), eb), std::string(a.data(), ea)) << v << " " << decimals;
    }
  }
  std::array<char, 4> small{};
  EXPECT_EQ(write_fixed(small.data(), small.data() + small.size(), 12.345, 2), nullptr);
  EXPECT_EQ(fallback::write_fixed(small.data(), small.data() + small.size(), 12.345, 2), nullptr);
  EXPECT_EQ(fallback::write_fixed(small.data(), small.data() + small.size(), std::nan(""), 2),
            nullptr);
}

// What each reading gives: its error and, when it read, the float's bits.
std::string reading(std::errc (*read)(const char*, const char*, float&), const std::string& text) {
  float v = 99.0F;  // what an error must leave
  const std::errc ec = read(text.data(), text.data() + text.size(), v);
  std::uint32_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  return std::to_string(static_cast<int>(ec)) + " " + std::to_string(bits);
}

TEST(FloatChars, TheFallbackReadsAsTheStandardLibraryReads) {
  std::vector<std::string> texts = {
      "0",
      "-0",
      "00012.5000",
      "1.",
      ".5",
      "-.5",
      "1e5",
      "1E5",
      "1e+5",
      "1e-40",
      "1e-45",
      "7e-46",
      "7.006e-46",
      "7.0064924e-46",
      "1e-50",
      "-1e-50",
      "1e39",
      "3.4028235e38",
      "3.40282356e38",
      "3.4028236e38",
      "1.17549435e-38",
      "1.1754942e-38",
      "0e99999",
      "1e999999999",
      "",
      "-",
      ".",
      "e5",
      "1e",
      "1e+",
      "+1",
      "1.5x",
      " 1",
      "1 ",
      "inf",
      "nan",
      "0x1p3",
      "1..5",
      "1e5.5",
      "--1",
      "12,5",
  };
  std::mt19937 random(20261210);
  std::uniform_int_distribution<std::uint32_t> any;
  for (int i = 0; i < 100000; ++i) {
    const float v = from_bits(any(random));
    if (!std::isfinite(v)) continue;
    std::string text = written(write_shortest, v);
    texts.push_back(text);
    // Past the shortest digits: values between two floats, and beyond nine digits.
    const std::size_t e = text.find('e');
    texts.push_back(text.substr(0, e) + (text.find('.') == std::string::npos ? ".5" : "5") +
                    (e == std::string::npos ? "" : text.substr(e)));
    texts.push_back(text.substr(0, e) + "00000000000000000001" +
                    (e == std::string::npos ? "" : text.substr(e)));
  }
  for (const std::string& text : texts) {
    ASSERT_EQ(reading(fallback::read_float, text), reading(read_float, text)) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace vantrel
