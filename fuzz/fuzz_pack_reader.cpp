// Reads arbitrary bytes as the self-extracting stub reads its own file: the
// pack at its end, every entry's name, and every cabinet expanded. The first
// byte chooses whether the rest is a whole file or one cabinet alone, so the
// cabinet reader is reached without a valid pack around it.
#include "CabinetReader.h"
#include "PackReader.h"

#include <cstdint>
#include <string>
#include <string_view>

using namespace pavonia::seed;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    MemorySource source(bytes);
    std::uint64_t expanded = 0;
    const Sink count = [&](const std::uint8_t*, std::size_t n) {
        expanded += n;
        return true;
    };
    if (data[0] & 1) {
        expandCabinet(source, 0, source.size(), count);
        return 0;
    }
    Pack pack;
    Problem problem;
    if (!readPack(source, pack, problem))
        return 0;
    for (const PackEntry& entry : pack.entries) {
        // Every name that passed must stay inside the unpacking folder.
        const std::string path = "/" + entry.path + "/";
        if (entry.path.empty() || path.find("//") != std::string::npos || path.find("/../") != std::string::npos)
            __builtin_trap();
        if (entry.dataOffset + entry.dataSize > source.size())
            __builtin_trap();
        expandCabinet(source, entry.dataOffset, entry.dataSize, count);
    }
    return 0;
}
