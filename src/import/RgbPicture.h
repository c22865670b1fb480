#pragma once
// A decoded picture as the readers return it: width x height pixels of three
// bytes each (red, green, blue), rows from the top of the picture to the
// bottom, each row exactly width x 3 bytes.
#include <cstdint>
#include <vector>

namespace pavonia {

struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rows;
};

} // namespace pavonia
