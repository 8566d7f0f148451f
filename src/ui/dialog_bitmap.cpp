#include "ui/dialog_bitmap.hpp"

#include <array>
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

// What the header says, checked against the file's length.
struct Layout {
  int width = 0;
  int rows = 0;
  bool from_top = false;
  std::uint32_t bits = 0;
  std::uint32_t colours = 0;  // palette entries; 0 without a palette
  std::size_t palette_at = 0;
  std::size_t offset = 0;
  std::size_t stride = 0;  // bytes a row, padded to four
};

std::optional<Layout> layout_of(std::string_view file) {
  if (file.size() < kFileHeader + 40 || file.substr(0, 2) != "BM") return std::nullopt;
  Layout l;
  l.offset = little_endian(file, 10, 4);
  const std::uint32_t info = little_endian(file, 14, 4);
  l.width = static_cast<std::int32_t>(little_endian(file, 18, 4));
  const auto height = static_cast<std::int32_t>(little_endian(file, 22, 4));
  l.bits = little_endian(file, 28, 2);
  const std::uint32_t compression = little_endian(file, 30, 4);
  l.colours = little_endian(file, 46, 4);
  l.from_top = height < 0;
  l.rows = height < 0 ? -height : height;
  const bool paletted = l.bits == 1 || l.bits == 4 || l.bits == 8;
  if (info < 40 || compression != 0 || l.width <= 0 || l.width > kMaxSide || l.rows == 0 ||
      l.rows > kMaxSide || !(paletted || l.bits == 24 || l.bits == 32)) {
    return std::nullopt;
  }
  if (!paletted) l.colours = 0;
  if (paletted && l.colours == 0) l.colours = 1U << l.bits;
  l.palette_at = kFileHeader + info;
  if (paletted &&
      (l.colours > (1U << l.bits) || l.palette_at + 4 * std::size_t{l.colours} > file.size())) {
    return std::nullopt;
  }
  l.stride = ((static_cast<std::size_t>(l.width) * l.bits + 31) / 32) * 4;
  if (l.offset > file.size() ||
      (file.size() - l.offset) / l.stride < static_cast<std::size_t>(l.rows)) {
    return std::nullopt;
  }
  return l;
}

}  // namespace

std::optional<BitmapSize> bmp_size(std::string_view file) {
  const auto l = layout_of(file);
  if (!l) return std::nullopt;
  return BitmapSize{l->width, l->rows};
}

bool read_bmp_into(std::string_view file, std::uint32_t* pixels, std::size_t stride) {
  const auto l = layout_of(file);
  if (!l) return false;
  std::array<std::uint32_t, 256> palette{};
  for (std::uint32_t i = 0; i < l->colours; ++i)
    palette[i] = kOpaque | little_endian(file, l->palette_at + 4 * std::size_t{i}, 3);
  const auto* bytes = reinterpret_cast<const unsigned char*>(file.data());
  const std::uint32_t mask = l->colours == 0 ? 0 : (1U << l->bits) - 1;  // an index's bits
  for (int y = 0; y < l->rows; ++y) {
    const unsigned char* row =
        bytes + l->offset + l->stride * static_cast<std::size_t>(l->from_top ? y : l->rows - 1 - y);
    std::uint32_t* out = pixels + stride * static_cast<std::size_t>(y);
    if (l->colours == 0) {
      const std::size_t step = l->bits / 8;
      for (int x = 0; x < l->width; ++x) {
        const unsigned char* p = row + step * static_cast<std::size_t>(x);
        out[x] = kOpaque | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
      }
      continue;
    }
    for (int x = 0; x < l->width; ++x) {
      const auto bit = static_cast<std::size_t>(x) * l->bits;
      const std::uint32_t index = (row[bit / 8] >> (8 - l->bits - bit % 8)) & mask;
      if (index >= l->colours) return false;
      out[x] = palette[index];
    }
  }
  return true;
}

std::optional<Bitmap> read_bmp(std::string_view file) {
  const auto size = bmp_size(file);
  if (!size) return std::nullopt;
  Bitmap out{size->width, size->height,
             std::vector<std::uint32_t>(static_cast<std::size_t>(size->width) * size->height)};
  if (!read_bmp_into(file, out.pixels.data(), static_cast<std::size_t>(size->width))) {
    return std::nullopt;
  }
  return out;
}

}  // namespace vantrel::ui
