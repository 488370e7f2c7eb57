#pragma once
// A producer picture of four coloured quadrants, and a reader of the colour a sample of any of
// the camera's formats shows at a point, for tests that check what a client sees.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "geometry/picture_geometry.h"

namespace orvanecam::testing {

struct Colour {
    std::uint8_t r, g, b;
    std::uint8_t y, u, v;  // BT.601 limited range
};
inline constexpr Colour kRed{255, 0, 0, 82, 90, 240};
inline constexpr Colour kGreen{0, 255, 0, 145, 54, 34};
inline constexpr Colour kBlue{0, 0, 255, 41, 240, 110};
inline constexpr Colour kWhite{255, 255, 255, 235, 128, 128};
inline constexpr Colour kBlack{0, 0, 0, 16, 128, 128};

// NV12, width and height even: red, green / blue, white.
inline std::vector<std::uint8_t> ColourQuadrants(std::int32_t width, std::int32_t height) {
    std::vector<std::uint8_t> nv12(geometry::Yuv420Bytes(width, height));
    const auto at = [&](std::int32_t x, std::int32_t y) {
        return y < height / 2 ? (x < width / 2 ? kRed : kGreen) : (x < width / 2 ? kBlue : kWhite);
    };
    const std::size_t luma = geometry::LumaBytes(width, height);
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            nv12[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                 static_cast<std::size_t>(x)] = at(x, y).y;
        }
    }
    for (std::int32_t y = 0; y < height / 2; ++y) {
        for (std::int32_t x = 0; x < width / 2; ++x) {
            const Colour c = at(2 * x, 2 * y);
            const std::size_t at2 = luma + static_cast<std::size_t>(y) * width + 2u * x;
            nv12[at2] = c.u;
            nv12[at2 + 1] = c.v;
        }
    }
    return nv12;
}

// A sample as the client reads it by its header: width, height (negative for top-down RGB).
struct SampleLayout {
    geometry::SampleFormat format;
    std::int32_t width;
    std::int32_t height;
};

// R, G, B of an RGB sample or Y, U, V of a YUV one at column x and row y from the picture's top.
inline std::array<int, 3> Components(const std::vector<std::uint8_t>& data,
                                     const SampleLayout& layout, std::int32_t x, std::int32_t y) {
    const std::size_t w = static_cast<std::size_t>(layout.width);
    const std::int32_t rows = std::abs(layout.height);
    switch (layout.format) {
        case geometry::SampleFormat::kRgb24:
        case geometry::SampleFormat::kRgb32: {
            const std::size_t stride =
                static_cast<std::size_t>(geometry::RgbStride(layout.width, layout.format));
            const std::size_t row = static_cast<std::size_t>(layout.height < 0 ? y : rows - 1 - y);
            const std::size_t pixel = layout.format == geometry::SampleFormat::kRgb32 ? 4 : 3;
            const std::uint8_t* p =
                data.data() + row * stride + static_cast<std::size_t>(x) * pixel;
            return {p[2], p[1], p[0]};
        }
        case geometry::SampleFormat::kYuy2: {
            const std::uint8_t* pair = data.data() + static_cast<std::size_t>(y) * w * 2 +
                                       static_cast<std::size_t>(x / 2) * 4;
            return {pair[x % 2 == 0 ? 0 : 2], pair[1], pair[3]};
        }
        case geometry::SampleFormat::kI420:
        case geometry::SampleFormat::kIyuv: {
            const std::size_t chroma = (static_cast<std::size_t>(y) / 2) * (w / 2) + x / 2;
            const std::size_t u = w * static_cast<std::size_t>(rows) + chroma;
            const std::size_t v = u + (w / 2) * static_cast<std::size_t>(rows / 2);
            return {data[static_cast<std::size_t>(y) * w + static_cast<std::size_t>(x)], data[u],
                    data[v]};
        }
        case geometry::SampleFormat::kNv12:
            break;
    }
    const std::uint8_t* chroma = data.data() + w * static_cast<std::size_t>(rows) +
                                 static_cast<std::size_t>(y / 2) * w +
                                 static_cast<std::size_t>(x / 2) * 2;
    return {data[static_cast<std::size_t>(y) * w + static_cast<std::size_t>(x)], chroma[0],
            chroma[1]};
}

// The sample shows colour at (x, y) within tolerance in each component.
inline bool Shows(const std::vector<std::uint8_t>& data, const SampleLayout& layout, std::int32_t x,
                  std::int32_t y, const Colour& colour, int tolerance = 3) {
    if (static_cast<std::int64_t>(data.size()) <
        geometry::FrameBytes(layout.width, std::abs(layout.height), layout.format)) {
        return false;
    }
    const std::array<int, 3> got = Components(data, layout, x, y);
    const bool rgb = layout.format == geometry::SampleFormat::kRgb24 ||
                     layout.format == geometry::SampleFormat::kRgb32;
    const std::array<int, 3> want = rgb ? std::array<int, 3>{colour.r, colour.g, colour.b}
                                        : std::array<int, 3>{colour.y, colour.u, colour.v};
    for (std::size_t i = 0; i < 3; ++i) {
        if (std::abs(got[i] - want[i]) > tolerance) return false;
    }
    return true;
}

}  // namespace orvanecam::testing
