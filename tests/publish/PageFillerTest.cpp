#include "publish/PageFiller.h"

#include <gtest/gtest.h>

namespace pavonia {
namespace {

TEST(PageFillerTest, EveryMarkerIsReplacedWhereverItStands)
{
    PageValues values;
    values.backgroundRule = ".QBBG { x; }";
    values.startSlide = 2;
    values.pageInfo = "A();B();";
    values.autoPlay = 1;
    values.autoLoop = 0;
    values.autoJump = 1;
    values.heading = "Title";
    values.filePrefix = "deck_PVData\\";
    EXPECT_EQ(fillPage("%SBG|%SP|%INIT|%AP|%AL|%AJ|%MT|%IP_a.js|%SP", values),
              ".QBBG { x; }|2|A();B();|1|0|1|Title|deck_PVData\\a.js|2\n");
}

TEST(PageFillerTest, PageEndsBeforeTheEndMarkerWithOneLineFeed)
{
    const PageValues values;
    EXPECT_EQ(fillPage("<p>a</p>\n<!-- END -->\n<p>gone %AP</p>\n\n", values), "<p>a</p>\n\n");
    // Without the marker the whole template is kept; trailing blanks go.
    EXPECT_EQ(fillPage("<p>a</p> \r\n\t", values), "<p>a</p>\n");
}

TEST(PageFillerTest, OnlyTheSecondBackgroundClassIsReplacedAndOnlyWithABackground)
{
    PageValues values;
    EXPECT_EQ(fillPage("defBG defBG defBG", values), "defBG defBG defBG\n");
    values.backgroundClass = "QBBG";
    EXPECT_EQ(fillPage("defBG defBG defBG", values), "defBG QBBG defBG\n");
    EXPECT_EQ(fillPage("one defBG only", values), "one defBG only\n");
}

TEST(PageFillerTest, TextPutInIsNeverTakenForMarkers)
{
    // A description mentioning a marker or the end marker reaches the page as
    // typed instead of being replaced or cutting the page short.
    PageValues values;
    values.autoPlay = 1;
    values.pageInfo = "AppendPageInfo(\"50%AP off <!-- END --> %SP\");";
    values.heading = "%INIT";
    EXPECT_EQ(fillPage("%INIT|%MT|%AP", values), "AppendPageInfo(\"50%AP off <!-- END --> %SP\");|%INIT|1\n");
}

TEST(PageFillerTest, MediaAreaComesFromTheThirdAndFourthArguments)
{
    const struct {
        const char* page;
        int width, height;
    } cases[] = {
        {"x InitMediaLayer(10, 20, 400, 300);", 400, 300},
        {"x InitMediaLayer( 0,0,  640 ,480 ) ;", 640, 480},
        {"x InitMediaLayer(10, 20, 400);", 0, 0},        // three arguments
        {"x InitMediaLayer(1, 2, 3, 4, 5);", 0, 0},      // five
        {"InitMediaLayer(10, 20, 400, 300);", 0, 0},     // at the very start
        {"x InitMediaLayer(10, 20, 400, 300)", 0, 0},    // no ";"
        {"no call here", 0, 0},
    };
    for (const auto& c : cases) {
        const MediaArea area = readMediaArea(c.page);
        EXPECT_EQ(area.width, c.width) << c.page;
        EXPECT_EQ(area.height, c.height) << c.page;
    }
}

TEST(PageFillerTest, BackgroundRulesAndPageInfoLine)
{
    // Colour 0x00BBGGRR with red 0, green 128, blue 255.
    EXPECT_EQ(colourBackgroundRule(0x00ff8000u), ".QBBG { background-color: #0080ff; }");
    EXPECT_EQ(pictureBackgroundRule("deck_PVData/bg.jpg", true),
              ".QBBG { background-image: url('deck_PVData/bg.jpg');\nbackground-repeat:repeat; }");
    EXPECT_EQ(pictureBackgroundRule("bg.jpg", false),
              ".QBBG { background-image: url('bg.jpg');\nbackground-repeat:no-repeat; }");
    EXPECT_EQ(pageInfoLine("a.tjm", "", "?", 2.5f, 17, "Sub", "?"),
              "AppendPageInfo(\"a.tjm\", \"\", \"?\", 2.50, 17, \"Sub\", \"?\");");
    // A closing script tag or a comment opening in the user's text cannot end
    // the page's script: they become script escapes of the same characters.
    EXPECT_EQ(pageInfoLine("", "", "?", 1.0f, -1, "a</SCRIPT>b</b>", "<!-- x --> <!x"),
              "AppendPageInfo(\"\", \"\", \"?\", 1.00, -1, \"a<\\/SCRIPT>b</b>\", \"<\\!-- x --> <!x\");");
}

TEST(PageFillerTest, NamesAreEscapedForTheScriptAndTheStyleRules)
{
    EXPECT_EQ(pageInfoLine("say \"hi\".tjm", "back\\slash.tps", "deck<</script>x.jpg", 1.0f, 0, "?", "?"),
              "AppendPageInfo(\"say \\\"hi\\\".tjm\", \"back\\\\slash.tps\", \"deck<<\\/script>x.jpg\", 1.00, 0, "
              "\"?\", \"?\");");
    EXPECT_EQ(scriptStringText("two\nlines\r'q'"), "two\\nlines\\r\\'q\\'");
    EXPECT_EQ(pictureBackgroundRule("it's\n<b>.jpg", false),
              ".QBBG { background-image: url('it\\'s\\a \\3c b>.jpg');\nbackground-repeat:no-repeat; }");
}

TEST(PageFillerTest, APageIsBoundedByItsTemplateAndWhatTheProjectPutsIn)
{
    PageValues values;
    values.pageInfo = std::string(2000, 'i');
    values.heading = "Title";
    const std::string stock = "<h1>%MT</h1><script>%INIT\nStart(%SP, %AP, %AL, %AJ);</script>";
    EXPECT_EQ(filledPageSize(stock, values), fillPage(stock, values).size());
    EXPECT_LE(filledPageSize(stock, values), pageSizeLimit(stock, values));

    // A small template naming one marker many thousand times.
    std::string hostile;
    for (int i = 0; i < 4000; ++i)
        hostile += "%INIT";
    EXPECT_EQ(filledPageSize(hostile, values), 4000u * 2000u + 1u);
    EXPECT_GT(filledPageSize(hostile, values), pageSizeLimit(hostile, values));
    // Still far below: as many markers as the limit allows for the content.
    hostile.resize(5 * kMarkerUsesAllowed);
    EXPECT_LE(filledPageSize(hostile, values), pageSizeLimit(hostile, values));
}

} // namespace
} // namespace pavonia
