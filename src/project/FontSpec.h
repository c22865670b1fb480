#pragma once
// A text style as stored in the project file: exactly 52 bytes, little-endian,
// copied byte for byte.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace pavonia {

struct FontSpec {
    static constexpr std::size_t kSize = 52;
    static constexpr std::size_t kFaceSize = 32;

    std::array<char, kFaceSize> face{}; // NUL-terminated, NUL-padded
    std::int32_t size = 12;             // points
    std::int32_t bold = 0;
    std::int32_t underline = 0;
    std::int32_t italic = 0;
    std::uint32_t colour = 0; // 0x00BBGGRR

    // The face name up to its first NUL.
    std::string faceName() const;
    // Sets the face, cut to 31 bytes so that a terminator always fits.
    void setFaceName(const std::string& name);

    std::array<std::uint8_t, kSize> toBytes() const;
    // Overwrites the fields with the first `count` bytes of a stored record;
    // a shorter record changes only what it covers.
    void assignBytes(const std::uint8_t* data, std::size_t count);

    bool operator==(const FontSpec&) const = default;
};

} // namespace pavonia
