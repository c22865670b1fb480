#include "voice/VoiceEditRecord.h"

#include "platform/LittleEndian.h"

namespace pavonia {

namespace {
constexpr std::size_t kEffectsOffset = 28;
constexpr std::size_t kPitchOffset = 32;
constexpr std::size_t kHeadSizeOffset = 36;
constexpr std::size_t kRobotOffset = 40;
constexpr std::size_t kEchoOffset = 44;
} // namespace

VoiceEditRecord VoiceEditRecord::forOk(uint16_t effects, int32_t pitchScale, int32_t headSize,
                                       int32_t robot, int32_t echo)
{
    VoiceEditRecord r;
    r.leading = {0, 0, 100, 0};
    r.effects = effects;
    r.pitchScale = pitchScale;
    r.headSize = headSize;
    r.robot = robot;
    r.echo = echo;
    return r;
}

std::array<uint8_t, VoiceEditRecord::kSize> VoiceEditRecord::encode() const
{
    std::array<uint8_t, kSize> out{};
    for (std::size_t i = 0; i < leading.size(); ++i)
        putU32(out.data() + 4 * i, uint32_t(leading[i]));
    putU16(out.data() + kEffectsOffset, effects);
    putU32(out.data() + kPitchOffset, uint32_t(pitchScale));
    putU32(out.data() + kHeadSizeOffset, uint32_t(headSize));
    putU32(out.data() + kRobotOffset, uint32_t(robot));
    putU32(out.data() + kEchoOffset, uint32_t(echo));
    return out;
}

std::optional<VoiceEditRecord> VoiceEditRecord::decode(const uint8_t* data, std::size_t size)
{
    if (data == nullptr || size < kSize)
        return std::nullopt;
    VoiceEditRecord r;
    for (std::size_t i = 0; i < r.leading.size(); ++i)
        r.leading[i] = int32_t(getU32(data + 4 * i));
    r.effects = getU16(data + kEffectsOffset);
    r.pitchScale = int32_t(getU32(data + kPitchOffset));
    r.headSize = int32_t(getU32(data + kHeadSizeOffset));
    r.robot = int32_t(getU32(data + kRobotOffset));
    r.echo = int32_t(getU32(data + kEchoOffset));
    return r;
}

} // namespace pavonia
