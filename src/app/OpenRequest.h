#pragma once
// The open-file request one instance of the program sends another: the
// 16-byte application identifier followed by a zero-terminated file path,
// 276 bytes in all. A path of more than 259 bytes makes the request longer
// (identifier, path, terminator) rather than cutting it: a cut path would
// open some other file.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pavonia {

// {363B3CD8-1735-4876-BB26-95A93F47DFE7} in its little-endian storage form.
inline constexpr std::array<std::uint8_t, 16> kApplicationIdentifier = {
    0xd8, 0x3c, 0x3b, 0x36, 0x35, 0x17, 0x76, 0x48, 0xbb, 0x26, 0x95, 0xa9, 0x3f, 0x47, 0xdf, 0xe7};

inline constexpr std::size_t kOpenRequestSize = 276;
// The numeric tag an open-file request carries.
inline constexpr std::uint32_t kOpenRequestTag = 0;

// The request's data bytes for `path` (an empty path asks only to bring the
// window to the front).
std::vector<std::uint8_t> encodeOpenRequest(const std::string& path);
// The path a request carries, or nothing when it is not to be honoured: a
// tag other than 0, fewer than 16 bytes, or another identifier. The path
// ends at the first zero byte (or the end of the data).
std::optional<std::string> decodeOpenRequest(std::uint32_t tag, const std::vector<std::uint8_t>& data);

} // namespace pavonia
