// Reads arbitrary bytes as the content album's description. Whatever the
// reader accepts must write back and read again to the same entries.
#include "album/AlbumDescription.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<pavonia::AlbumEntry> entries;
    if (pavonia::parseAlbumDescription(std::string_view(reinterpret_cast<const char*>(data), size), entries))
        return 0;
    const auto written = pavonia::albumDescriptionBytes(entries);
    if (!written)
        __builtin_trap(); // accepted entries the writer refuses
    std::vector<pavonia::AlbumEntry> again;
    if (pavonia::parseAlbumDescription(*written, again) || again != entries)
        __builtin_trap(); // the round trip changed the entries
    return 0;
}
