#include "ui/dialog_bitmap.hpp"

#include <cstddef>

namespace vantrel::ui {

namespace {

std::uint32_t little_endian(std::string_view file, std::size_t at, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i)
    value = (value << 8) | static_cast<unsigned char>(file[at + static_cast<std::size_t>(i)]);
  return value;
}

constexpr std::size_t kFileHeader = 14;
constexpr std::uint32_t kOpaque = 0xFF000000U;
constexpr int kMaxSide = 1 << 14;

}  // namespace

std::optional<Bitmap> read_bmp(std::string_view file) {
  if (file.size() < kFileHeader + 40 || file.substr(0, 2) != "BM") return std::nullopt;
  const std::uint32_t offset = little_endian(file, 10, 4);
  const std::uint32_t info = little_endian(file, 14, 4);
  const auto width = static_cast<std::int32_t>(little_endian(file, 18, 4));
  const auto height = static_cast<std::int32_t>(little_endian(file, 22, 4));
  const std::uint32_t bits = little_endian(file, 28, 2);
  const std::uint32_t compression = little_endian(file, 30, 4);
  std::uint32_t colours = little_endian(file, 46, 4);
  const bool from_top = height < 0;
  const int rows = height < 0 ? -height : height;
  const bool paletted = bits == 1 || bits == 4 || bits == 8;
  if (info < 40 || compression != 0 || width <= 0 || width > kMaxSide || rows == 0 ||
      rows > kMaxSide || !(paletted || bits == 24 || bits == 32)) {
    return std::nullopt;
  }
  if (paletted && colours == 0) colours = 1U << bits;
  const std::size_t palette_at = kFileHeader + info;
  if (paletted && (colours > (1U << bits) || palette_at + 4 * std::size_t{colours} > file.size())) {
    return std::nullopt;
  }
  const std::size_t stride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
  if (offset > file.size() || (file.size() - offset) / stride < static_cast<std::size_t>(rows)) {
    return std::nullopt;
  }
  Bitmap out{width, rows, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * rows)};
  for (int y = 0; y < rows; ++y) {
    const std::size_t row = offset + stride * static_cast<std::size_t>(from_top ? y : rows - 1 - y);
    std::uint32_t* pixel = out.pixels.data() + static_cast<std::size_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      const auto bit = static_cast<std::size_t>(x) * bits;
      if (!paletted) {
        pixel[x] = kOpaque | little_endian(file, row + bit / 8, 3);
        continue;
      }
      const auto byte = static_cast<unsigned char>(file[row + bit / 8]);
      const std::uint32_t index = (byte >> (8 - bits - bit % 8)) & ((1U << bits) - 1);
      if (index >= colours) return std::nullopt;
      pixel[x] = kOpaque | little_endian(file, palette_at + 4 * std::size_t{index}, 3);
    }
  }
  return out;
}

}  // namespace vantrel::ui
