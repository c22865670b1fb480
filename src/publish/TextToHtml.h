#pragma once
// Turning the user's texts (heading, sub-topic, description) into text that
// can sit both in the page and inside a double-quoted script string, and
// wrapping a text in a font element when the project overrides the template's
// text style. Every algorithm here works byte by byte; the bytes of a
// multi-byte UTF-8 character are plain bytes.
#include "project/FontSpec.h"

#include <map>
#include <string>
#include <string_view>

namespace pavonia {

// Single characters and what they become in the page.
using EntityTable = std::map<char, std::string>;

// "<" "&lt;", ">" "&gt;", "&" "&amp;", '"' "&quot;".
EntityTable makeEntityTable();

// Replaces every byte found in `table` by its replacement; replacements are
// never examined again.
std::string EscapeEntities(std::string_view text, const EntityTable& table);

// Plain parts are escaped for the page and for the script string, their
// line breaks ("\r\n", "\n" or "\r") becoming "<br> \ "; the user's own tags ("<" to the next
// ">") keep working and are only escaped for the script string. The result
// never holds an unescaped double quote, a single backslash or a raw line
// end, so it is always one valid double-quoted script string. An empty text
// gives an empty result.
std::string TextToHtml(std::string_view text, const EntityTable& table);

// Screen resolution used when no screen is known.
inline constexpr int kDefaultDotsPerInch = 96;

// `text` inside a font element carrying the face, the size in pixels (points
// times `verticalDotsPerInch` / 72), style, weight, decoration and colour.
std::string FontSpan(std::string_view text, const FontSpec& font,
                     int verticalDotsPerInch = kDefaultDotsPerInch);

} // namespace pavonia
