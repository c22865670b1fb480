#include "TemplateFixture.h"

#include "templates/TextStyles.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace pavonia {
namespace {

using test::TemplateFixture;

FontSpec font(const std::string& face, int size, int bold, int italic, int underline, std::uint32_t colour)
{
    FontSpec f;
    f.setFaceName(face);
    f.size = size;
    f.bold = bold;
    f.italic = italic;
    f.underline = underline;
    f.colour = colour;
    return f;
}

TEST(ParseCssColour, ReadsHexAndDecimalAsRgb)
{
    const struct {
        const char* text;
        std::uint32_t colour; // 0x00BBGGRR
    } cases[] = {
        {"#336699", 0x996633},   {"#FFFFFF", 0xFFFFFF}, {"#ff0000 ", 0x0000FF},
        {"red", 0},              {"", 0},               {"255", 0xFF0000}, // decimal 0x0000FF is blue
        {"-1", 0xFFFFFF},        {"#00ff00;x", 0x00FF00},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseCssColour(c.text), c.colour) << c.text;
}

TEST(ParseCssFont, UpdatesOnlyTheNamedProperties)
{
    const FontSpec start = font("Arial", 10, 0, 1, 0, 0x123456);
    const struct {
        const char* block;
        FontSpec want;
    } cases[] = {
        {R"({ font-family: "Verdana"; font-size: 14px; font-weight: bold; color: #336699; })",
         font("verdana", 14, 1, 1, 0, 0x996633)},
        {"{ font-size: 12pt; font-style: normal; text-decoration: none; }", font("Arial", 12, 0, 0, 0, 0x123456)},
        {"{ TEXT-DECORATION: underline; font-weight: normal; font-style: italic; }",
         font("Arial", 10, 0, 1, 1, 0x123456)},
        // "color" is found inside "background-color" first.
        {"{ background-color: #ffffff; color: #000000; }", font("Arial", 10, 0, 1, 0, 0xFFFFFF)},
        // A last property without ";" has an empty value.
        {"{ font-size: 16px }", font("Arial", 0, 0, 1, 0, 0x123456)},
        {"{ color: #ff0000 }", font("Arial", 10, 0, 1, 0, 0)},
        {"{}", start},
    };
    for (const auto& c : cases) {
        FontSpec f = start;
        ParseCssFont(c.block, f);
        EXPECT_EQ(f, c.want) << c.block;
    }
    FontSpec underlined = start;
    underlined.underline = 1;
    ParseCssFont("{ text-decoration: none; }", underlined);
    EXPECT_EQ(underlined.underline, 0);
}

TEST(ReadTemplateFonts, ReadsTheThreeClassesOfThePageTemplate)
{
    TemplateFixture f;
    f.add("Style0/L0/800/Template.htm",
          "<style>\n.MainTopic { font-family: Georgia; font-size: 20px; font-weight: bold; }\n"
          ".subtopic{font-family:\"Verdana\";font-size:14px;color:#336699;}\n</style>\n  \n");
    ProjectSettings project;
    FontSpec heading = font("Arial", 9, 0, 0, 0, 0);
    FontSpec subTopic = heading;
    FontSpec description = font("Keep", 11, 1, 1, 1, 7);
    ASSERT_TRUE(ReadTemplateFonts(f.library, project, heading, subTopic, description, f.ui));
    EXPECT_EQ(heading, font("georgia", 20, 1, 0, 0, 0));
    EXPECT_EQ(subTopic, font("verdana", 14, 0, 0, 0, 0x996633));
    EXPECT_EQ(description, font("Keep", 11, 1, 1, 1, 7)); // no ".description" class
    EXPECT_TRUE(f.ui.shown.empty());
}

TEST(ReadTemplateFonts, FailuresLeaveTheFontsAlone)
{
    TemplateFixture f;
    const std::string page = f.root() + "Style0/L0/800/Template.htm";
    std::filesystem::permissions(page, std::filesystem::perms::none);
    const bool unreadable = !std::ifstream(page).is_open(); // not when running as root
    std::filesystem::permissions(page, std::filesystem::perms::owner_all);

    const struct {
        const char* key;
        int layout;
        std::string message;
    } cases[] = {
        {"800", 0, "Resolution information error.\nUnable to Initialize font settings."},
        {"0_800", 1,
         "Template html file not found. (" + f.root() +
             "Style0/L1/800/Template.htm)\nCan't continue to Initialize font settings."},
    };
    for (const auto& c : cases) {
        ProjectSettings project;
        project.resolutionKey = c.key;
        project.layoutNumber = c.layout;
        const FontSpec before = font("Arial", 9, 0, 0, 0, 0);
        FontSpec a = before, b = before, d = before;
        f.ui.shown.clear();
        EXPECT_FALSE(ReadTemplateFonts(f.library, project, a, b, d, f.ui));
        EXPECT_EQ(f.ui.texts(), std::vector<std::string>{c.message});
        EXPECT_TRUE(a == before && b == before && d == before);
    }

    if (unreadable) {
        f.add("Style0/L0/800/Template.htm", ".subtopic { font-size: 30px; }");
        std::filesystem::permissions(page, std::filesystem::perms::none);
        ProjectSettings project;
        FontSpec a, b, d;
        f.ui.shown.clear();
        EXPECT_FALSE(ReadTemplateFonts(f.library, project, a, b, d, f.ui));
        ASSERT_EQ(f.ui.shown.size(), 1u);
        EXPECT_EQ(f.ui.shown[0].text.rfind("Open template html file error. (" + page + ")\nError: ", 0), 0u);
        EXPECT_EQ(b.size, FontSpec().size);
        std::filesystem::permissions(page, std::filesystem::perms::owner_all);
    }
}

} // namespace
} // namespace pavonia
