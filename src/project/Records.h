#pragma once
// The records of a project: the project-wide settings, and the data of each
// session and slide of the tree.
#include "project/FileRefTable.h"
#include "project/FontSpec.h"

#include <cstdint>
#include <string>

namespace pavonia {

inline constexpr const char* kRootMarker = "_STYLE_";
inline constexpr const char* kSessionMarker = "_SLIDE_";
inline constexpr const char* kSlideMarker = "_MEDIA_";

struct SessionData {
    std::string marker = kSessionMarker;
    std::string talkingImagePath;   // .tjm working copy
    std::string talkingMessagePath; // .tps working copy
    std::int32_t modified = 0;
    std::int32_t engineLoadFlag = 1;
};

struct SlideData {
    // The delay field takes 0 to 300 seconds.
    static constexpr double kMaximumDelay = 300;
    // `seconds` brought into the delay field's range; a value that is not a
    // number becomes 0.
    static float clampedDelay(double seconds)
    {
        if (!(seconds > 0))
            return 0.0f;
        return static_cast<float>(seconds < kMaximumDelay ? seconds : kMaximumDelay);
    }

    std::string marker = kSlideMarker;
    std::string subTopic;
    std::string description;
    std::string mediaPath;       // working copy, empty when none
    std::string mediaSourcePath; // where the media came from; not saved
    float delay = 3.0f;          // seconds
    std::int32_t transition = 17;
    std::int32_t hasContent = 0;
};

struct ProjectSettings {
    FileRefTable fileRefs;
    std::int32_t headerTag = 0;
    std::int32_t headerLength = 0;
    std::int32_t headerRecordCount = 0;
    std::int32_t backgroundMode = 0; // 0 none, 1 colour, 2 image
    std::int32_t styleNumber = 0;
    std::int32_t layoutNumber = 0;
    std::uint32_t backgroundColour = 0; // 0x00BBGGRR
    std::string backgroundImagePath;
    std::int32_t backgroundTile = 1;
    std::int32_t headingFontSet = 0;
    std::int32_t subTopicFontSet = 0;
    std::int32_t descriptionFontSet = 0;
    std::int32_t autoPlay = 0;
    std::int32_t autoLoop = 0;
    std::int32_t autoJump = 0;
    FontSpec headingFont;
    FontSpec subTopicFont;
    FontSpec descriptionFont;
    std::string headingText;
    std::string opaqueText;
    std::string resolutionKey = "0_800";

    // Back to the defaults of a new project (the file references too).
    void reset() { *this = ProjectSettings(); }
};

} // namespace pavonia
