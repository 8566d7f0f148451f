// The smallest honest PNG writer: 8-bit RGB rows in stored (uncompressed) deflate blocks, so
// the window test needs no image library.
#pragma once

#include <vector>

// `rgb` holds width * height * 3 bytes, the top row first. False when the file cannot be written.
bool write_png(const char* file, int width, int height, const std::vector<unsigned char>& rgb);
