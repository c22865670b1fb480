#include "project/FontSpec.h"

#include "platform/LittleEndian.h"

#include <algorithm>
#include <cstring>

namespace pavonia {

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
    putU32(out.data() + 32, static_cast<std::uint32_t>(size));
    putU32(out.data() + 36, static_cast<std::uint32_t>(bold));
    putU32(out.data() + 40, static_cast<std::uint32_t>(underline));
    putU32(out.data() + 44, static_cast<std::uint32_t>(italic));
    putU32(out.data() + 48, colour);
    return out;
}

void FontSpec::assignBytes(const std::uint8_t* data, std::size_t count)
{
    std::array<std::uint8_t, kSize> bytes = toBytes();
    std::memcpy(bytes.data(), data, std::min(count, kSize));
    std::memcpy(face.data(), bytes.data(), kFaceSize);
    size = static_cast<std::int32_t>(getU32(bytes.data() + 32));
    bold = static_cast<std::int32_t>(getU32(bytes.data() + 36));
    underline = static_cast<std::int32_t>(getU32(bytes.data() + 40));
    italic = static_cast<std::int32_t>(getU32(bytes.data() + 44));
    colour = getU32(bytes.data() + 48);
}

} // namespace pavonia
