#pragma once
// Writes an 8-bit RGB picture as a PNG file (uncompressed deflate blocks: no library needed,
// and any viewer opens it).
#include <cstdint>
#include <string>
#include <vector>

namespace orvanecam::tools {

// rgb holds width x height pixels, three bytes each (R, G, B), rows top to bottom.
bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);

}  // namespace orvanecam::tools
