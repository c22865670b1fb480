#pragma once
// The 48-byte edit record the voice filter dialog hands to the voice engine's
// EditVoice: which filters are switched on and their settings.
//
// Layout (little-endian):
//   0  16 bytes  leading part: four 32-bit values; "OK" writes 0, 0, 100, 0.
//                The filters do not read it; it is carried so that a record
//                round-trips unchanged.
//  16  12 bytes  zero
//  28  16 bits   effect flags (VoiceEffect bits)
//  30   2 bytes  zero
//  32  32 bits   pitch scale   (0-100)
//  36  32 bits   head size     (0-100)
//  40  32 bits   robot         (0-100)
//  44  32 bits   echo          (0-100)
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace pavonia {

// Effect flag bits, shared by the edit record and the voice templates.
enum VoiceEffect : uint32_t {
    kVoiceEffectPitch = 1u << 0,
    kVoiceEffectHeadSize = 1u << 1,
    kVoiceEffectRobot = 1u << 2,
    kVoiceEffectEcho = 1u << 3,
    kVoiceEffectAll = 0xFu,
};

struct VoiceEditRecord {
    static constexpr std::size_t kSize = 48;

    std::array<int32_t, 4> leading{}; // offsets 0, 4, 8, 12
    uint16_t effects = 0;             // VoiceEffect bits
    int32_t pitchScale = 0;
    int32_t headSize = 0;
    int32_t robot = 0;
    int32_t echo = 0;

    // The record "OK" sends: leading part 0, 0, 100, 0.
    static VoiceEditRecord forOk(uint16_t effects, int32_t pitchScale, int32_t headSize,
                                 int32_t robot, int32_t echo);

    bool has(VoiceEffect e) const { return (effects & e) != 0; }

    std::array<uint8_t, kSize> encode() const;
    // Nothing when fewer than kSize bytes are given.
    static std::optional<VoiceEditRecord> decode(const uint8_t* data, std::size_t size);

    friend bool operator==(const VoiceEditRecord&, const VoiceEditRecord&) = default;
};

} // namespace pavonia
