#include "publish/TextToHtml.h"

#include <gtest/gtest.h>

namespace pavonia {
namespace {

TEST(TextToHtml, ConvertsPlainPartsAndKeepsTags)
{
    const EntityTable table = MakeEntityTable();
    const struct {
        const char* name;
        std::string text;
        std::string html;
    } cases[] = {
        {"empty", "", ""},
        {"entities", "a < b & \"c\"", "a &lt; b &amp; &quot;c&quot;"},
        {"lone >", "a > b", "a &gt; b"},
        {"line break", "one\r\ntwo", "one<br> \\ two"},
        {"lone LF and CR stay", "a\nb\rc", "a\nb\rc"},
        {"backslash in plain text", "a\\b", "a\\\\b"},
        {"tag with quotes", "<a href=\"x\\y\">go</a>", "<a href=\\\"x\\y\\\">go</a>"},
        {"tag without quotes", "<img src=c:\\p\\q.gif>", "<img src=c:\\\\p\\\\q.gif>"},
        {"stray < before a tag", "3 < 4 <b>x</b>", "3 &lt; 4 <b>x</b>"},
        {"unclosed < at the end", "x <", "x &lt;"},
        {"unclosed < after a tag", "<b>x</b> & <", "<b>x</b> &amp; &lt;"},
        {"plain between and after tags", "say \"hi\" <i>now</i> & then",
         "say &quot;hi&quot; <i>now</i> &amp; then"},
        {"quoted tag then plain", "<font color=\"red\">a&b</font>\r\nc",
         "<font color=\\\"red\\\">a&amp;b</font><br> \\ c"},
        {"multi-byte characters are plain bytes", "caf\xC3\xA9 <b>\xE2\x82\xAC</b>",
         "caf\xC3\xA9 <b>\xE2\x82\xAC</b>"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextToHtml(c.text, table), c.html) << c.name;
}

TEST(TextToHtml, EscapesOnlyTableBytesAndNeverTheirReplacements)
{
    const EntityTable table = MakeEntityTable();
    EXPECT_EQ(EscapeEntities("&lt; <\"x\">", table), "&amp;lt; &lt;&quot;x&quot;&gt;");
    EXPECT_EQ(EscapeEntities("\\ '\xC3\xA9", table), "\\ '\xC3\xA9");
    const EntityTable onlyAmpersand{{'&', "&amp;"}};
    EXPECT_EQ(EscapeEntities("<&>", onlyAmpersand), "<&amp;>");
}

TEST(FontSpan, WrapsTheTextInAFontElement)
{
    FontSpec font;
    font.setFaceName("Verdana");
    font.size = 10;
    font.colour = 0x8000FF; // red 255, green 0, blue 128
    EXPECT_EQ(FontSpan("", font, 120),
              "<font face='Verdana' style='font-size:16px; font-style:normal; font-weight:normal; "
              "text-decoration:none;' color='#ff0080'></Font>");

    font.size = 12;
    font.bold = 1;
    font.italic = 1;
    font.underline = 1;
    font.colour = 0x0A0B0C;
    EXPECT_EQ(FontSpan("a %s b", font),
              "<font face='Verdana' style='font-size:16px; font-style:italic; font-weight:bold; "
              "text-decoration:underline;' color='#0c0b0a'>a %s b</Font>");
}

} // namespace
} // namespace pavonia
