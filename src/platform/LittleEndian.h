#pragma once
// 16- and 32-bit little-endian integers in byte buffers, as every file
// layout of the program stores them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pavonia {

inline void putU16(std::uint8_t* out, std::uint16_t value)
{
    out[0] = static_cast<std::uint8_t>(value);
    out[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void appendU16(std::string& out, std::uint16_t value)
{
    out += static_cast<char>(value);
    out += static_cast<char>(value >> 8);
}

inline std::uint16_t getU16(const std::uint8_t* in) { return static_cast<std::uint16_t>(in[0] | in[1] << 8); }

inline void putU32(std::uint8_t* out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline void appendU32(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>(value >> (8 * i));
}

inline std::uint32_t getU32(const std::uint8_t* in)
{
    return std::uint32_t(in[0]) | std::uint32_t(in[1]) << 8 | std::uint32_t(in[2]) << 16 |
           std::uint32_t(in[3]) << 24;
}

// Values inside a byte string; `at` plus the value's size must lie within `s`.
inline std::uint16_t u16At(std::string_view s, std::size_t at)
{
    return getU16(reinterpret_cast<const std::uint8_t*>(s.data() + at));
}

inline std::uint32_t u32At(std::string_view s, std::size_t at)
{
    return getU32(reinterpret_cast<const std::uint8_t*>(s.data() + at));
}

} // namespace pavonia
