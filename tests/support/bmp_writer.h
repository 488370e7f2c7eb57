#pragma once
// Bitmap files for tests: a test image in the stored layouts a BMP file may use.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace orvanecam::testing {

struct Pixel {
    std::uint8_t b, g, r;
};

// The colour of (x, y) in the test image: every pixel differs from its neighbours.
Pixel ColourAt(int x, int y);

// A BMP file of the test image; bitFields writes a 32-bit BI_BITFIELDS file with the masks.
std::vector<std::uint8_t> MakeBmp(int width, int height, int bits, bool topDown,
                                  bool bitFields = false);

// Writes bytes to a file named name in the temporary folder (unique to this process).
std::filesystem::path WriteTempFile(const std::string& name,
                                    const std::vector<std::uint8_t>& bytes);

}  // namespace orvanecam::testing
