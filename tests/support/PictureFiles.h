#pragma once
// A small writer of 24-bit Windows bitmaps for tests and build tools that
// need pictures on disk. Header only, so a tool can use it without linking
// the test support library.
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace pavonia::test {

struct Rgb8 {
    std::uint8_t r = 0, g = 0, b = 0;
};

// Writes a bottom-up 24-bit bitmap whose pixel at (x, y), counted from the
// top left, is `paint(x, y)` (an Rgb8).
template <typename Paint>
void writeBmp24(const std::string& path, int width, int height, Paint paint)
{
    const int rowSize = (width * 3 + 3) & ~3;
    const std::uint32_t dataSize = static_cast<std::uint32_t>(rowSize * height);
    std::vector<std::uint8_t> file(54 + dataSize, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<std::uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    file[26] = 1;
    file[28] = 24;
    put32(34, dataSize);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = file.data() + 54 + static_cast<std::size_t>((height - 1 - y) * rowSize);
        for (int x = 0; x < width; ++x) {
            const Rgb8 c = paint(x, y);
            row[x * 3 + 0] = c.b;
            row[x * 3 + 1] = c.g;
            row[x * 3 + 2] = c.r;
        }
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
}

} // namespace pavonia::test
