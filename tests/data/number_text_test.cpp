#include "data/number_text.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace vantrel {
namespace {

TEST(FixedForm, RightAlignsRoundedValues) {
  EXPECT_EQ(fixed_form(40.0F, 6, 1), "  40.0");
  EXPECT_EQ(fixed_form(1.0F, 6, 2), "  1.00");
  EXPECT_EQ(fixed_form(60.0F, 5, 1), " 60.0");
  EXPECT_EQ(fixed_form(-12.345F, 8, 2), "  -12.35");  // -12.345f lies above the tie
  EXPECT_EQ(fixed_form(123.0F, 8, 2), "  123.00");
  EXPECT_EQ(fixed_form(5.0F, 4, 0), "  5.");
}

TEST(FixedForm, TiesRoundAwayFromZero) {
  EXPECT_EQ(fixed_form(0.25F, 5, 1), "  0.3");
  EXPECT_EQ(fixed_form(-0.25F, 5, 1), " -0.3");
  EXPECT_EQ(fixed_form(0.125F, 6, 2), "  0.13");
  EXPECT_EQ(fixed_form(2.5F, 5, 0), "   3.");
  // The exact float decides, not its shortest decimal.
  EXPECT_EQ(fixed_form(99.95F, 5, 1), " 99.9");  // 99.9499969...
  EXPECT_EQ(fixed_form(0.35F, 5, 1), "  0.3");   // 0.3499999940...
  EXPECT_EQ(fixed_form(0.15F, 5, 1), "  0.2");   // 0.1500000059...
}

TEST(FixedForm, CarryMakesTheNumberLonger) {
  EXPECT_EQ(fixed_form(9.96F, 5, 1), " 10.0");
  EXPECT_EQ(fixed_form(999.96F, 5, 1), "*****");
  EXPECT_EQ(fixed_form(999.94F, 5, 1), "999.9");
  EXPECT_EQ(fixed_form(-99.96F, 5, 1), "*****");
  EXPECT_EQ(fixed_form(-99.94F, 5, 1), "-99.9");
}

TEST(FixedForm, ZeroHasNoSign) {
  EXPECT_EQ(fixed_form(0.0F, 5, 1), "  0.0");
  EXPECT_EQ(fixed_form(-0.0F, 5, 1), "  0.0");
  EXPECT_EQ(fixed_form(-0.04F, 5, 1), "  0.0");
  EXPECT_EQ(fixed_form(-0.05F, 5, 1), " -0.1");  // -0.05f is just beyond the tie
  EXPECT_EQ(fixed_form(-1e-30F, 8, 2), "    0.00");
}

TEST(FixedForm, LeadingZeroOnlyWhenItFits) {
  EXPECT_EQ(fixed_form(0.5F, 5, 1), "  0.5");
  EXPECT_EQ(fixed_form(0.5F, 3, 1), "0.5");
  EXPECT_EQ(fixed_form(0.5F, 2, 1), ".5");
  EXPECT_EQ(fixed_form(-0.5F, 3, 1), "-.5");
  EXPECT_EQ(fixed_form(-0.5F, 4, 1), "-0.5");
  EXPECT_EQ(fixed_form(0.5F, 1, 1), "*");
}

TEST(FixedForm, WhatDoesNotFitIsAsterisks) {
  EXPECT_EQ(fixed_form(1000.0F, 5, 1), "*****");
  EXPECT_EQ(fixed_form(-100.0F, 5, 1), "*****");
  EXPECT_EQ(fixed_form(1485.0F, 5, 1), "*****");
  EXPECT_EQ(fixed_form(99999.99F, 8, 2), "99999.99");
  EXPECT_EQ(fixed_form(100000.0F, 8, 2), "********");
  EXPECT_EQ(fixed_form(std::numeric_limits<float>::max(), 6, 1), "******");
  EXPECT_EQ(fixed_form(std::numeric_limits<float>::infinity(), 6, 1), "******");
  EXPECT_EQ(fixed_form(-std::numeric_limits<float>::infinity(), 6, 1), "******");
  EXPECT_EQ(fixed_form(std::nanf(""), 8, 2), "********");
}

TEST(FixedForm, ExtremeMagnitudes) {
  EXPECT_EQ(fixed_form(std::numeric_limits<float>::denorm_min(), 6, 2), "  0.00");
  const std::string big = fixed_form(std::numeric_limits<float>::max(), 50, 1);
  EXPECT_EQ(big, std::string(9, ' ') + "340282346638528859811704183484516925440.0");
}

TEST(WriteFixed, PadsToTheTextLength) {
  NumberText text;
  write_fixed(40.0F, 6, 1, text);
  EXPECT_EQ(text.view(), "  40.0              ");
  Text<4> short_text;
  write_fixed(40.0F, 6, 1, short_text);
  EXPECT_EQ(short_text.view(), "  40");
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

// The rounding written out from the exact decimal expansion, for comparison.
std::string exact_rounding(float value, int decimals) {
  char exact[256];
  std::snprintf(exact, sizeof exact, "%.160f", std::fabs(static_cast<double>(value)));
  std::string text(exact);
  const std::size_t point = text.find('.');
  std::string digits = text.substr(0, point) + text.substr(point + 1, decimals);
  if (text[point + 1 + decimals] >= '5') {
    std::size_t i = digits.size();
    while (i > 0 && digits[i - 1] == '9')
      digits[--i] = '0';
    if (i == 0) {
      digits.insert(digits.begin(), '1');
    } else {
      ++digits[i - 1];
    }
  }
  const std::string whole = digits.substr(0, digits.size() - decimals);
  const auto lead = whole.find_first_not_of('0');
  return (lead == std::string::npos ? "0" : whole.substr(lead)) + "." +
         digits.substr(digits.size() - decimals);
}

TEST(FixedForm, AgreesWithTheExactExpansionAtEveryScale) {
  std::mt19937 random(7);
  std::uniform_int_distribution<std::uint32_t> bits;
  int compared = 0;
  for (int i = 0; i < 200000; ++i) {
    std::uint32_t b = bits(random);
    float v = 0;
    std::memcpy(&v, &b, sizeof v);
    if (!std::isfinite(v) || std::fabs(v) > 1e12F) continue;
    if (i % 2 == 0) v = std::nearbyint(v * 1e3F) / 1e3F;  // values near decimal ties too
    for (int d = 0; d <= 6; ++d) {
      std::string got = fixed_form(v, 40, d);
      got.erase(0, got.find_first_not_of(' '));
      if (!got.empty() && got.front() == '-') got.erase(0, 1);
      ASSERT_EQ(got, exact_rounding(v, d)) << v << " to " << d << " decimals";
      ++compared;
    }
  }
  EXPECT_GT(compared, 100000);
}

}  // namespace
}  // namespace vantrel
