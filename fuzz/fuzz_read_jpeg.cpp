// Decodes arbitrary bytes as a JPEG: damaged input must end in a failure with
// its message and no picture, or a picture of the size it reports; never a
// crash or a hang.
#include "FuzzInstallation.h"
#include "import/ReadJpeg.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static pavonia::fuzz::FuzzInstallation installation;
    const std::string input = installation.writeInput(data, size, "input.jpg");
    // A small limit keeps each run quick: a few bytes may claim a picture of
    // any size, which libjpeg fills in once the data runs out.
    const auto picture = pavonia::ReadJpeg(input, 1u << 20);
    if (picture) {
        if (picture->rows.size() != std::size_t(picture->width) * std::size_t(picture->height) * 3)
            __builtin_trap();
    } else if (picture.failure().text().empty()) {
        __builtin_trap(); // a failure without its message
    }
    return 0;
}
