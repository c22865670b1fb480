#include "project/ProjectSettingsFields.h"

#include "project/ProjectFileFormat.h"

#include <algorithm>

namespace pavonia {

namespace {

using Kind = ProjectSettingsField::Kind;
using S = ProjectSettings;

const std::array<ProjectSettingsField, 18> kFields{{
    {"backgroundMode", pvp::BackgroundMode, 11, Kind::Number, &S::backgroundMode, 0},
    {"styleNumber", pvp::StyleNumber, 14, Kind::Number, &S::styleNumber, 1},
    {"layoutNumber", pvp::LayoutNumber, 15, Kind::Number, &S::layoutNumber, 0},
    {"backgroundColour", pvp::BackgroundColour, 12, Kind::Colour, &S::backgroundColour, 0},
    {"backgroundImagePath", pvp::BackgroundImage, 13, Kind::File, &S::backgroundImagePath, 0},
    {"backgroundTile", pvp::BackgroundTile, 7, Kind::Number, &S::backgroundTile, 0},
    {"headingFontSet", pvp::HeadingFontSet, 1, Kind::Number, &S::headingFontSet, 0},
    {"subTopicFontSet", pvp::SubTopicFontSet, 3, Kind::Number, &S::subTopicFontSet, 0},
    {"descriptionFontSet", pvp::DescriptionFontSet, 5, Kind::Number, &S::descriptionFontSet, 0},
    {"autoPlay", pvp::AutoPlay, 8, Kind::Number, &S::autoPlay, 0},
    {"autoLoop", pvp::AutoLoop, 9, Kind::Number, &S::autoLoop, 0},
    {"autoJump", pvp::AutoJump, 10, Kind::Number, &S::autoJump, 0},
    {"headingFont", pvp::HeadingFont, 2, Kind::Font, &S::headingFont, 0},
    {"subTopicFont", pvp::SubTopicFont, 4, Kind::Font, &S::subTopicFont, 0},
    {"descriptionFont", pvp::DescriptionFont, 6, Kind::Font, &S::descriptionFont, 0},
    {"headingText", pvp::HeadingText, 0, Kind::Text, &S::headingText, 0},
    {"opaqueText", pvp::OpaqueText, 16, Kind::Text, &S::opaqueText, 0},
    {"resolutionKey", pvp::ResolutionKey, 17, Kind::ResolutionKey, &S::resolutionKey, 0},
}};

std::array<const ProjectSettingsField*, 18> recordOrder()
{
    std::array<const ProjectSettingsField*, 18> order{};
    for (const ProjectSettingsField& field : kFields)
        order[static_cast<std::size_t>(field.recordIndex)] = &field;
    return order;
}

} // namespace

static_assert(std::tuple_size_v<decltype(kFields)> == pvp::kProjectRecords);

const std::array<ProjectSettingsField, 18>& projectSettingsFields() { return kFields; }

const std::array<const ProjectSettingsField*, 18>& projectSettingsRecords()
{
    static const std::array<const ProjectSettingsField*, 18> order = recordOrder();
    return order;
}

const ProjectSettingsField* projectSettingsField(std::uint32_t tag)
{
    const auto it = std::find_if(kFields.begin(), kFields.end(), [tag](const auto& f) { return f.tag == tag; });
    return it == kFields.end() ? nullptr : &*it;
}

} // namespace pavonia
