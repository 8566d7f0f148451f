// The window's pictures read from their BMP files without a toolkit: a view that would read
// them through its toolkit's image plugins pays for loading the plugins at every start.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vantrel::ui {

// Pixels top row first, each 0xAARRGGBB with alpha 0xFF.
struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

// The picture of an uncompressed BMP file (1, 4, 8, 24 or 32 bits a pixel, rows from the bottom
// or the top); nothing for any other file or a damaged one.
std::optional<Bitmap> read_bmp(std::string_view file);

// The same in two steps, for a view that reads into its toolkit's own image: the size, then
// the pixels, row y from `pixels + y * stride`. false (the rows partly written) where read_bmp
// gives nothing.
struct BitmapSize {
  int width = 0;
  int height = 0;
};
std::optional<BitmapSize> bmp_size(std::string_view file);
bool read_bmp_into(std::string_view file, std::uint32_t* pixels, std::size_t stride);

}  // namespace vantrel::ui
