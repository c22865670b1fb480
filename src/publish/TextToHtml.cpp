#include "publish/TextToHtml.h"

#include "platform/StringTable.h"
#include "publish/PageFiller.h"

#include <cstdint>

namespace pavonia {

namespace {

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to)
{
    std::string out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(from, start);
        if (at == std::string_view::npos)
            break;
        out.append(text.substr(start, at - start));
        out.append(to);
        start = at + from.size();
    }
    out.append(text.substr(start));
    return out;
}

// A raw line feed or carriage return would end the script string early;
// the script escapes give the page the same character.
std::string escapeLineEnds(std::string_view text)
{
    return replaceAll(replaceAll(text, "\r", "\\r"), "\n", "\\n");
}

// A plain part: escaped for the page, then for the double-quoted script
// string; a line break typed by the user becomes a page break. Texts typed on
// this platform end their lines with a lone line feed, texts from older
// project files with "\r\n": both are line breaks, and so is a lone "\r".
std::string convertPlain(std::string_view plain, const EntityTable& table)
{
    std::string text = EscapeEntities(plain, table);
    // Backslashes first, so that the ones escaping quotes stay single (with
    // the standard table no quote is left by now anyway).
    text = replaceAll(text, "\\", "\\\\");
    text = replaceAll(text, "\"", "\\\"");
    text = replaceAll(text, "\r\n", "\n");
    text = replaceAll(text, "\r", "\n");
    return replaceAll(text, "\n", "<br> \\ ");
}

// A tag goes into the script string unchanged in meaning: backslashes are
// doubled and quotes escaped, so the page receives the tag as typed.
std::string convertTag(std::string_view inner)
{
    return escapeLineEnds(replaceAll(replaceAll(inner, "\\", "\\\\"), "\"", "\\\""));
}

} // namespace

EntityTable makeEntityTable()
{
    return {{'<', "&lt;"}, {'>', "&gt;"}, {'&', "&amp;"}, {'"', "&quot;"}};
}

std::string EscapeEntities(std::string_view text, const EntityTable& table)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto it = table.find(c);
        if (it == table.end())
            out += c;
        else
            out += it->second;
    }
    return out;
}

std::string TextToHtml(std::string_view input, const EntityTable& table)
{
    // One pass over the input: each plain part and each tag is converted and
    // appended in turn, so the work grows with the text, however many tags.
    std::string out;
    out.reserve(input.size() + input.size() / 8);
    std::size_t pos = 0; // where the plain part after the previous tag starts
    while (pos < input.size()) {
        std::size_t lt = input.find('<', pos);
        const std::size_t gt = lt == std::string_view::npos ? std::string_view::npos : input.find('>', lt + 1);
        if (gt == std::string_view::npos) {
            out += convertPlain(input.substr(pos), table);
            break;
        }
        // A stray "<" before a real tag belongs to the plain text: the tag
        // starts at the last "<" before the ">".
        if (const std::size_t nested = input.substr(lt + 1, gt - lt - 1).rfind('<');
            nested != std::string_view::npos)
            lt += nested + 1;
        if (lt > pos)
            out += convertPlain(input.substr(pos, lt - pos), table);
        out += '<';
        out += convertTag(input.substr(lt + 1, gt - lt - 1));
        out += '>';
        pos = gt + 1;
    }
    return out;
}

std::string FontSpan(std::string_view text, const FontSpec& font, int verticalDotsPerInch)
{
    const std::int64_t pixels = static_cast<std::int64_t>(font.size) * verticalDotsPerInch / 72;
    return StringTable::format(str::FontSpanFormat,
                               {font.faceName(), std::to_string(pixels), font.italic ? "italic" : "normal",
                                font.bold ? "bold" : "normal", font.underline ? "underline" : "none",
                                colourHex(font.colour), text});
}

} // namespace pavonia
