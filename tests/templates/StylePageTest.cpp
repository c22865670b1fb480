// The style page: picking a style and a layout through the list dialog,
// moving inline frames to a new description area, and the style preview.
#include "PictureFiles.h"
#include "TemplateFixture.h"

#include "platform/StringTable.h"
#include "project/ProjectDocument.h"
#include "templates/ListDialogLogic.h"
#include "templates/StylePageLogic.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pavonia {
namespace {

using test::Rgb8;

// The small template library with a document on its installation.
struct StyleFixture : test::TemplateFixture {
    StyleFixture()
    {
        document.settings().resolutionKey = "0_800";
        ui.shown.clear();
    }

    // A list dialog that clicks `row` (or nothing, with -1) and confirms;
    // records what it showed.
    StylePageLogic::ListDialogRunner confirmRow(int row)
    {
        return [this, row](ListDialogLogic& list) -> std::optional<ListChoice> {
            list.open();
            shownRows = list.rows();
            shownMode = list.mode();
            if (row >= 0)
                list.clickRow(row);
            return list.accept();
        };
    }
    StylePageLogic::ListDialogRunner cancel()
    {
        return [this](ListDialogLogic& list) -> std::optional<ListChoice> {
            list.open();
            shownMode = list.mode();
            return std::nullopt;
        };
    }
    std::vector<int> numbers() const
    {
        std::vector<int> out;
        for (const CatalogueRow& row : shownRows)
            out.push_back(row.number);
        return out;
    }

