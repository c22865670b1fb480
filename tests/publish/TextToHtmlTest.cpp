#include "publish/TextToHtml.h"

#include <gtest/gtest.h>
#include <optional>

namespace pavonia {
namespace {

TEST(TextToHtml, ConvertsPlainPartsAndKeepsTags)
{
    const EntityTable table = makeEntityTable();
    const struct {
        const char* name;
        std::string text;
        std::string html;
    } cases[] = {
        {"empty", "", ""},
        {"entities", "a < b & \"c\"", "a &lt; b &amp; &quot;c&quot;"},
        {"lone >", "a > b", "a &gt; b"},
        {"line break", "one\r\ntwo", "one<br> \\ two"},
        // A raw line end would break the script string; a lone one is a
        // line break too (the platform's own).
        {"lone LF and CR", "a\nb\rc\n\r", "a<br> \\ b<br> \\ c<br> \\ <br> \\ "},
        {"backslash in plain text", "a\\b", "a\\\\b"},
        // Tags reach the page as typed: quotes escaped, backslashes doubled.
        {"tag with quotes", "<a href=\"x\\y\">go</a>", "<a href=\\\"x\\\\y\\\">go</a>"},
        {"backslash before a tag's closing quote", "<a title=\"x\\\">", "<a title=\\\"x\\\\\\\">"},
        {"tag over two lines", "<a\r\nhref=x>y</a>", "<a\\r\\nhref=x>y</a>"},
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

// The value of a double-quoted script string with the escapes the
// conversion uses; nothing when the string would end early or holds an
// escape that changes what follows it.
std::optional<std::string> scriptStringValue(std::string_view literal)
{
    std::string value;
    for (std::size_t i = 0; i < literal.size(); ++i) {
        const char c = literal[i];
        if (c == '"' || c == '\r' || c == '\n')
            return std::nullopt;
        if (c != '\\') {
            value += c;
            continue;
        }
        if (++i == literal.size())
            return std::nullopt;
        switch (literal[i]) {
        case '\\': value += '\\'; break;
        case '"': value += '"'; break;
        case 'r': value += '\r'; break;
        case 'n': value += '\n'; break;
        case ' ': value += ' '; break;
        default: return std::nullopt;
        }
    }
    return value;
}

TEST(TextToHtml, AlwaysGivesOneScriptStringThatKeepsTheTags)
{
    const EntityTable table = makeEntityTable();
    const char* texts[] = {
        "<a title=\"x\\\">\\", "\\\"<\\>\"", "<<<>>>", "<\"<\\\n>\r\n\\", "a\\b\\\"c\\",
        "<a href=\"c:\\new\\b.htm\">\\t</a>", "x\r\n\r\ny\n\rz", "\"<b>\"</b>\"",
    };
    for (const char* text : texts) {
        const auto value = scriptStringValue(TextToHtml(text, table));
        ASSERT_TRUE(value) << text;
        // Every tag of the text reaches the page unchanged.
        const std::string_view original(text);
        std::size_t previous = 0;
        for (std::size_t gt = original.find('>'); gt != std::string_view::npos; gt = original.find('>', gt + 1)) {
            const std::size_t lt = original.rfind('<', gt);
            if (lt != std::string_view::npos && (previous == 0 || lt > previous)) {
                EXPECT_NE(value->find(original.substr(lt, gt - lt + 1)), std::string::npos) << text;
            }
            previous = gt;
        }
    }
}

TEST(TextToHtml, EscapesOnlyTableBytesAndNeverTheirReplacements)
{
    const EntityTable table = makeEntityTable();
    EXPECT_EQ(EscapeEntities("&lt; <\"x\">", table), "&amp;lt; &lt;&quot;x&quot;&gt;");
    EXPECT_EQ(EscapeEntities("\\ '\xC3\xA9", table), "\\ '\xC3\xA9");
    const EntityTable onlyAmpersand{{'&', "&amp;"}};
    EXPECT_EQ(EscapeEntities("<&>", onlyAmpersand), "<&amp;>");
    // A table without the quote still gives a valid script string.
    EXPECT_EQ(TextToHtml("a\"b\\", onlyAmpersand), "a\\\"b\\\\");
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
