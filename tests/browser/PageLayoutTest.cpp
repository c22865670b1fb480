// The sample published in each stock style fits the window it is shown in:
// a 1280 x 720 desktop window shows the whole page, and a 390 x 844 phone
// shows it without sideways scrolling, with touch targets of at least 44 px.
#include "PlayerFixture.h"
#include "StockStyles.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace pavonia::test {
namespace {

using nlohmann::json;

// What the test measures of the page: how wide it scrolls, where the page
// lies, and the visible controls smaller than a finger.
const char* const kLayoutProbe = R"js((function () {
    var page = document.getElementById("BGLayer").getBoundingClientRect();
    var small = [], shown = 0;
    var controls = document.querySelectorAll("button, input, select, a[href], [role=slider]");
    for (var i = 0; i < controls.length; ++i) {
        var c = controls[i];
        var r = c.getBoundingClientRect();
        var style = getComputedStyle(c);
        if (r.width === 0 || r.height === 0 || style.visibility === "hidden" || c.closest("[hidden]"))
            continue;
        ++shown;
        if (r.width < 44 || r.height < 44)
            small.push((c.id || c.tagName) + " " + Math.round(r.width) + "x" + Math.round(r.height));
    }
    return {
        scrollWidth: document.documentElement.scrollWidth,
        page: { left: page.left, top: page.top, right: page.right, bottom: page.bottom },
        small: small,
        shown: shown
    };
})())js";

class PageLayoutTest : public BrowserTest, public ::testing::WithParamInterface<StockStyle> {};

TEST_P(PageLayoutTest, FitsADesktopWindowAndAPhone)
{
    ASSERT_TRUE(fs::exists(PAVONIA_SAMPLE_PROJECT));
    const std::string project = installation.root() + "styled.pvp";
    ASSERT_TRUE(saveWithStyle(installation.folder(), installation.tempFolder(), PAVONIA_SAMPLE_PROJECT, GetParam(),
                              project));
    const std::string page = previewPage(installation, project);

    for (const BrowserPage::Viewport viewport : {BrowserPage::desktop(), BrowserPage::phone()}) {
        const std::string size = viewport.mobile ? "phone" : "desktop";
        BrowserPage& tab = newPage(viewport);
        openPlayer(tab, fileUrl(page));
        const json layout = tab.eval(kLayoutProbe);
        EXPECT_LE(layout["scrollWidth"].get<double>(), viewport.width) << size << ": the page scrolls sideways";
        EXPECT_GE(layout["page"]["left"].get<double>(), -1) << size;
        EXPECT_LE(layout["page"]["right"].get<double>(), viewport.width + 1) << size << ": the page is cut off";
        EXPECT_GE(layout["shown"].get<int>(), 5) << size << ": the controls are missing";
        if (viewport.mobile) {
            EXPECT_EQ(layout["small"], json::array()) << "controls under 44 px on a phone";
        } else {
            EXPECT_LE(layout["page"]["bottom"].get<double>(), viewport.height + 1) << "the page is cut off";
        }
        EXPECT_EQ(tab.errorText(), "") << size;
    }
}

INSTANTIATE_TEST_SUITE_P(StockStyles, PageLayoutTest,
                         ::testing::ValuesIn(stockStyles(std::string(PAVONIA_TEST_DATA_DIR) + "/Template")),
                         [](const ::testing::TestParamInfo<StockStyle>& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

} // namespace
} // namespace pavonia::test
