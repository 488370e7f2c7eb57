#include "support/bmp_writer.h"

#include <fstream>

#include "platform/process.h"

namespace orvanecam::testing {
namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

}  // namespace

Pixel ColourAt(int x, int y) {
    return {static_cast<std::uint8_t>(x * 7), static_cast<std::uint8_t>(y * 5),
            static_cast<std::uint8_t>((x + y) * 3)};
}

std::vector<std::uint8_t> MakeBmp(int width, int height, int bits, bool topDown, bool bitFields) {
    const int stride = (width * bits + 31) / 32 * 4;
    const std::uint32_t pixelsAt = 14 + 40 + (bitFields ? 12 : 0);
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, pixelsAt + static_cast<std::uint32_t>(stride * height));
    Put32(out, 0);
    Put32(out, pixelsAt);
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(topDown ? -height : height));
    Put16(out, 1);
    Put16(out, static_cast<std::uint16_t>(bits));
    Put32(out, bitFields ? 3 : 0);
    for (int i = 0; i < 5; ++i) Put32(out, 0);
    if (bitFields) {
        Put32(out, 0x00FF0000);
        Put32(out, 0x0000FF00);
        Put32(out, 0x000000FF);
    }
    for (int row = 0; row < height; ++row) {
        const int y = topDown ? row : height - 1 - row;
        std::vector<std::uint8_t> line(static_cast<std::size_t>(stride), 0);
        for (int x = 0; x < width && bits >= 24; ++x) {
            const Pixel p = ColourAt(x, y);
            const std::size_t at = static_cast<std::size_t>(x * bits / 8);
            line[at] = p.b;
            line[at + 1] = p.g;
            line[at + 2] = p.r;
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

std::filesystem::path WriteTempFile(const std::string& name,
                                    const std::vector<std::uint8_t>& bytes) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("orvanecam-" + std::to_string(platform::CurrentProcessId()) + "-" + name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

}  // namespace orvanecam::testing
