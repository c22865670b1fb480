#pragma once
// The project's three text styles (heading, sub-topic, description) read back
// from the style sheet of the page template, so that a user who overrides a
// style starts from what the template shows.
#include "platform/Ui.h"
#include "project/FontSpec.h"
#include "project/Records.h"

#include <cstdint>
#include <string_view>

namespace pavonia {

class TemplateLibrary;

// The fonts of the template classes ".maintopic", ".subtopic" and
// ".description" of the project's page template. A class the template does
// not define leaves its font as it was. False, after a message, when the
// resolution key does not split or the page template is missing or
// unreadable; the fonts are then unchanged.
bool ReadTemplateFonts(const TemplateLibrary& library, const ProjectSettings& project,
                       FontSpec& heading, FontSpec& subTopic, FontSpec& description, Ui& ui);

// Updates `font` from a style block such as "{ font-family: Verdana; ... }":
// font-family, font-size, font-style, text-decoration, font-weight and color.
// A property the block does not name leaves its field unchanged. Properties
// are found by name alone, so "color" inside "background-color" counts when
// it comes first.
void ParseCssFont(std::string_view block, FontSpec& font);

// A style-sheet colour ("#336699", "0", ...) as 0x00BBGGRR. Names such as
// "red" give black.
std::uint32_t ParseCssColour(std::string_view text);

} // namespace pavonia
