#pragma once
// The data script of a published talking image: its face layout, and the
// face and mouth pictures as data URLs; or that it is missing, newer or
// damaged (docs/page-data.md).
#include <string>

namespace pavonia {

class FaceDataScript {
public:
    // The script for the talking image at `path`, named in the page `fileName`.
    static std::string make(const std::string& path, const std::string& fileName);
    // Writes the script of the published talking image at `path` beside it;
    // false when it cannot be written.
    static bool writeBeside(const std::string& path);
};

} // namespace pavonia
