#include "publish/PageFiller.h"

#include "platform/StringTable.h"
#include "platform/Text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cctype>
#include <cstdio>

namespace pavonia {

namespace {

constexpr std::string_view kEndMarker = "<!-- END -->";
constexpr std::string_view kBackgroundClassMarker = "defBG";
constexpr std::string_view kMediaLayerCall = "InitMediaLayer";
// Room reserved at once for a page; a larger one grows as it is filled.
constexpr std::uint64_t kMaxReservedPage = 64u << 20;

bool isBlank(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The second "defBG" of the template, or npos when there are fewer than two.
std::size_t secondClassMarker(std::string_view text)
{
    const std::size_t first = text.find(kBackgroundClassMarker);
    if (first == std::string_view::npos)
        return std::string_view::npos;
    return text.find(kBackgroundClassMarker, first + kBackgroundClassMarker.size());
}

} // namespace

std::string scriptStringText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\'': out += "\\'"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '/':
            // "</" would let "</script>" end the page's script early.
            out += i > 0 && text[i - 1] == '<' ? "\\/" : "/";
            break;
        default: out += c;
        }
    }
    return out;
}

std::string cssStringText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\'': out += "\\'"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\a "; break;
        case '\r': out += "\\d "; break;
        case '<': out += "\\3c "; break;
        default: out += c;
        }
    }
    return out;
}

std::string fillPattern(std::string_view pattern, const std::vector<std::string>& args)
{
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%' || i + 1 >= pattern.size()) {
            out += pattern[i];
            continue;
        }
        if (pattern[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        // Flags, width and precision up to the conversion letter.
        std::size_t end = i + 1;
        while (end < pattern.size() && (std::isdigit(static_cast<unsigned char>(pattern[end])) ||
                                        pattern[end] == '.' || pattern[end] == '-'))
            ++end;
        if (end < pattern.size() && std::isalpha(static_cast<unsigned char>(pattern[end]))) {
            if (next < args.size())
                out += args[next++];
            i = end;
            continue;
        }
        out += pattern[i];
    }
    return out;
}

std::string colourHex(unsigned colour)
{
    std::array<char, 8> text{};
    std::snprintf(text.data(), text.size(), "#%.2x%.2x%.2x", colour & 0xffu, (colour >> 8) & 0xffu,
                  (colour >> 16) & 0xffu);
    return text.data();
}

