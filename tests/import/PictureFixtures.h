#pragma once
// Small pictures made in memory for the reader and fitting tests.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pavonia::test {

// A Windows bitmap laid out field by field; the defaults make a valid
// uncompressed bitmap once width, height, bits and pixel rows are set.
struct BmpFile {
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t bitsPerPixel = 24;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
    std::uint32_t headerSize = 40;
    std::vector<std::uint32_t> palette; // 0x00RRGGBB, written blue, green, red, 0
    std::string pixels;                 // rows as stored, bottom row first, padded
    long pixelOffset = -1;              // -1: right after the palette
    std::string bytes() const;
};

// A JPEG of `components` (1, 3 or 4) whose sample at (x, y, c) is given.
std::string encodeJpeg(int width, int height, int components,
                       const std::function<std::uint8_t(int, int, int)>& sample, int quality = 90,
                       bool progressive = false);

// A GIF of one or more frames of one colour each (0x00RRGGBB).
std::string encodeGif(int width, int height, const std::vector<std::uint32_t>& frameColours);

struct PictureInfo {
    std::size_t width = 0;
    std::size_t height = 0;
    std::size_t frames = 0;
    std::string format; // the library's name, "JPEG", "GIF", ...
    std::size_t quality = 0; // a JPEG's quality as estimated from its tables
};
// What the image library reads from the file; frames 0 when it cannot.
PictureInfo inspectPicture(const std::string& path);

void writeBytes(const std::string& path, const std::string& bytes);

} // namespace pavonia::test
