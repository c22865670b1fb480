#include "platform/Clock.h"
#include "platform/StringTable.h"
#include "platform/Text.h"
#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

using namespace pavonia;

TEST(Text, FileNamePartsOfWindowsAndPosixPaths)
{
    struct Case {
        const char* path;
        const char* name;
        const char* ext;
        const char* base;
    } cases[] = {
        {"C:\\Program Files\\Pavonia\\Temp\\Media200412311530 7.jpg", "Media200412311530 7.jpg", "jpg", "Media200412311530 7"},
        {"/home/u/dir.v2/file", "file", "", "file"},
        {"mixed/a\\b.tar.gz", "b.tar.gz", "gz", "b.tar"},
        {"plain", "plain", "", "plain"},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(finalComponent(c.path), c.name) << c.path;
        EXPECT_EQ(extensionOf(c.path), c.ext) << c.path;
        EXPECT_EQ(baseNameOf(c.path), c.base) << c.path;
    }
}

TEST(Text, WildcardsIgnoreCase)
{
    EXPECT_TRUE(wildcardMatch("Style*", "style12"));
    EXPECT_TRUE(wildcardMatch("Bg*.*", "BG200412311530 7.JPG"));
    EXPECT_TRUE(wildcardMatch("s_name.*", "s_name.jpg"));
    EXPECT_FALSE(wildcardMatch("s_name.*", "s_name2.jpg"));
    EXPECT_TRUE(wildcardMatch("*", ""));
    EXPECT_TRUE(wildcardMatch("a?c", "ABC"));
    EXPECT_FALSE(wildcardMatch("Bg*.*", "Bgfile"));
}

TEST(Text, TrimmedDropsBlanksAtBothEndsOnly)
{
    struct Case {
        std::string text;
        std::string expected;
    } cases[] = {
        {" \t640 \r\n", "640"},
        {"a b", "a b"},
        {"\f\vx\v", "x"},
        {" \t\r\n", ""},
        {"", ""},
        {"\xA0x\xA0", "\xA0x\xA0"}, // only ASCII white space
        {std::string("\0x\0", 3), std::string("\0x\0", 3)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(trimmed(c.text), c.expected) << c.text;
    EXPECT_EQ(trimmed("\t name \t", " "), "\t name \t");
    EXPECT_EQ(trimmed("--x-", "-"), "x");
}

TEST(Text, NumbersReadAsTheCRuntimeDoes)
{
    EXPECT_DOUBLE_EQ(parseLeadingDouble("2.5"), 2.5);
    EXPECT_DOUBLE_EQ(parseLeadingDouble(" 3.50abc"), 3.5);
    EXPECT_DOUBLE_EQ(parseLeadingDouble(".5"), 0.5);
    EXPECT_DOUBLE_EQ(parseLeadingDouble("-1"), -1);
    EXPECT_DOUBLE_EQ(parseLeadingDouble("x"), 0);
    EXPECT_EQ(parseLeadingInteger("  -42z"), -42);
    EXPECT_EQ(parseLeadingInteger(""), 0);
    EXPECT_EQ(formatFixed2(2.5), "2.50");
    EXPECT_EQ(formatFixed2(3), "3.00");
}

TEST(TextEncoding, Utf8StaysAndWindows1252IsConverted)
{
    EXPECT_EQ(decodeStoredText("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(decodeStoredText("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(decodeStoredText("\x80 \x93q\x94"), "\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D");
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));       // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));   // surrogate
    EXPECT_FALSE(isValidUtf8("\xE2\x82"));       // truncated
    EXPECT_TRUE(isValidUtf8("\xF0\x9F\x98\x80"));
}

TEST(StringTable, NumberedTextsAndArguments)
{
    EXPECT_EQ(StringTable::text(str::AppTitle), "Pavonia");
    EXPECT_EQ(StringTable::text(str::SlideLimitReached),
              "Cannot add tree item; Because has a limitation of  256 slides only.");
    EXPECT_EQ(StringTable::format(str::OpenProjectFileError, {"/x.pvp", "No such file"}),
              "Open Project File Error. (/x.pvp)\nError: No such file\nUnable to continue to open project.");
    EXPECT_EQ(StringTable::text(1), "");
    EXPECT_EQ(fillArguments("%d%% of %s", {"5", "x"}), "5% of x");
}

TEST(CRandom, FollowsTheCRuntimeSequence)
{
    CRandom random(1);
    EXPECT_EQ(random.next(), 41);
    EXPECT_EQ(random.next(), 18467);
    EXPECT_EQ(random.next(), 6334);
}
