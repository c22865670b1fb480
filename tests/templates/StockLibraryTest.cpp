// The stock template library as the build stages it: everything the
// catalogues list must be there, and every page template must carry what
// publishing, the text styles and the layer readers look for.
#include "ScriptedUi.h"
#include "TestInstallation.h"
#include "platform/IniFile.h"
#include "platform/Text.h"
#include "templates/TemplateLibrary.h"
#include "templates/TextStyles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace pavonia {
namespace {

const std::string kLibrary = std::string(PAVONIA_TEST_DATA_DIR) + "/Template/";

std::string bytesOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool isJpeg(const std::string& path)
{
    const std::string b = bytesOf(path);
    return b.size() > 4 && b.compare(0, 3, "\xFF\xD8\xFF") == 0 && b.compare(b.size() - 2, 2, "\xFF\xD9") == 0;
}

// A 24-bit Windows bitmap: "BM", a 40-byte info header, 24 bits a pixel.
bool isBmp24(const std::string& path)
{
    const std::string b = bytesOf(path);
    return b.size() > 54 && b.compare(0, 2, "BM") == 0 && static_cast<unsigned char>(b[14]) == 40
        && static_cast<unsigned char>(b[28]) == 24 && b[29] == 0;
}

// A 16-bit field of a bitmap header (width at 18, height at 22; both fit).
int bmpField(const std::string& path, std::size_t offset)
{
    const std::string b = bytesOf(path);
    return static_cast<unsigned char>(b[offset]) | static_cast<unsigned char>(b[offset + 1]) << 8;
}

int count(const std::string& text, const std::string& what)
{
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
};

// The layer rectangle read the way the page's layer tags are read back: the
// tag around the first occurrence of the name, then the numbers after
// "left:", "top:", "width:" and "height:", each up to "px", in that order.
std::optional<Rect> layerRect(const std::string& page, const std::string& name)
{
    const auto at = page.find(name);
    if (at == std::string::npos)
        return std::nullopt;
    const auto open = page.rfind('<', at);
    const auto close = page.find('>', at);
    if (open == std::string::npos || close == std::string::npos)
        return std::nullopt;
    const std::string tag = toLowerAscii(page.substr(open, close - open));
    int values[4];
    std::size_t from = 0;
    const char* keys[] = {"left:", "top:", "width:", "height:"};
    for (int i = 0; i < 4; ++i) {
        const auto key = tag.find(keys[i], from);
        if (key == std::string::npos)
            return std::nullopt;
        const auto start = key + std::string(keys[i]).size();
        const auto px = tag.find("px", start);
        if (px == std::string::npos)
            return std::nullopt;
        try {
            values[i] = std::stoi(tag.substr(start, px - start));
        } catch (const std::exception&) {
            return std::nullopt;
        }
        from = px;
    }
    return Rect{values[0], values[1], values[2], values[3]};
}

// The media area named by the page's InitMediaLayer call, read the way
// publishing reads it: the text up to the next ";" without its last ")"
// and "(", split at ",".
std::optional<Rect> mediaRect(const std::string& page)
{
    const auto at = page.find("InitMediaLayer");
    if (at == std::string::npos || at == 0)
        return std::nullopt;
    const auto end = page.find(';', at);
    std::string args = page.substr(at + 14, end - at - 14);
    args.erase(args.rfind(')'), 1);
    args.erase(args.rfind('('), 1);
    std::vector<int> values;
    std::size_t from = 0;
    for (;;) {
        const auto comma = args.find(',', from);
        values.push_back(std::stoi(args.substr(from, comma - from)));
        if (comma == std::string::npos)
            break;
        from = comma + 1;
    }
    if (values.size() != 4)
        return std::nullopt;
    return Rect{values[0], values[1], values[2], values[3]};
}

// The first style block of a class, found as the text-style reader finds it.
std::string classBlock(const std::string& page, const std::string& name)
{
    const std::string text = toLowerAscii(page);
    const auto at = text.find(name);
    if (at == std::string::npos)
        return {};
    const auto open = text.find('{', at + name.size());
    const auto close = text.find('}', open);
    return open == std::string::npos || close == std::string::npos ? std::string()
                                                                   : text.substr(open, close - open + 1);
}

bool within(const Rect& inner, const Rect& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.left + inner.width <= outer.width
        && inner.top + inner.height <= outer.height;
}

struct LayoutFlags {
    int description = 1;
    int effect = 1;
};

LayoutFlags layoutFlags(int layout)
{
    const IniFile ini(kLibrary + "Layout/L" + std::to_string(layout) + ".ini");
    return {ini.readInt("Layer", "DescriptionLayer", 1), ini.readInt("Layer", "EffectLayer", 1)};
}

// Everything one page template must carry; `width` is the name of its
// resolution folder.
void checkPage(const std::string& path, int width, const LayoutFlags& flags)
{
    SCOPED_TRACE(path);
    const std::string page = bytesOf(path);
    ASSERT_FALSE(page.empty());

    for (const char* marker : {"%SBG", "%SP", "%INIT", "%AP", "%AL", "%AJ", "%MT", "%IP_function.js"})
        EXPECT_NE(page.find(marker), std::string::npos) << marker;
    // Any other "%" and capital letter would be eaten by a marker or is a
    // misspelt one.
    const std::regex percent("%[A-Z][A-Z_]*");
    const std::set<std::string> markers = {"%SBG", "%SP", "%INIT", "%AP", "%AL", "%AJ", "%MT", "%IP_"};
    for (auto it = std::sregex_iterator(page.begin(), page.end(), percent); it != std::sregex_iterator(); ++it)
        EXPECT_TRUE(markers.count(it->str())) << it->str();
    EXPECT_EQ(page.find("{{"), std::string::npos) << "a placeholder left unexpanded";

    // The page ends at the end marker; the second "defBG" is the class the
    // background rule takes over.
    EXPECT_EQ(count(page, "<!-- END -->"), 1);
    EXPECT_LT(page.size() - page.find("<!-- END -->"), 20u);
    ASSERT_EQ(count(page, "defBG"), 2);
    const auto second = page.find("defBG", page.find("defBG") + 1);
    EXPECT_LT(page.find("%SBG"), second);
    const auto classAttribute = page.rfind("class=\"", second);
    EXPECT_TRUE(classAttribute != std::string::npos && page.find('"', classAttribute + 7) > second)
        << "the second defBG is not a class name";

    // Every file the page loads comes through the prefix marker.
    const std::regex reference("(src|href)=\"([^\"]*)\"");
    for (auto it = std::sregex_iterator(page.begin(), page.end(), reference); it != std::sregex_iterator(); ++it)
        EXPECT_EQ((*it)[2].str().rfind("%IP_", 0), 0u) << (*it)[0].str();
    for (const char* file : {"function.js", "face.js", "loading.gif"})
        for (auto at = page.find(file); at != std::string::npos; at = page.find(file, at + 1))
            EXPECT_TRUE(at >= 4 && page.compare(at - 4, 4, "%IP_") == 0) << file;

    // The player: the face script before the player script, a page laid out
    // at the device's width, and the elements the player drives.
    EXPECT_LT(page.find("%IP_face.js"), page.find("%IP_function.js"));
    EXPECT_NE(page.find("<meta name=\"viewport\" content=\"width=device-width"), std::string::npos);
    for (const char* id : {"PvViewport", "TalkerCanvas", "SubTopicArea", "SubTopic", "MediaArea", "MediaContent",
                           "Description", "PlayerBar", "Progress", "ProgressFill", "BarPlay", "MuteButton",
                           "TranscriptPanel", "TranscriptList", "StartOverlay", "StartButton"})
        EXPECT_EQ(count(page, std::string("id=\"") + id + "\""), 1) << id;

    const auto background = layerRect(page, "BGLayer");
    const auto description = layerRect(page, "DescriptionLayer");
    const auto media = mediaRect(page);
    ASSERT_TRUE(background && description && media);
    EXPECT_EQ(background->left, 0);
    EXPECT_EQ(background->top, 0);
    EXPECT_EQ(background->width, width);
    EXPECT_GT(background->height, width / 2);
    if (flags.description) {
        EXPECT_GT(description->width, 40);
        EXPECT_GT(description->height, 40);
        EXPECT_TRUE(within(*description, *background));
    }
    if (flags.effect) {
        EXPECT_GT(media->width, 100);
        EXPECT_GT(media->height, 100);
        EXPECT_TRUE(within(*media, *background));
    } else {
        EXPECT_EQ(media->width, 0);
    }

    // The text styles read back as real fonts: a face (a short list without
    // quotes), a size in px, a weight and a colour of its own.
    for (const char* name : {".maintopic", ".subtopic", ".description"}) {
        SCOPED_TRACE(name);
        const std::string block = classBlock(page, name);
        ASSERT_FALSE(block.empty());
        FontSpec font;
        font.colour = 0x123456;
        ParseCssFont(block, font);
        EXPECT_FALSE(font.faceName().empty());
        EXPECT_EQ(font.faceName().find('"'), std::string::npos);
        // The whole face list fits the face field, so a page that wraps a
        // text in the template's own face gets the whole list back.
        const auto family = block.find("font-family:") + 12;
        EXPECT_EQ(font.faceName(), trimmed(block.substr(family, block.find(';', family) - family)));
        EXPECT_GE(font.size, 8);
        EXPECT_LE(font.size, 48);
        EXPECT_EQ(font.italic, 0);
        EXPECT_EQ(font.underline, 0);
        EXPECT_NE(font.colour, 0x123456u);
        const auto colour = block.find("color");
        EXPECT_TRUE(colour != std::string::npos && block[colour - 1] != '-') << "colour taken from another property";
    }
}

TEST(StockLibrary, CatalogueListsResolutionsCustomKindsAndTransitions)
{
    test::ScriptedUi ui;
    TemplateLibrary library(std::string(PAVONIA_TEST_DATA_DIR) + "/", ui);

    std::vector<int> sizes;
    for (const auto& row : library.ListResolutions(TemplateLibrary::ResolutionCatalogue::Standard).rows)
        sizes.push_back(row.value);
    EXPECT_EQ(sizes, (std::vector<int>{640, 800, 1024, -1}));
    EXPECT_EQ(library.ListResolutions(TemplateLibrary::ResolutionCatalogue::Standard).preselected, 1);
    std::vector<int> custom;
    for (const auto& row : library.ListResolutions(TemplateLibrary::ResolutionCatalogue::Custom).rows)
        custom.push_back(row.value);
    EXPECT_EQ(custom, (std::vector<int>{1, -1}));

    const IniFile catalogue(kLibrary + "Pavonia.ini");
    const int transitions = catalogue.readInt("Global", "TransitionCount", 0);
    EXPECT_GE(transitions, 18);
    for (int i = 0; i <= transitions; ++i)
        EXPECT_TRUE(catalogue.readText("Transition", "Trans" + std::to_string(i))) << i;
    EXPECT_EQ(catalogue.readText("Transition", "Trans0", ""), "No Transition");
    EXPECT_NE(toLowerAscii(catalogue.readText("Transition", "Trans18", "")).find("fade"), std::string::npos);
    EXPECT_TRUE(ui.shown.empty());
}

TEST(StockLibrary, ScriptAndLoadingPictureAreThere)
{
    const std::string script = bytesOf(kLibrary + "function.js");
    EXPECT_TRUE(std::regex_search(script, std::regex(R"(function AppendPageInfo\((\s*\w+\s*,){6}\s*\w+\s*\))")));
    EXPECT_TRUE(std::regex_search(script, std::regex(R"(function InitMediaLayer\((\s*\w+\s*,){3}\s*\w+\s*\))")));
    // An animated GIF: the header, a looping extension and several frames.
    const std::string gif = bytesOf(kLibrary + "loading.gif");
    EXPECT_EQ(gif.substr(0, 6), "GIF89a");
    EXPECT_NE(gif.find("NETSCAPE2.0"), std::string::npos);
    EXPECT_GT(count(gif, std::string("\x21\xF9\x04", 3)), 1);
}

TEST(StockLibrary, LayoutsCoverEveryAreaChoice)
{
    test::ScriptedUi ui;
    TemplateLibrary library(std::string(PAVONIA_TEST_DATA_DIR) + "/", ui);
    const auto layouts = library.ListLayouts();
    ASSERT_GE(layouts.size(), 4u);
    bool allAreas = false, noMedia = false, noDescription = false;
    for (const auto& row : layouts) {
        SCOPED_TRACE(row.number);
        EXPECT_FALSE(row.description.empty());
        EXPECT_TRUE(isJpeg(row.thumbnailPath));
        LayoutLayers layers{7, 7, 7};
        ASSERT_TRUE(library.ReadLayoutLayers(row.number, layers));
        for (int flag : {layers.subTopic, layers.description, layers.effect})
            EXPECT_TRUE(flag == 0 || flag == 1);
        allAreas |= layers.description && layers.effect && layers.subTopic;
        noMedia |= !layers.effect;
        noDescription |= !layers.description;
        const auto behaviour = library.ReadLayoutBehaviour(row.number);
        ASSERT_TRUE(behaviour);
        EXPECT_EQ(behaviour->autoJump, 1);
    }
    EXPECT_TRUE(allAreas && noMedia && noDescription);
    EXPECT_TRUE(ui.shown.empty()) << ui.shown.front().text;
}

// One listed style: its files, and every page it offers for every layout.
void checkStyle(const TemplateLibrary& library, const CatalogueRow& row, bool special, bool custom,
                const std::vector<CatalogueRow>& layouts, std::set<std::string>& seen)
{
    const std::string folder = library.styleFolder(row.number, special);
    SCOPED_TRACE(folder);
    seen.insert(fs::path(folder).lexically_normal().string());
    EXPECT_FALSE(row.description.empty());
    EXPECT_TRUE(isJpeg(folder + "ui.jpg"));
    const IniFile info(folder + "info.ini");
    const std::string sizes = info.readText("Style", "SupportSize", "");
    if (custom || special) {
        EXPECT_EQ(sizes.find(','), std::string::npos) << "the key holds the whole size list";
    }
    std::vector<std::string> sizeList = splitText(sizes, ",");
    if (sizeList.empty())
        sizeList.push_back(sizes);

    int layoutCount = 0;
    for (const auto& layout : layouts) {
        const std::string layoutFolder = folder + "L" + std::to_string(layout.number) + "/";
        if (!fs::is_directory(layoutFolder))
            continue;
        ++layoutCount;
        EXPECT_TRUE(isJpeg(layoutFolder + "Preview.jpg")) << layoutFolder;
        if (custom) {
            const std::string mask = layoutFolder + "Preview_mask.bmp";
            ASSERT_TRUE(isBmp24(mask)) << mask;
            const auto area = splitText(info.readText("Style", "Area", ""), ",");
            ASSERT_EQ(area.size(), 4u);
            EXPECT_LE(std::stoi(area[0]) + std::stoi(area[2]), bmpField(mask, 18));
            EXPECT_LE(std::stoi(area[1]) + std::stoi(area[3]), bmpField(mask, 22));
        }
        for (const auto& size : sizeList) {
            const std::string width = trimmed(size);
            const std::string key = (special ? "-1_" : custom ? "1_" : "0_") + width;
            const auto paths = library.ResolveTemplatePaths(row.number, layout.number, key);
            ASSERT_TRUE(paths);
            checkPage(paths->pageTemplate, std::stoi(width), layoutFlags(layout.number));
        }
    }
    // Standard and custom styles offer every layout; a special style brings
    // its own.
    if (special)
        EXPECT_GE(layoutCount, 1);
    else
        EXPECT_EQ(layoutCount, static_cast<int>(layouts.size()));
}

TEST(StockLibrary, EveryListedStyleHasItsFilesAndPages)
{
    test::ScriptedUi ui;
    TemplateLibrary library(std::string(PAVONIA_TEST_DATA_DIR) + "/", ui);
    const auto layouts = library.ListLayouts();
    std::set<std::string> seen;

    std::set<int> standard;
    for (int size : {640, 800, 1024}) {
        const auto styles = library.ListStylesForSize(size);
        EXPECT_GE(styles.size(), 1u) << size;
        for (const auto& row : styles)
            if (standard.insert(row.number).second)
                checkStyle(library, row, false, false, layouts, seen);
    }
    EXPECT_GE(standard.size(), 3u);
    const auto custom = library.ListCustomStyles();
    EXPECT_GE(custom.size(), 2u);
    for (const auto& row : custom)
        checkStyle(library, row, false, true, layouts, seen);
    const auto special = library.ListSpecialStyles(false);
    EXPECT_GE(special.size(), 1u);
    for (const auto& row : special)
        checkStyle(library, row, true, false, layouts, seen);
    for (const auto& row : library.ListSpecialStyles(true))
        checkStyle(library, row, true, true, layouts, seen);
    EXPECT_TRUE(ui.shown.empty()) << ui.shown.front().text;

    // No style folder lies in the library unlisted (one that no catalogue
    // offers is a broken one).
    for (const std::string& base : {kLibrary, kLibrary + "Special/"}) {
        if (!fs::is_directory(base))
            continue;
        for (const auto& entry : fs::directory_iterator(base)) {
            if (entry.is_directory() && toLowerAscii(entry.path().filename().string()).rfind("style", 0) == 0) {
                EXPECT_TRUE(seen.count(entry.path().lexically_normal().string() + "/")) << entry.path();
            }
        }
    }
}

TEST(StockLibrary, TemplateFontsReadBackForEveryKindOfStyle)
{
    test::ScriptedUi ui;
    TemplateLibrary library(std::string(PAVONIA_TEST_DATA_DIR) + "/", ui);
    struct Case {
        int style;
        const char* key;
    };
    for (const Case& c : {Case{0, "0_800"}, Case{1000, "1_800"}, Case{0, "-1_960"}}) {
        SCOPED_TRACE(c.key);
        ProjectSettings project;
        project.styleNumber = c.style;
        project.resolutionKey = c.key;
        FontSpec heading, subTopic, description;
        ASSERT_TRUE(ReadTemplateFonts(library, project, heading, subTopic, description, ui));
        EXPECT_GT(heading.size, subTopic.size);
        EXPECT_GT(subTopic.size, description.size);
        EXPECT_EQ(subTopic.bold, 1);
        EXPECT_EQ(description.bold, 0);
    }
    EXPECT_TRUE(ui.shown.empty());
}

} // namespace
} // namespace pavonia
