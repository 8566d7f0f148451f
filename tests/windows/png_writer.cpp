#include "png_writer.hpp"

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

std::uint32_t crc32(const unsigned char* data, std::size_t size, std::uint32_t crc = 0) {
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k)
      crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void put32(std::vector<unsigned char>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<unsigned char>(v >> shift));
}

void chunk(std::vector<unsigned char>& out, const char* type,
           const std::vector<unsigned char>& data) {
  put32(out, static_cast<std::uint32_t>(data.size()));
  std::vector<unsigned char> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  put32(out, crc32(body.data(), body.size()));
}

}  // namespace

bool write_png(const char* file, int width, int height, const std::vector<unsigned char>& rgb) {
  std::vector<unsigned char> raw;  // each row after its filter byte 0
  const std::size_t row = static_cast<std::size_t>(width) * 3;
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);
    raw.insert(raw.end(), rgb.begin() + static_cast<std::ptrdiff_t>(y * row),
               rgb.begin() + static_cast<std::ptrdiff_t>((y + 1) * row));
  }
  std::vector<unsigned char> z = {0x78, 0x01};
  std::uint32_t a = 1, b = 0;  // Adler-32
  for (const unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  for (std::size_t at = 0; at < raw.size() || at == 0; at += 65535) {
    const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
    z.push_back(at + n >= raw.size() ? 1 : 0);
    z.push_back(static_cast<unsigned char>(n));
    z.push_back(static_cast<unsigned char>(n >> 8));
    z.push_back(static_cast<unsigned char>(~n));
    z.push_back(static_cast<unsigned char>(~n >> 8));
    z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
             raw.begin() + static_cast<std::ptrdiff_t>(at + n));
    if (raw.empty()) break;
  }
  put32(z, (b << 16) | a);
  std::vector<unsigned char> header;
  put32(header, static_cast<std::uint32_t>(width));
  put32(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter, no interlace
  std::vector<unsigned char> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  chunk(out, "IHDR", header);
  chunk(out, "IDAT", z);
  chunk(out, "IEND", {});
  std::FILE* f = std::fopen(file, "wb");
  if (f == nullptr) return false;
  const bool written = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  return std::fclose(f) == 0 && written;
}
