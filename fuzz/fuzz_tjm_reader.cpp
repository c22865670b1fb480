// Reads arbitrary bytes as a talking image file. Whatever the reader accepts
// must write back and read again to the same content.
#include "voice/TjmFile.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    pavonia::TjmFile file;
    if (pavonia::readTjm(std::string_view(reinterpret_cast<const char*>(data), size), file) !=
        pavonia::TjmError::None)
        return 0;
    const auto written = pavonia::writeTjm(file);
    if (!written)
        __builtin_trap(); // accepted content the writer refuses
    pavonia::TjmFile again;
    if (pavonia::readTjm(*written, again) != pavonia::TjmError::None || !(again == file))
        __builtin_trap(); // the round trip changed the content
    return 0;
}
