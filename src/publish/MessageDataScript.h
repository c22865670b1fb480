#pragma once
// The data script of a published talking message: the length of its voice
// and its lip-sync frames, or that it is muted, text-mode, missing or
// damaged (docs/page-data.md).
#include <string>

namespace pavonia {

class MessageDataScript {
public:
    // The script for the message at `path`, named in the page `fileName`.
    static std::string make(const std::string& path, const std::string& fileName);
    // Writes the script of the published message at `path` beside it; false
    // when it cannot be written.
    static bool writeBeside(const std::string& path);
};

} // namespace pavonia
