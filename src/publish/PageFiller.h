#pragma once
// Filling a page template: the markers a template carries and what the
// project puts in their place, the script call of each slide, the background
// rule, and the media area the template declares. Pure text work, no files.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pavonia {

// Fills each "%" conversion of `pattern` ("%s", "%d", "%.2f", "%.2x" and the
// like, up to the conversion letter) with the next of `args`, which the caller
// has already formatted; "%%" becomes "%". Missing arguments fill nothing.
std::string fillPattern(std::string_view pattern, const std::vector<std::string>& args);

// A colour 0x00BBGGRR as "#rrggbb" in lower-case hexadecimal.
std::string colourHex(unsigned colour);

// What takes the place of each marker of a page template.
struct PageValues {
    std::string backgroundRule;  // "%SBG"
    std::string backgroundClass; // replaces the second "defBG" when not empty
    int startSlide = 0;          // "%SP"
    std::string pageInfo;        // "%INIT"
    int autoPlay = 0;            // "%AP"
    int autoLoop = 0;            // "%AL"
    int autoJump = 0;            // "%AJ"
    std::string heading;         // "%MT"
    std::string filePrefix;      // "%IP_": the prefix and "\", or empty
};

// The filled page. The template ends before its first "<!-- END -->" (the
// whole text when there is none, trailing white space dropped) and the page
// then ends with one "\n". Markers are looked for in the template only: a
// value put in (a description holding "%AP" or "<!-- END -->") is never
// looked at again, so the user's text reaches the page as typed.
std::string fillPage(std::string_view templateText, const PageValues& values);

// The size in bytes of the page fillPage would make, found without making it.
std::uint64_t filledPageSize(std::string_view templateText, const PageValues& values);

// The largest page a template may be filled to. A page holds each value
// where the template has its marker, so a template that names a marker many
// thousand times (a hostile one, or a damaged one) would grow a page many
// times the size of the project; the limit allows the template itself, each
// value as often as kMarkerUsesAllowed times, and kPageSizeSlack bytes more.
inline constexpr std::uint64_t kMarkerUsesAllowed = 64;
inline constexpr std::uint64_t kPageSizeSlack = 1u << 20;
std::uint64_t pageSizeLimit(std::string_view templateText, const PageValues& values);

// The media area of a template: the last two of the four arguments of its
// "InitMediaLayer(left, top, width, height)" call; 0 by 0 when the call is
// missing or does not have four arguments.
struct MediaArea {
    int width = 0;
    int height = 0;
};
MediaArea readMediaArea(std::string_view templateText);

// `text` as it may stand inside a quoted string of the page's inline script:
// backslashes, quotes and line breaks escaped, and "</" written "<\/".
std::string scriptStringText(std::string_view text);
// `text` as it may stand inside a quoted string of the page's style rules.
std::string cssStringText(std::string_view text);

// One slide's "AppendPageInfo(...)" script call. The names are in their page
// form (prefixed, "?" for empty) and are escaped here as script strings; the
// texts are already converted.
std::string pageInfoLine(const std::string& talkingImage, const std::string& talkingMessage,
                         const std::string& media, float delay, int transition, const std::string& subTopic,
                         const std::string& description);

// The background rule for a colour, and for a picture (its page name, tiled
// or not; escaped here as a style string).
std::string colourBackgroundRule(unsigned colour);
std::string pictureBackgroundRule(const std::string& pictureName, bool tile);

} // namespace pavonia
