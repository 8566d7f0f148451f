// The window's pictures read without a toolkit: every depth the format stores uncompressed, rows
// from either end, and each damaged file refused rather than read past its end.
#include "ui/dialog_bitmap.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel::ui {
namespace {

void put(std::string& s, std::size_t at, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i)
    s[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A BMP of `width` x `height` (negative: rows from the top) at `bits`, with a palette of
// `colours` grey entries (entry i is i * 0x10 in every channel) and the given row bytes.
std::string bmp(int width, int height, int bits, int colours, const std::string& rows) {
  std::string s(54 + 4 * static_cast<std::size_t>(colours), '\0');
  s[0] = 'B';
  s[1] = 'M';
  put(s, 10, static_cast<std::uint32_t>(s.size()), 4);
  put(s, 14, 40, 4);
  put(s, 18, static_cast<std::uint32_t>(width), 4);
  put(s, 22, static_cast<std::uint32_t>(height), 4);
  put(s, 26, 1, 2);
  put(s, 28, static_cast<std::uint32_t>(bits), 2);
  put(s, 46, static_cast<std::uint32_t>(colours), 4);
  for (int i = 0; i < colours; ++i)
    put(s, 54 + 4 * static_cast<std::size_t>(i), 0x101010U * static_cast<std::uint32_t>(i), 4);
  return s + rows;
}

TEST(DialogBitmap, EveryUncompressedDepthWithItsRowsFromEitherEnd) {
  struct Case {
    const char* what;
    std::string file;
    std::vector<std::uint32_t> pixels;  // top row first
  } cases[] = {
      // 3 x 2 at 24 bits: rows of 9 bytes padded to 12, the bottom row first.
      {"24 bits",
       bmp(3, 2, 24, 0,
           std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09\0\0\0", 12) +
               std::string("\x0a\x0b\x0c\x0d\x0e\x0f\x10\x11\x12\0\0\0", 12)),
       {0xFF0C0B0A, 0xFF0F0E0D, 0xFF121110, 0xFF030201, 0xFF060504, 0xFF090807}},
      {"24 bits from the top",
       bmp(1, -2, 24, 0, std::string("\x01\x02\x03\0\x04\x05\x06\0", 8)),
       {0xFF030201, 0xFF060504}},
      {"32 bits, alpha ignored",
       bmp(1, 1, 32, 0, std::string("\x01\x02\x03\x7f", 4)),
       {0xFF030201}},
      {"8 bits", bmp(2, 1, 8, 3, std::string("\x02\x01\0\0", 4)), {0xFF202020, 0xFF101010}},
      {"4 bits",
       bmp(3, 1, 4, 16, std::string("\x1f\x20\0\0", 4)),
       {0xFF101010, 0xFFF0F0F0, 0xFF202020}},
      {"1 bit",
       bmp(10, 1, 1, 2, std::string("\xa0\x40\0\0", 4)),
       {0xFF101010, 0xFF000000, 0xFF101010, 0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000,
        0xFF000000, 0xFF000000, 0xFF101010}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto read = read_bmp(c.file);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->pixels, c.pixels);
    // Into an image of its own, rows further apart than the width: each row where it belongs,
    // the padding between them untouched.
    const auto size = bmp_size(c.file);
    ASSERT_TRUE(size.has_value());
    const auto width = static_cast<std::size_t>(size->width);
    const std::size_t stride = width + 3;
    std::vector<std::uint32_t> image(stride * static_cast<std::size_t>(size->height), 0x12345678U);
    ASSERT_TRUE(read_bmp_into(c.file, image.data(), stride));
    for (std::size_t y = 0; y < static_cast<std::size_t>(size->height); ++y) {
      for (std::size_t x = 0; x < stride; ++x) {
        EXPECT_EQ(image[y * stride + x], x < width ? c.pixels[y * width + x] : 0x12345678U)
            << "row " << y << ", column " << x;
      }
    }
  }
}

TEST(DialogBitmap, DamagedFilesAreRefused) {
  const std::string good = bmp(2, 1, 8, 3, std::string("\x02\x01\0\0", 4));
  std::string compressed = good;
  put(compressed, 30, 1, 4);
  std::string far_offset = good;
  put(far_offset, 10, 1U << 30, 4);
  std::string huge = good;
  put(huge, 18, 1U << 20, 4);
  const struct {
    const char* what;
    std::string file;
  } cases[] = {
      {"empty", ""},
      {"not a bitmap", "PNG" + std::string(60, '\0')},
      {"cut in its rows", good.substr(0, good.size() - 1)},
      {"cut in its palette", good.substr(0, 60)},
      {"compressed", compressed},
      {"pixels past the end", far_offset},
      {"wider than any picture", huge},
      {"an index beyond the palette", bmp(1, 1, 8, 2, std::string("\x05\0\0\0", 4))},
      {"no width", bmp(0, 1, 24, 0, std::string(4, '\0'))},
      {"16 bits", bmp(1, 1, 16, 0, std::string(4, '\0'))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(read_bmp(c.file).has_value());
    std::vector<std::uint32_t> image(4);
    EXPECT_FALSE(bmp_size(c.file).has_value() && read_bmp_into(c.file, image.data(), 1));
  }
}

}  // namespace
}  // namespace vantrel::ui
