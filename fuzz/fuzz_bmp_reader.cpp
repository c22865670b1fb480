// Reads arbitrary bytes as a Windows bitmap: the reader must refuse damaged
// files with a status and never allocate beyond what the file holds.
#include "FuzzInstallation.h"
#include "import/BmpReader.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static pavonia::fuzz::FuzzInstallation installation;
    const std::string input = installation.writeInput(data, size, "input.bmp");
    pavonia::BmpReader reader;
    const auto picture = reader.read(input);
    if (picture) {
        if (!reader.ok() ||
            picture->rows.size() != std::size_t(picture->width) * std::size_t(picture->height) * 3)
            __builtin_trap(); // a picture that disagrees with its own size
        // Even a 1-bit bitmap gives at most 24 output bytes per input bit,
        // plus the 8 pixels one stored byte may round up to.
        if (picture->rows.size() > size * 8 * 3 + 24 * std::size_t(picture->height))
            __builtin_trap();
    } else if (reader.ok()) {
        __builtin_trap(); // a failure reported as success
    }
    return 0;
}
