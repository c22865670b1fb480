#pragma once
// The fixed parts of a cabinet file as this program writes and reads them:
// one cabinet, one folder, one file, MSZIP data blocks of at most 32 KiB.
// Header-only, so that the self-extracting stub shares it without linking
// the rest of the program.
#include <cstddef>
#include <cstdint>

namespace pavonia::cab {

inline constexpr std::uint8_t kSignature[4] = {'M', 'S', 'C', 'F'};
inline constexpr std::size_t kHeaderSize = 36;      // no reserved area, no previous or next cabinet
inline constexpr std::size_t kFolderSize = 8;       // one folder record
inline constexpr std::size_t kFileFixedSize = 16;   // a file record before its NUL-terminated name
inline constexpr std::size_t kDataHeaderSize = 8;   // checksum, compressed and uncompressed sizes
inline constexpr std::uint8_t kVersionMinor = 3;
inline constexpr std::uint8_t kVersionMajor = 1;
inline constexpr std::uint16_t kCompressNone = 0;
inline constexpr std::uint16_t kCompressMszip = 1;
inline constexpr std::uint16_t kSetId = 12345;

// Every data block holds at most this many uncompressed bytes; an MSZIP
// block starts with "CK" followed by a complete deflate stream whose
// back-references may reach into the blocks before it.
inline constexpr std::uint32_t kBlockSize = 32768;
inline constexpr std::uint8_t kMszipSignature[2] = {0x43, 0x4B};
// A stored deflate block: one header byte (final, type 0), length, its
// complement, then the bytes as they are.
inline constexpr std::size_t kStoredOverhead = 5;
// The largest MSZIP block the writer makes: "CK" and a stored block of a
// whole 32 KiB.
inline constexpr std::size_t kMaxMszipBlock = 2 + kStoredOverhead + kBlockSize;
// A folder counts its data blocks in 16 bits, which bounds the file it holds.
inline constexpr std::uint64_t kMaxFileSize = std::uint64_t(0xFFFF) * kBlockSize;

// File attributes a cabinet keeps.
inline constexpr std::uint16_t kAttributeReadOnly = 0x01;
inline constexpr std::uint16_t kAttributeHidden = 0x02;
inline constexpr std::uint16_t kAttributeSystem = 0x04;
inline constexpr std::uint16_t kAttributeArchive = 0x20;
inline constexpr std::uint16_t kAttributeMask = 0x27;

// The checksum of a data block: the 32-bit little-endian words of `data`
// XORed into `seed`, the one to three bytes left over packed first byte
// highest. A block's checksum is this over its data, then over its two size
// fields seeded with the first result.
inline std::uint32_t checksum(const std::uint8_t* data, std::size_t size, std::uint32_t seed)
{
    std::uint32_t sum = seed;
    std::size_t words = size / 4;
    for (; words > 0; --words, data += 4)
        sum ^= std::uint32_t(data[0]) | std::uint32_t(data[1]) << 8 | std::uint32_t(data[2]) << 16 |
               std::uint32_t(data[3]) << 24;
    std::uint32_t rest = 0;
    switch (size % 4) {
    case 3:
        rest |= std::uint32_t(*data++) << 16;
        [[fallthrough]];
    case 2:
        rest |= std::uint32_t(*data++) << 8;
        [[fallthrough]];
    case 1:
        rest |= *data;
        break;
    default:
        break;
    }
    return sum ^ rest;
}

// The checksum of a data block whose header (8 bytes) and data lie in one
// buffer.
inline std::uint32_t blockChecksum(const std::uint8_t* block, std::size_t dataSize)
{
    return checksum(block + 4, 4, checksum(block + kDataHeaderSize, dataSize, 0));
}

} // namespace pavonia::cab