    test::FixedClock clock;
    test::MapRegistry registry;
    ProjectDocument document{DocumentEnvironment{install.folder(), install.tempFolder(), ui, clock, registry}};
    LayoutLayers layers;
    StylePageLogic page{document, library, layers};
    std::vector<CatalogueRow> shownRows;
    ListMode shownMode = ListMode::Layouts;
    int customSettingsRuns = 0;
    StylePageLogic::CustomSettingsRunner customSettings = [this] { ++customSettingsRuns; };
};

TEST(MoveInlineFrame, TakesTheNewDescriptionAreaAndKeepsTheRest)
{
    const LayerRect area{30, 40, 300, 250};
    struct Case {
        std::string description;
        std::string expected;
    };
    const Case cases[] = {
        {"See THIS: <IFRAME id=iframe1 style=\"left:10; top:20; height:100; width:200;\" src=A.htm></IFRAME> End",
         "See THIS: <IFRAME id=iframe1 style=\"left:30; top:40; height:250; width:300;\" src=A.htm></IFRAME> End"},
        // Without "iframe1 " (or without the closing tag) nothing changes.
        {"<iframe id=frame2 style=\"left:10;\"></iframe>", "<iframe id=frame2 style=\"left:10;\"></iframe>"},
        {"<iframe id=iframe1 style=\"left:10;\">", "<iframe id=iframe1 style=\"left:10;\">"},
        // Without a ";" after it a value ends at the first blank; with neither
        // it stays.
        {"<iframe id=iframe1 style=\"left:10 top:5\"></iframe>",
         "<iframe id=iframe1 style=\"left:30;top:5\"></iframe>"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MoveInlineFrame(c.description, area), c.expected) << c.description;
}

TEST(PickStyle, AConfirmedStandardStyleTakesItsKeyAndResetsTheFonts)
{
    StyleFixture f;
    ProjectSettings& project = f.document.settings();
    project.headingFontSet = project.subTopicFontSet = project.descriptionFontSet = 1;
    f.page.rememberedLayoutPosition = 2;

    // The list shows the styles of 800, the stored key's size; the second row is style 5.
    ASSERT_TRUE(f.page.PickStyle(f.confirmRow(1), f.customSettings));
    EXPECT_EQ(f.shownMode, ListMode::Standard);
    EXPECT_EQ(f.numbers(), (std::vector<int>{0, 5}));
    EXPECT_EQ(project.styleNumber, 5);
    EXPECT_EQ(project.resolutionKey, "0_800");
    EXPECT_EQ(f.page.rememberedStylePosition, 1);
    EXPECT_TRUE(f.page.templateDefaultsPending);
    EXPECT_TRUE(f.document.dirty());
    EXPECT_EQ(project.headingFontSet + project.subTopicFontSet + project.descriptionFontSet, 0);
    // Style 5 has no layout 2: the layout falls back to 0.
    EXPECT_EQ(project.layoutNumber, 0);
    EXPECT_EQ(f.customSettingsRuns, 0);
}

TEST(PickStyle, CancellingStillValidatesTheRememberedLayout)
{
    StyleFixture f;
    ProjectSettings& project = f.document.settings();
    project.headingFontSet = 1;
    project.layoutNumber = 0;
    f.page.rememberedLayoutPosition = 1;
    EXPECT_FALSE(f.page.PickStyle(f.cancel(), f.customSettings));
    // Style 0 has a layout 1 folder, so the remembered layout stays.
    EXPECT_EQ(project.layoutNumber, 1);
    EXPECT_EQ(project.headingFontSet, 1);
    EXPECT_FALSE(f.page.templateDefaultsPending);
    EXPECT_FALSE(f.document.dirty());

    f.page.rememberedLayoutPosition = 7; // a layout style 0 does not have
    f.page.PickStyle(f.cancel(), f.customSettings);
    EXPECT_EQ(project.layoutNumber, 0);
}

TEST(PickStyle, ACustomStyleOpensTheCustomSettingsRightAfterThePick)
{
    StyleFixture f;
    ProjectSettings& project = f.document.settings();
    project.styleNumber = 1002;
    project.resolutionKey = "1_800";
    f.page.projectOpened();
    EXPECT_EQ(f.page.rememberedStylePosition, 2);
    ASSERT_TRUE(f.page.PickStyle(f.confirmRow(0), f.customSettings));
    EXPECT_EQ(f.shownMode, ListMode::Custom);
    EXPECT_EQ(f.numbers(), (std::vector<int>{1002}));
    EXPECT_EQ(project.styleNumber, 1002);
    // The custom row's key takes the style's own supported size.
    EXPECT_EQ(project.resolutionKey, "1_800");
    EXPECT_EQ(f.customSettingsRuns, 1);
    EXPECT_FALSE(f.document.dirty()); // the same style again
}

TEST(PickStyle, ASpecialStyleBringsItsLayoutAndABadKeyIsRefused)
{
    StyleFixture f;
    ProjectSettings& project = f.document.settings();
    project.resolutionKey = "-1_1024";
    EXPECT_FALSE(f.page.layoutEnabled());
    ASSERT_TRUE(f.page.PickStyle(f.confirmRow(0), f.customSettings));
    EXPECT_EQ(project.styleNumber, 4);
    EXPECT_EQ(project.resolutionKey, "-1_1024");
    EXPECT_EQ(project.layoutNumber, 3); // its first "L" folder

    project.resolutionKey = "800";
    f.ui.shown.clear();
    EXPECT_FALSE(f.page.PickStyle(f.confirmRow(0), f.customSettings));
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{"Resolution information error [800].\nSelect Style Error."});
}

TEST(PickLayout, TakesTheLayoutItsLayersAndSwitchesAndMovesInlineFrames)
{
    StyleFixture f;
    ProjectSettings& project = f.document.settings();
    f.add("Layout/L2.ini", "[Template]\nAutoPlay=0\nAutoLoop=1\nAutoJump=0\n[Layer]\nEffectLayer=0\n");
    f.add("Style0/L2/800/Template.htm",
          "<div id=\"DescriptionLayer\" style=\"left:30px; top:40px; width:300px; height:250px\"></div>");
    project.subTopicFontSet = 1;
    auto session = std::make_unique<SessionData>();
    TreeItem* item = f.document.tree().insertSession(nullptr, std::move(session), "Session 1");
    auto slide = std::make_unique<SlideData>();
    slide->description = "<iframe id=iframe1 style=\"left:1; top:2; height:3; width:4;\"></iframe>";
    TreeItem* slideItem = f.document.tree().insertSlide(*item, nullptr, std::move(slide), "Slide 1");

    ASSERT_TRUE(f.page.PickLayout(f.confirmRow(1)));
    EXPECT_EQ(f.shownMode, ListMode::Layouts);
    EXPECT_EQ(f.numbers(), (std::vector<int>{0, 2}));
    EXPECT_EQ(project.layoutNumber, 2);
    EXPECT_EQ(f.page.rememberedLayoutPosition, 1);
    EXPECT_EQ(f.layers, (LayoutLayers{1, 1, 0}));
    EXPECT_EQ(project.autoPlay, 0);
    EXPECT_EQ(project.autoLoop, 1);
    EXPECT_EQ(project.autoJump, 0);
    EXPECT_EQ(project.subTopicFontSet, 0);
    EXPECT_TRUE(f.page.templateDefaultsPending);
    EXPECT_TRUE(f.document.dirty());
    EXPECT_EQ(slideItem->slide()->description,
              "<iframe id=iframe1 style=\"left:30; top:40; height:250; width:300;\"></iframe>");

    // Cancelled, the layout's switches are still read into the project.
    f.add("Layout/L2.ini", "[Template]\nAutoPlay=1\n");
    EXPECT_FALSE(f.page.PickLayout(f.cancel()));
    EXPECT_EQ(project.autoPlay, 1);
}

TEST(ListDialogLogic, AnotherResolutionMarksTheProjectAndShowsItsCatalogue)
{
    StyleFixture f;
    int dirty = 0;
    ListDialogLogic list(f.library, ListMode::Standard, "0_800", [&] { dirty = 1; }, 0, 9, f.ui);
    list.open();
    EXPECT_EQ(list.caption(), "Pavonia");
    EXPECT_TRUE(list.resolutionListShown());
    EXPECT_EQ(list.selectedResolution(), 1); // the first row of value 800
    EXPECT_EQ(list.selectedRow(), 0);        // position 9 lies outside the list
    EXPECT_TRUE(list.okEnabled());
    list.clickRow(-1);
    EXPECT_FALSE(list.okEnabled());

    list.chooseResolution(2); // the special row
    EXPECT_EQ(dirty, 1);
    ASSERT_EQ(list.rows().size(), 1u);
    EXPECT_EQ(list.rows()[0].number, 4);
    EXPECT_TRUE(list.okEnabled());
    EXPECT_EQ(list.accept(), (ListChoice{4, 0, "-1_1024"}));

    // None of the new thumbnails loads: the rows from before come back.
    list.noThumbnailLoaded();
    EXPECT_EQ(list.rows().size(), 2u);
    EXPECT_EQ(f.ui.texts().back(), "No List item.");
    EXPECT_EQ(list.accept().number, 0);

    ListDialogLogic layouts(f.library, ListMode::Layouts, "0_800", [&] { dirty = 1; }, 2, 1, f.ui);
    layouts.open();
    EXPECT_EQ(layouts.caption(), "Select Layout");
    EXPECT_FALSE(layouts.resolutionListShown());
    EXPECT_TRUE(layouts.doubleClickRow(1));
    EXPECT_EQ(layouts.accept(), (ListChoice{2, 1, ""}));
}

// Pictures for the preview: a 20 x 10 mask whose left half is white (the
// background shows) and right half blue, and a 40 x 20 red background.
struct PreviewFixture : StyleFixture {
    PreviewFixture()
    {
        ProjectSettings& project = document.settings();
        project.styleNumber = 1002;
        project.resolutionKey = "1_800";
        add("stylec3/L0/Preview.jpg", test::readFile(std::string(PAVONIA_TEST_DATA_DIR) +
                                                    "/Template/Style0/L0/Preview.jpg"));
        const std::string mask = root() + "stylec3/L0/Preview_mask.bmp";
        test::writeBmp24(mask, 20, 10, [](int x, int) { return x < 10 ? Rgb8{255, 255, 255} : Rgb8{0, 0, 255}; });
        // The page's background layer is 200 x 100: the mask's 20 x 10 is a tenth of it.
        add("stylec3/L0/800/Template.htm",
            "<div id=\"BGLayer\" style=\"left:0px; top:0px; width:200px; height:100px\"></div>");
        background = install.folder() + "red.bmp";
        test::writeBmp24(background, 40, 20, [](int, int) { return Rgb8{255, 0, 0}; });
    }
    // The overlay's pixel at (x, y) from the top left, as 0xRRGGBB.
    std::uint32_t pixel(int x, int y) const
    {
        const DibImage& image = page.preview().overlay;
        const std::uint8_t* p =
            image.pixels().data() + (std::size_t(image.height() - 1 - y) * std::size_t(image.width()) + x) * 3;
        return std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
    }
    std::string background;
};

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kGrey = 0x808080;

TEST(StylePreview, ChoosesThePicturesByStyleAndBackground)
{
    PreviewFixture f;
    ProjectSettings& project = f.document.settings();

    // The custom style's own preview.
    f.page.RefreshStylePreview();
    EXPECT_EQ(f.page.preview().mode, StylePreview::Mode::Base);
    EXPECT_FALSE(f.page.preview().base.empty());
    EXPECT_TRUE(f.page.preview().overlay.empty());

    // A colour fills the mask's white.
    project.backgroundMode = 1;
    project.backgroundColour = 0x0000FF00; // green
    f.page.RefreshStylePreview();
    EXPECT_EQ(f.page.preview().mode, StylePreview::Mode::Colour);
    EXPECT_EQ(f.pixel(0, 0), kGreen);
    EXPECT_EQ(f.pixel(15, 5), kBlue);

    // A style below 1000 shows its preview whatever the background.
    project.styleNumber = 0;
    project.layoutNumber = 1;
    f.add("Style0/L1/Preview.jpg", test::readFile(std::string(PAVONIA_TEST_DATA_DIR) +
                                                  "/Template/Style0/L0/Preview.jpg"));
    f.page.RefreshStylePreview();
    EXPECT_EQ(f.page.preview().mode, StylePreview::Mode::Base);
    EXPECT_FALSE(f.page.preview().base.empty());
    EXPECT_TRUE(f.page.preview().overlay.empty());
    EXPECT_TRUE(f.ui.shown.empty());

    project.resolutionKey = "800";
    f.page.RefreshStylePreview();
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{"Resolution information error.\nUnable to preview style image."});
}

