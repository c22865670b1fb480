#pragma once
// The byte layout of a project file: a 12-byte header (magic " API", total
// length, record count), tagged records (tag, signed length, payload), then
// the pack stream. Integers are 32-bit little-endian; every tag is a space
// and three capital letters, read as a little-endian integer.
#include <cstdint>
#include <string>

namespace pavonia::pvp {

constexpr std::uint32_t tag(const char (&text)[5])
{
    return std::uint32_t(std::uint8_t(text[0])) | std::uint32_t(std::uint8_t(text[1])) << 8 |
           std::uint32_t(std::uint8_t(text[2])) << 16 | std::uint32_t(std::uint8_t(text[3])) << 24;
}

inline constexpr std::uint32_t kMagic = tag(" API"); // 0x49504120
inline constexpr int kHeaderSize = 12;
inline constexpr int kProjectRecords = 18;

// Project records, in the order they are written.
inline constexpr std::uint32_t HeadingText = tag(" ITM");
inline constexpr std::uint32_t HeadingFontSet = tag(" FMB");
inline constexpr std::uint32_t HeadingFont = tag(" FTM");
inline constexpr std::uint32_t SubTopicFontSet = tag(" FSB");
inline constexpr std::uint32_t SubTopicFont = tag(" FTS");
inline constexpr std::uint32_t DescriptionFontSet = tag(" FDB");
inline constexpr std::uint32_t DescriptionFont = tag(" IFD");
inline constexpr std::uint32_t BackgroundTile = tag(" TGB");
inline constexpr std::uint32_t AutoPlay = tag(" PAB");
inline constexpr std::uint32_t AutoLoop = tag(" LAB");
inline constexpr std::uint32_t AutoJump = tag(" JAB");
inline constexpr std::uint32_t BackgroundMode = tag(" ITB");
inline constexpr std::uint32_t BackgroundColour = tag(" ICB");
inline constexpr std::uint32_t BackgroundImage = tag(" IFB");
inline constexpr std::uint32_t StyleNumber = tag(" IYS");
inline constexpr std::uint32_t LayoutNumber = tag(" ITL");
inline constexpr std::uint32_t OpaqueText = tag(" ISL");
inline constexpr std::uint32_t ResolutionKey = tag(" ISR");
// Session records.
inline constexpr std::uint32_t SessionMarker = tag(" ISS");
inline constexpr std::uint32_t TalkingImage = tag(" MJT");
inline constexpr std::uint32_t TalkingMessage = tag(" SPT");
// Slide records.
inline constexpr std::uint32_t SlideMarker = tag(" ISM");
inline constexpr std::uint32_t Delay = tag(" IYD");
inline constexpr std::uint32_t Transition = tag(" IST");
inline constexpr std::uint32_t SubTopic = tag(" ITS");
inline constexpr std::uint32_t Description = tag(" ISD");
inline constexpr std::uint32_t Media = tag(" IFM");

} // namespace pavonia::pvp
