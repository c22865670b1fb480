#include "PackReader.h"

#include "platform/StringTable.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace pavonia::seed {

bool MemorySource::readAt(std::uint64_t offset, void* data, std::size_t count)
{
    if (offset > bytes_.size() || count > bytes_.size() - offset)
        return false;
    std::memcpy(data, bytes_.data() + offset, count);
    return true;
}

bool FileSource::readAt(std::uint64_t offset, void* data, std::size_t count)
{
    if (offset > size_ || count > size_ - offset)
        return false;
    auto* bytes = static_cast<char*>(data);
    while (count > 0) {
        const ssize_t n = ::pread(fd_, bytes, count, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        offset += static_cast<std::uint64_t>(n);
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

std::optional<std::string> safeRelativePath(std::string_view name)
{
    if (name.empty() || name.front() == '/' || name.front() == '\\')
        return std::nullopt;
    if (name.size() >= 2 && name[1] == ':')
        return std::nullopt;
    std::string path;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find_first_of("/\\", start);
        if (end == std::string_view::npos)
            end = name.size();
        const std::string_view part = name.substr(start, end - start);
        if (part == "..")
            return std::nullopt;
        if (!part.empty() && part != ".") {
            for (const char c : part)
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                    return std::nullopt;
            if (!path.empty())
                path += '/';
            path += part;
        }
        start = end + 1;
    }
    if (path.empty())
        return std::nullopt;
    return path;
}

namespace {

bool fail(Problem& problem, int text, std::vector<std::string> arguments = {})
{
    problem.text = text;
    problem.arguments = std::move(arguments);
    return false;
}

} // namespace

bool readPack(ByteSource& source, Pack& pack, Problem& problem)
{
    pack = Pack{};
    const std::uint64_t size = source.size();
    std::uint8_t trailer[pack::kTrailerSize];
    if (size < pack::kTrailerSize || !source.readAt(size - pack::kTrailerSize, trailer, sizeof trailer) ||
        !pack.trailer.decode(trailer))
        return fail(problem, str::StubNoPack);
    const std::uint64_t trailerStart = size - pack::kTrailerSize;
    if (pack.trailer.dataOffset > trailerStart)
        return fail(problem, str::StubNoPack);
    if (!pack.trailer.player.empty()) {
        const auto player = safeRelativePath(pack.trailer.player);
        if (!player)
            return fail(problem, str::StubEntryName, {"0", pack.trailer.player});
        pack.player = *player;
    }
    // Every entry takes at least its header, which bounds how many there
    // can be before any is read.
    if (pack.trailer.count > (trailerStart - pack.trailer.dataOffset) / pack::kEntryHeaderSize)
        return fail(problem, str::StubCountMismatch);

    std::uint64_t at = pack.trailer.dataOffset;
    for (std::uint32_t k = 1; k <= pack.trailer.count; ++k) {
        const std::string number = std::to_string(k);
        std::uint8_t bytes[pack::kEntryHeaderSize];
        if (trailerStart - at < pack::kEntryHeaderSize || !source.readAt(at, bytes, sizeof bytes))
            return fail(problem, str::StubEntryOutside, {number});
        pack::EntryHeader header;
        if (!header.decode(bytes) || header.headerSize != pack::kEntryHeaderSize ||
            header.flags != pack::kFlagCabinet || header.entrySize < pack::kEntryHeaderSize)
            return fail(problem, str::StubEntryHeader, {number});
        if (header.entrySize > trailerStart - at)
            return fail(problem, str::StubEntryOutside, {number});
        const auto path = safeRelativePath(header.name);
        if (!path)
            return fail(problem, str::StubEntryName, {number, header.name});
        pack.entries.push_back({*path, at + pack::kEntryHeaderSize, header.entrySize - pack::kEntryHeaderSize});
        at += header.entrySize;
    }
    if (at != trailerStart)
        return fail(problem, str::StubCountMismatch);
    return true;
}

} // namespace pavonia::seed
