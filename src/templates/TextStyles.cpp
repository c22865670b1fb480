#include "templates/TextStyles.h"

#include "platform/FileOps.h"
#include "platform/StringTable.h"
#include "platform/Text.h"
#include "templates/CaseBlindPath.h"
#include "templates/TemplateLibrary.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>

namespace pavonia {

namespace {

// The value of the first occurrence of `property` in `block`: the text after
// the next ":" up to the next ";", trimmed and without one pair of double
// quotes. Nothing when the name does not occur; empty when no ";" follows.
std::optional<std::string> propertyValue(std::string_view block, std::string_view property)
{
    const std::size_t name = block.find(property);
    if (name == std::string_view::npos)
        return std::nullopt;
    const std::size_t colon = block.find(':', name + property.size());
    if (colon == std::string_view::npos)
        return std::string();
    const std::size_t semicolon = block.find(';', colon + 1);
    if (semicolon == std::string_view::npos)
        return std::string();
    std::string value = trimmed(block.substr(colon + 1, semicolon - colon - 1));
    if (!value.empty() && value.front() == '"')
        value.erase(0, 1);
    if (!value.empty() && value.back() == '"')
        value.pop_back();
    return value;
}

// The style block "{...}" of the first occurrence of `className`; empty when
// the class or its braces are missing.
std::string_view classBlock(std::string_view text, std::string_view className)
{
    const std::size_t name = text.find(className);
    if (name == std::string_view::npos)
        return {};
    const std::size_t open = text.find('{', name + className.size());
    if (open == std::string_view::npos)
        return {};
    const std::size_t close = text.find('}', open);
    if (close == std::string_view::npos)
        return {};
    return text.substr(open, close - open + 1);
}

} // namespace

bool ReadTemplateFonts(const TemplateLibrary& library, const ProjectSettings& project, FontSpec& heading,
                       FontSpec& subTopic, FontSpec& description, Ui& ui)
{
    const std::optional<ResolutionKey> key = ResolutionKey::parse(project.resolutionKey);
    if (!key) {
        showMessage(ui, StringTable::text(str::ResolutionErrorFontSettings));
        return false;
    }
    const std::optional<TemplatePaths> paths = library.ResolveTemplatePaths(project);
    // A size part that names no single folder finds no template either; the
    // message then names the page as the key would have it.
    const std::string path = paths ? paths->pageTemplate
                                   : library.styleFolder(project.styleNumber, key->special()) + "L" +
                                         std::to_string(project.layoutNumber) + "/" + key->size + "/Template.htm";
    if (!paths || !isFile(path)) {
        showMessage(ui, StringTable::format(str::TemplateHtmlNotFound, {path}));
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        const int error = errno;
        showMessage(ui, StringTable::format(str::OpenTemplateHtmlError, {path, systemErrorText(error)}));
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        const int error = errno;
        showMessage(ui, StringTable::format(str::OpenTemplateHtmlError, {path, systemErrorText(error)}));
        return false;
    }
    std::string text = content.str();
    const std::size_t end = text.find_last_not_of(" \t\r\n\v\f");
    text.resize(end == std::string::npos ? 0 : end + 1);
    text = toLowerAscii(text);

    // A template without one of the classes keeps that font as it was.
    ParseCssFont(classBlock(text, ".maintopic"), heading);
    ParseCssFont(classBlock(text, ".subtopic"), subTopic);
    ParseCssFont(classBlock(text, ".description"), description);
    return true;
}

void ParseCssFont(std::string_view block, FontSpec& font)
{
    const std::string text = toLowerAscii(block);
    if (const auto value = propertyValue(text, "font-family"))
        font.setFaceName(*value);
    if (auto value = propertyValue(text, "font-size")) {
        if (const std::size_t px = value->find("px"); px != std::string::npos)
            value->resize(px);
        font.size = parseClampedInt(*value);
    }
    if (const auto value = propertyValue(text, "font-style"))
        font.italic = *value != "normal" ? 1 : 0;
    if (const auto value = propertyValue(text, "text-decoration"))
        font.underline = *value != "none" ? 1 : 0;
    if (const auto value = propertyValue(text, "font-weight"))
        font.bold = *value != "normal" ? 1 : 0;
    if (const auto value = propertyValue(text, "color"))
        font.colour = ParseCssColour(*value);
}

std::uint32_t ParseCssColour(std::string_view text)
{
    std::uint32_t base = 10;
    std::uint32_t number = 0; // wraps on overflow instead of being undefined
    std::uint32_t sign = 1;
    for (const char c : text) {
        std::uint32_t digit = 0;
        if (c == '#') {
            base = 16;
            continue;
        }
        if (c >= '0' && c <= '9')
            digit = static_cast<std::uint32_t>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<std::uint32_t>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<std::uint32_t>(c - 'A' + 10);
        else if (c == '-') {
            sign = static_cast<std::uint32_t>(-1);
            continue;
        } else if (c == '+') {
            sign = 1;
            continue;
        } else {
            break;
        }
        number = number * base + digit;
    }
    const std::uint32_t rgb = number * sign;
    const std::uint32_t red = (rgb >> 16) & 0xFF;
    const std::uint32_t green = (rgb >> 8) & 0xFF;
    const std::uint32_t blue = rgb & 0xFF;
    return red | (green << 8) | (blue << 16);
}

} // namespace pavonia
