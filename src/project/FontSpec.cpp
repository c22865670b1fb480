#include "project/FontSpec.h"

#include <algorithm>
#include <cstring>

namespace pavonia {

namespace {
void putInt(std::uint8_t* out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t getInt(const std::uint8_t* in)
{
    return std::uint32_t(in[0]) | std::uint32_t(in[1]) << 8 | std::uint32_t(in[2]) << 16 |
           std::uint32_t(in[3]) << 24;
}
} // namespace

std::string FontSpec::faceName() const
{
    const auto end = std::find(face.begin(), face.end(), '\0');
    return std::string(face.begin(), end);
}

void FontSpec::setFaceName(const std::string& name)
{
    face.fill('\0');
    std::memcpy(face.data(), name.data(), std::min(name.size(), kFaceSize - 1));
}

std::array<std::uint8_t, FontSpec::kSize> FontSpec::toBytes() const
{
    std::array<std::uint8_t, kSize> out{};
    std::memcpy(out.data(), face.data(), kFaceSize);
    putInt(out.data() + 32, static_cast<std::uint32_t>(size));
    putInt(out.data() + 36, static_cast<std::uint32_t>(bold));
    putInt(out.data() + 40, static_cast<std::uint32_t>(underline));
    putInt(out.data() + 44, static_cast<std::uint32_t>(italic));
    putInt(out.data() + 48, colour);
    return out;
}

void FontSpec::assignBytes(const std::uint8_t* data, std::size_t count)
{
    std::array<std::uint8_t, kSize> bytes = toBytes();
    std::memcpy(bytes.data(), data, std::min(count, kSize));
    std::memcpy(face.data(), bytes.data(), kFaceSize);
    size = static_cast<std::int32_t>(getInt(bytes.data() + 32));
    bold = static_cast<std::int32_t>(getInt(bytes.data() + 36));
    underline = static_cast<std::int32_t>(getInt(bytes.data() + 40));
    italic = static_cast<std::int32_t>(getInt(bytes.data() + 44));
    colour = getInt(bytes.data() + 48);
}

} // namespace pavonia
