#pragma once
// Turns a bitmap file into an NV12 picture (for the vacant picture and SetVacantImg).
#include <cstdint>
#include <string>
#include <vector>

namespace orvanecam::picture {

// Loads a 24- or 32-bit .bmp file (the extension compared without regard to case) as tight NV12.
// Odd sides lose their last column or bottom row; sides outside 1..4096 are refused. On failure
// nv12 is empty and the size 0 x 0.
bool LoadBitmapAsNv12(const std::string& path, std::vector<std::uint8_t>& nv12, std::int32_t& width,
                      std::int32_t& height);

}  // namespace orvanecam::picture