TEST(StylePreview, APictureWithoutAreaFillsTheMaskScaledToThePageLayer)
{
    PreviewFixture f;
    ProjectSettings& project = f.document.settings();
    project.backgroundMode = 2;
    project.backgroundImagePath = f.background;
    project.backgroundTile = 0;
    f.page.setButtonFaceRed(0x80);
    f.page.RefreshStylePreview();
    const StylePreview& preview = f.page.preview();
    EXPECT_EQ(preview.mode, StylePreview::Mode::Composed);
    ASSERT_EQ(preview.overlay.width(), 20);
    // 40 x 20 scaled by a tenth is 4 x 2 at the top left; grey elsewhere
    // under the white; the mask's blue half stays.
    EXPECT_EQ(f.pixel(0, 0), kRed);
    EXPECT_EQ(f.pixel(3, 1), kRed);
    EXPECT_EQ(f.pixel(4, 1), kGrey);
    EXPECT_EQ(f.pixel(0, 2), kGrey);
    EXPECT_EQ(f.pixel(12, 0), kBlue);
}

TEST(StylePreview, ATiledPictureStartsAtTheAreaThenAtTheLeftEdge)
{
    PreviewFixture f;
    ProjectSettings& project = f.document.settings();
    f.add("stylec3/info.ini", "[Style]\nDescription=Own\nSupportSize=800\nArea=3,1,40,20\n");
    // Scale 40/200 = 0.2: the 40 x 20 picture becomes 8 x 4.
    project.backgroundMode = 2;
    project.backgroundImagePath = f.background;
    project.backgroundTile = 1;
    f.page.setButtonFaceRed(0x80);
    f.page.RefreshStylePreview();
    // Rows 0 lies above the area; the first row of copies (rows 1 to 4)
    // starts at x 3, every later one at the left edge.
    EXPECT_EQ(f.pixel(5, 0), kGrey);
    EXPECT_EQ(f.pixel(2, 1), kGrey);
    EXPECT_EQ(f.pixel(2, 4), kGrey);
    EXPECT_EQ(f.pixel(3, 1), kRed);
    EXPECT_EQ(f.pixel(9, 4), kRed);
    EXPECT_EQ(f.pixel(0, 5), kRed);
    EXPECT_EQ(f.pixel(9, 9), kRed);
}

} // namespace
} // namespace pavonia
