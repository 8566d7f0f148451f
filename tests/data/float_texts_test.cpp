// The float conversions pinned to committed texts (tests/data/float_texts.txt), so that a build
// whose standard library lacks them (the browser's, where the fallbacks serve) is held to the
// texts and values a standard library gives. VANTREL_REGENERATE=1 writes the file instead, from
// a build that has the standard conversions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "data/float_chars.hpp"

namespace vantrel {
namespace {

const char* const kFile = VANTREL_SOURCE_DIR "/tests/data/float_texts.txt";

std::uint32_t bits_of(float v) {
  std::uint32_t b = 0;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

// The floats pinned: both sides of every power of two, subnormals, integers and tenths, random
// bit patterns.
std::vector<float> pinned_floats() {
  std::vector<float> out;
  const auto add_bits = [&](std::uint32_t b) {
    float v = 0;
    std::memcpy(&v, &b, sizeof v);
    if (std::isfinite(v)) out.push_back(v);
  };
  for (std::uint32_t exponent = 0; exponent < 255; exponent += 3) {
    for (const std::uint32_t step : {0U, 1U})
      add_bits((exponent << 23) + step);
    if (exponent > 0) add_bits((exponent << 23) - 1);
  }
  for (std::uint32_t b = 1; b < 40; ++b)
    add_bits(b);
  for (int i = 0; i < 300; ++i) {
    out.push_back(static_cast<float>(i * 37) / 10.0F);
    out.push_back(static_cast<float>(i) * 1234567.0F);
  }
  std::mt19937 random(20261210);
  std::uniform_int_distribution<std::uint32_t> any;
  for (int i = 0; i < 2500; ++i)
    add_bits(any(random));
  return out;
}

// The readings pinned: each float's own text, that text carried past nine digits, and the
// edges of the range.
std::vector<std::string> pinned_texts(const std::vector<float>& floats) {
  std::vector<std::string> out = {"0",     "-0",   "1e-40",        "1e-45",        "7e-46",
                                  "1e-50", "1e39", "3.4028235e38", "3.4028236e38", ".5",
                                  "1.",    "1e+5", "inf",          "1e",           "0x10"};
  for (std::size_t i = 0; i < floats.size(); i += 3) {
    char text[64];
    char* end = write_shortest(text, text + sizeof text, floats[i]);
    const std::string own(text, end);
    out.push_back(own);
    const std::size_t e = own.find('e');
    out.push_back(own.substr(0, e) +
                  (own.find('.') == std::string::npos ? ".49999999" : "49999999") +
                  (e == std::string::npos ? "" : own.substr(e)));
  }
  return out;
}

std::string written_line(float v) {
  char text[64];
  char* end = write_shortest(text, text + sizeof text, v);
  std::ostringstream line;
  line << "w " << std::hex << bits_of(v) << ' ' << std::string(text, end);
  return line.str();
}

std::string read_line(const std::string& text) {
  float v = 0.0F;
  const std::errc ec = read_float(text.data(), text.data() + text.size(), v);
  std::ostringstream line;
  // The error by name: its number is each C library's own.
  const char* outcome = ec == std::errc{}                      ? "ok"
                        : ec == std::errc::result_out_of_range ? "out_of_range"
                        : ec == std::errc::invalid_argument    ? "invalid"
                                                               : "other";
  line << "r " << text << ' ' << outcome << ' ' << std::hex << bits_of(v);
  return line.str();
}

TEST(FloatTexts, EveryPinnedFloatWritesAndReadsAsCommitted) {
  const std::vector<float> floats = pinned_floats();
  std::vector<std::string> lines;
  for (const float v : floats) {
    lines.push_back(written_line(v));
    lines.push_back(written_line(-v));
  }
  for (const std::string& text : pinned_texts(floats))
    lines.push_back(read_line(text));

  if (std::getenv("VANTREL_REGENERATE") != nullptr) {
    std::ofstream out(kFile);
    out << "# The texts and values of the standard library's float conversions (std::to_chars,\n"
           "# std::from_chars) on pinned floats, written by tests/data/float_texts_test.cpp with\n"
           "# VANTREL_REGENERATE=1. w BITS TEXT: the shortest text; r TEXT ERRC BITS: the "
           "reading.\n";
    for (const std::string& line : lines)
      out << line << '\n';
    ASSERT_TRUE(out.good());
    return;
  }
  std::ifstream in(kFile);
  ASSERT_TRUE(in.good()) << kFile;
  std::vector<std::string> committed;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.front() != '#') committed.push_back(line);
  }
  ASSERT_EQ(committed.size(), lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i)
    ASSERT_EQ(lines[i], committed[i]) << "line " << i;
}

}  // namespace
}  // namespace vantrel
