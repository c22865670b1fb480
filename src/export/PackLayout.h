#pragma once
// The pack: the container an executable export appends to the
// self-extracting stub. From the start of the file: the stub (S bytes, none
// while the pack is a work file), the entries back to back, and an 804-byte
// trailer that is always the file's last bytes. An entry is a 288-byte
// header (entry size, header size 288, flags, the stored name) followed by
// its data, a cabinet holding one file. The trailer carries a magic number,
// the program to run after unpacking, its command line, the number of
// entries and the offset of the first (S). All integers are 32-bit little
// endian; texts are NUL-terminated in fixed fields.
// Header-only, so that the stub reads with the same code the writer writes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace pavonia::pack {

inline constexpr std::uint32_t kMagic = 0xC11688FF;
inline constexpr std::size_t kTrailerSize = 804;
inline constexpr std::size_t kEntryHeaderSize = 288;
inline constexpr std::size_t kNameField = 276;       // at offset 12 of an entry header
inline constexpr std::size_t kTextField = 264;       // player name and command line
inline constexpr std::size_t kMaxNameLength = kNameField - 1;
inline constexpr std::size_t kMaxTextLength = kTextField - 1;
inline constexpr std::uint32_t kFlagCabinet = 1;     // the data is a cabinet; 0 while being written

inline constexpr std::size_t kPlayerOffset = 268;
inline constexpr std::size_t kCommandLineOffset = 532;
inline constexpr std::size_t kCountOffset = 796;
inline constexpr std::size_t kDataOffsetOffset = 800;

inline void put32(std::uint8_t* out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline std::uint32_t get32(const std::uint8_t* in)
{
    return std::uint32_t(in[0]) | std::uint32_t(in[1]) << 8 | std::uint32_t(in[2]) << 16 |
           std::uint32_t(in[3]) << 24;
}

// A text field: the text, then zeros to the end. False when it does not fit
// with its terminating NUL or holds a NUL of its own.
inline bool putText(std::uint8_t* field, std::size_t fieldSize, std::string_view text)
{
    if (text.size() >= fieldSize || text.find('\0') != std::string_view::npos)
        return false;
    std::memset(field, 0, fieldSize);
    std::memcpy(field, text.data(), text.size());
    return true;
}

// The text of a field up to its NUL; false when the field holds no NUL.
inline bool getText(const std::uint8_t* field, std::size_t fieldSize, std::string& text)
{
    const void* end = std::memchr(field, 0, fieldSize);
    if (!end)
        return false;
    text.assign(reinterpret_cast<const char*>(field), static_cast<const std::uint8_t*>(end) - field);
    return true;
}

struct Trailer {
    std::string player;
    std::string commandLine;
    std::uint32_t count = 0;
    std::uint32_t dataOffset = 0;

    // False when a text does not fit its field.
    bool encode(std::uint8_t (&out)[kTrailerSize]) const
    {
        std::memset(out, 0, kTrailerSize);
        put32(out, kMagic);
        put32(out + kCountOffset, count);
        put32(out + kDataOffsetOffset, dataOffset);
        return putText(out + kPlayerOffset, kTextField, player) &&
               putText(out + kCommandLineOffset, kTextField, commandLine);
    }

    // False when the magic number is wrong or a text is not terminated.
    bool decode(const std::uint8_t* in)
    {
        if (get32(in) != kMagic)
            return false;
        count = get32(in + kCountOffset);
        dataOffset = get32(in + kDataOffsetOffset);
        return getText(in + kPlayerOffset, kTextField, player) &&
               getText(in + kCommandLineOffset, kTextField, commandLine);
    }
};

struct EntryHeader {
    std::uint32_t entrySize = kEntryHeaderSize; // header and data
    std::uint32_t headerSize = kEntryHeaderSize;
    std::uint32_t flags = 0;
    std::string name;

    bool encode(std::uint8_t (&out)[kEntryHeaderSize]) const
    {
        put32(out, entrySize);
        put32(out + 4, headerSize);
        put32(out + 8, flags);
        return putText(out + 12, kNameField, name);
    }

    bool decode(const std::uint8_t* in)
    {
        entrySize = get32(in);
        headerSize = get32(in + 4);
        flags = get32(in + 8);
        return getText(in + 12, kNameField, name);
    }
};

} // namespace pavonia::pack