namespace {

// Hands `take` the pieces of the filled page in order: runs of template text
// and the values that take the markers' places.
template <typename Take>
void fillPieces(std::string_view templateText, const PageValues& values, Take&& take)
{
    std::string_view text = templateText;
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    if (const std::size_t end = text.find(kEndMarker); end != std::string_view::npos)
        text = text.substr(0, end);

    const std::size_t classAt =
        values.backgroundClass.empty() ? std::string_view::npos : secondClassMarker(text);
    const std::string startSlide = std::to_string(values.startSlide);
    const std::string autoPlay = std::to_string(values.autoPlay);
    const std::string autoLoop = std::to_string(values.autoLoop);
    const std::string autoJump = std::to_string(values.autoJump);
    const std::array<std::pair<std::string_view, std::string_view>, 8> markers{{
        {"%SBG", values.backgroundRule},
        {"%SP", startSlide},
        {"%INIT", values.pageInfo},
        {"%AP", autoPlay},
        {"%AL", autoLoop},
        {"%AJ", autoJump},
        {"%MT", values.heading},
        {"%IP_", values.filePrefix},
    }};

    std::size_t run = 0; // where the template text not yet handed over starts
    std::size_t i = 0;
    const auto replace = [&](std::size_t length, std::string_view value) {
        take(text.substr(run, i - run));
        take(value);
        i += length;
        run = i;
    };
    while (i < text.size()) {
        if (i == classAt) {
            replace(kBackgroundClassMarker.size(), values.backgroundClass);
            continue;
        }
        bool replaced = false;
        if (text[i] == '%') {
            for (const auto& [marker, value] : markers) {
                if (text.substr(i, marker.size()) == marker) {
                    replace(marker.size(), value);
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            ++i;
    }
    take(text.substr(run));
    take("\n");
}

} // namespace

std::string fillPage(std::string_view templateText, const PageValues& values)
{
    std::string page;
    page.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(filledPageSize(templateText, values),
                                                                  kMaxReservedPage)));
    fillPieces(templateText, values, [&](std::string_view piece) { page += piece; });
    return page;
}

std::uint64_t filledPageSize(std::string_view templateText, const PageValues& values)
{
    std::uint64_t size = 0;
    fillPieces(templateText, values, [&](std::string_view piece) { size += piece.size(); });
    return size;
}

std::uint64_t pageSizeLimit(std::string_view templateText, const PageValues& values)
{
    const std::uint64_t content = values.backgroundRule.size() + values.backgroundClass.size() +
                                  values.pageInfo.size() + values.heading.size() + values.filePrefix.size() + 64;
    return templateText.size() + kMarkerUsesAllowed * content + kPageSizeSlack;
}

MediaArea readMediaArea(std::string_view templateText)
{
    const std::size_t call = templateText.find(kMediaLayerCall);
    if (call == std::string_view::npos || call == 0)
        return {};
    const std::size_t argsStart = call + kMediaLayerCall.size();
    const std::size_t semicolon = templateText.find(';', argsStart);
    if (semicolon == std::string_view::npos)
        return {};
    std::string args(templateText.substr(argsStart, semicolon - argsStart));
    if (const std::size_t close = args.rfind(')'); close != std::string::npos)
        args.erase(close, 1);
    if (const std::size_t open = args.rfind('('); open != std::string::npos)
        args.erase(open, 1);
    std::vector<std::string_view> pieces;
    std::string_view rest = args;
    for (std::size_t comma; (comma = rest.find(',')) != std::string_view::npos;) {
        pieces.push_back(rest.substr(0, comma));
        rest.remove_prefix(comma + 1);
    }
    pieces.push_back(rest);
    if (pieces.size() != 4)
        return {};
    return {static_cast<int>(parseLeadingInteger(trimmed(pieces[2]))),
            static_cast<int>(parseLeadingInteger(trimmed(pieces[3])))};
}

namespace {

// A text inside a script string of the page's inline script: a closing
// script tag or a comment opening typed by the user would end or confuse the
// script element itself, so their "/" and "!" are written as the script
// escapes "\/" and "\!", which give the same string.
std::string inScriptString(std::string text)
{
    for (std::size_t at = 0; (at = text.find('<', at)) != std::string::npos; ++at) {
        const std::string_view rest = std::string_view(text).substr(at + 1);
        if (rest.substr(0, 3) == "!--" || (rest.size() >= 7 && rest[0] == '/' && equalsIgnoreCase(rest.substr(1, 6), "script")))
            text.insert(at + 1, 1, '\\');
    }
    return text;
}

} // namespace

std::string pageInfoLine(const std::string& talkingImage, const std::string& talkingMessage,
                         const std::string& media, float delay, int transition, const std::string& subTopic,
                         const std::string& description)
{
    return fillPattern(StringTable::text(str::PageInfoLine),
                       {inScriptString(scriptStringText(talkingImage)),
                        inScriptString(scriptStringText(talkingMessage)), inScriptString(scriptStringText(media)),
                        formatFixed2(static_cast<double>(delay)), std::to_string(transition),
                        inScriptString(subTopic), inScriptString(description)});
}

std::string colourBackgroundRule(unsigned colour)
{
    const std::string hex = colourHex(colour).substr(1);
    const std::string declaration = fillPattern(
        StringTable::text(str::BackgroundColourRule), {hex.substr(0, 2), hex.substr(2, 2), hex.substr(4, 2)});
    return fillPattern(StringTable::text(str::BackgroundRule), {declaration});
}

std::string pictureBackgroundRule(const std::string& pictureName, bool tile)
{
    const std::string declaration = fillPattern(StringTable::text(str::BackgroundPictureRule),
                                                {cssStringText(pictureName), tile ? "repeat" : "no-repeat"});
    return fillPattern(StringTable::text(str::BackgroundRule), {declaration});
}

} // namespace pavonia
