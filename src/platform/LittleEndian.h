#pragma once
// 16- and 32-bit little-endian integers in byte buffers, as every file
// layout of the program stores them, and a reader of such fields.
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

// Reads fields front to back through a byte string, counting what it
// consumes; every read checks what remains first and fails, consuming
// nothing, when too little does.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

    std::size_t consumed() const { return position_; }
    std::size_t remaining() const { return bytes_.size() - position_; }
    const std::uint8_t* here() const { return reinterpret_cast<const std::uint8_t*>(bytes_.data()) + position_; }

    bool u8(std::uint8_t& value) { return take(value, [](const std::uint8_t* in) { return *in; }); }
    bool u16(std::uint16_t& value) { return take(value, getU16); }
    bool u32(std::uint32_t& value) { return take(value, getU32); }
    bool skip(std::uint64_t count)
    {
        if (remaining() < count)
            return false;
        position_ += static_cast<std::size_t>(count);
        return true;
    }
    // The next `count` bytes, or as many as remain.
    std::string_view bytes(std::size_t count)
    {
        const std::string_view out = bytes_.substr(position_, count);
        position_ += out.size();
        return out;
    }

private:
    template <typename T, typename Get>
    bool take(T& value, Get get)
    {
        if (remaining() < sizeof(T))
            return false;
        value = get(here());
        position_ += sizeof(T);
        return true;
    }

    std::string_view bytes_;
    std::size_t position_ = 0;
};

} // namespace pavonia
