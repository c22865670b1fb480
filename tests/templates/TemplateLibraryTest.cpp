#include "TemplateFixture.h"

#include "platform/StringTable.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace pavonia {
namespace {

using test::TemplateFixture;

std::vector<int> numbers(const std::vector<CatalogueRow>& rows)
{
    std::vector<int> out;
    for (const auto& row : rows)
        out.push_back(row.number);
    return out;
}

TEST(SplitText, YieldsNothingOrAtLeastTwoPieces)
{
    using Pieces = std::vector<std::string>;
    const struct {
        const char* text;
        Pieces pieces;
    } cases[] = {
        {"800", {}},
        {"", {}},
        {"0_800", {"0", "800"}},
        {"a_", {"a", ""}},
        {"_", {"", ""}},
        {"-1_1024_x", {"-1", "1024", "x"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(splitText(c.text, "_"), c.pieces) << c.text;
}

TEST(TemplateLibrary, ResolvesEveryPathOfASelection)
{
    TemplateFixture f;
    const std::string r = f.root();
    const struct {
        int style, layout;
        const char* key;
        std::string pageTemplate, resolutionFolder, preview;
    } cases[] = {
        {1002, 2, "0_800", r + "stylec3/L2/800/Template.htm", r + "stylec3/L2/800/", r + "stylec3/L2/Preview.jpg"},
        {5, 1, "-1_1024", r + "Special/Style5/L1/1024/Template.htm", r + "Special/Style5/L1/1024/",
         r + "Special/Style5/L1/Preview.jpg"},
        // Kind "1" resolves like kind "0": the number alone picks the prefix.
        {1000, 0, "1_640", r + "stylec1/L0/640/Template.htm", r + "stylec1/L0/640/", r + "stylec1/L0/Preview.jpg"},
        // Names on disk are found without regard to case.
        {0, 1, "0_800", r + "Style0/L1/800/Template.htm", r + "Style0/L1/800/", r + "Style0/L1/Preview.jpg"},
    };
    for (const auto& c : cases) {
        const auto paths = f.library.ResolveTemplatePaths(c.style, c.layout, c.key);
        ASSERT_TRUE(paths) << c.key;
        EXPECT_EQ(paths->pageTemplate, c.pageTemplate);
        EXPECT_EQ(paths->resolutionFolder, c.resolutionFolder);
        EXPECT_EQ(paths->previewPicture, c.preview);
    }
    f.add("style5/l1/800/template.HTM");
    EXPECT_EQ(f.library.ResolveTemplatePaths(5, 1, "0_800")->pageTemplate, r + "style5/l1/800/template.HTM");

    for (const char* bad : {"800", "", "0_", "0_..", "0_../../etc", "0_a/b"})
        EXPECT_FALSE(f.library.ResolveTemplatePaths(0, 0, bad)) << bad;
    EXPECT_TRUE(f.ui.shown.empty());
}

TEST(TemplateLibrary, ListsResolutionRowsAndPreselectsTheLast800)
{
    TemplateFixture f;
    const ResolutionList standard = f.library.ListResolutions(TemplateLibrary::ResolutionCatalogue::Standard);
    ASSERT_EQ(standard.rows.size(), 4u); // the count is the highest index
    EXPECT_EQ(standard.rows[0].label, "640 x 480");
    EXPECT_EQ(standard.rows[0].value, 640);
    EXPECT_EQ(standard.rows[2].value, -1);
    EXPECT_EQ(standard.rows[3].label, "Wide");
    EXPECT_EQ(standard.preselected, 3);

    const ResolutionList custom = f.library.ListResolutions(TemplateLibrary::ResolutionCatalogue::Custom);
    ASSERT_EQ(custom.rows.size(), 2u);
    EXPECT_EQ(custom.rows[1].value, -1);
    EXPECT_EQ(custom.preselected, 0); // no 800 row

    // Missing keys and values without a comma are skipped.
    f.add("Pavonia.ini", "[Global]\nTempSizeCount=2\n[TempSize]\nTemp0=nothing\nTemp2=A,800\n");
    const ResolutionList sparse = f.library.ListResolutions(TemplateLibrary::ResolutionCatalogue::Standard);
    ASSERT_EQ(sparse.rows.size(), 1u);
    EXPECT_EQ(sparse.rows[0].label, "A");
    EXPECT_TRUE(f.ui.shown.empty());

    std::filesystem::remove(f.root() + "Pavonia.ini");
    EXPECT_TRUE(f.library.ListResolutions(TemplateLibrary::ResolutionCatalogue::Standard).rows.empty());
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{"Ini file lost. (" + f.root() + "Pavonia.ini)"});
}

TEST(TemplateLibrary, ListsStylesOfEachCatalogue)
{
    TemplateFixture f;
    // Style2 ("800x600") and Style7 (no ui.jpg) are not offered; stylec3
    // matches "Style*" but is a custom style.
    const auto standard = f.library.ListStylesForSize(800);
    EXPECT_EQ(numbers(standard), (std::vector<int>{0, 5}));
    EXPECT_EQ(standard[0].description, "Plain");
    EXPECT_EQ(standard[0].thumbnailPath, f.root() + "Style0/ui.jpg");
    EXPECT_EQ(standard[1].thumbnailPath, f.root() + "style5/ui.jpg");
    EXPECT_EQ(numbers(f.library.ListStylesForSize(1024)), std::vector<int>{0});

    const auto custom = f.library.ListCustomStyles();
    EXPECT_EQ(numbers(custom), std::vector<int>{1002});
    EXPECT_EQ(custom[0].description, "Own");

    EXPECT_EQ(numbers(f.library.ListSpecialStyles(false)), std::vector<int>{4});
    const auto specialCustom = f.library.ListSpecialStyles(true);
    EXPECT_EQ(numbers(specialCustom), std::vector<int>{1000});
    EXPECT_EQ(specialCustom[0].thumbnailPath, f.root() + "Special/stylec1/ui.jpg");
    EXPECT_TRUE(f.ui.shown.empty());

    // Empty catalogues say so.
    EXPECT_TRUE(f.library.ListStylesForSize(1280).empty());
    std::filesystem::remove_all(f.root() + "Special");
    std::filesystem::remove_all(f.root() + "stylec3");
    EXPECT_TRUE(f.library.ListSpecialStyles(false).empty());
    EXPECT_TRUE(f.library.ListCustomStyles().empty());
    EXPECT_EQ(f.ui.texts(), (std::vector<std::string>{"No Style List item.", "No Special Style List item.",
                                                      "No Custom Style List item."}));
}

TEST(TemplateLibrary, StoredKeysAndPickedRowsChooseTheCatalogue)
{
    TemplateFixture f;
    const ResolutionList list = f.library.ListResolutions(TemplateLibrary::ResolutionCatalogue::Standard);
    const struct {
        const char* key;
        int row, number;
    } rows[] = {{"0_800", 1, 800}, {"-1_1024", 2, -1}, {"1_800", 1, 800}, {"0_1280", 0, 1280}};
    for (const auto& c : rows) {
        const auto choice = selectRowForStoredKey(list, c.key, f.ui);
        ASSERT_TRUE(choice) << c.key;
        EXPECT_EQ(choice->row, c.row) << c.key;
        EXPECT_EQ(choice->number, c.number) << c.key;
    }
    EXPECT_TRUE(f.ui.shown.empty());
    EXPECT_FALSE(selectRowForStoredKey(list, "800", f.ui));
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{"Resolution information error.\nUnable to show list dialog."});

    using C = TemplateLibrary::ResolutionCatalogue;
    EXPECT_EQ(numbers(f.library.listStylesForStoredKey(C::Standard, 800)), (std::vector<int>{0, 5}));
    EXPECT_EQ(numbers(f.library.listStylesForStoredKey(C::Custom, 800)), std::vector<int>{1002});
    EXPECT_EQ(numbers(f.library.listStylesForStoredKey(C::Standard, -1)), std::vector<int>{4});
    EXPECT_EQ(numbers(f.library.listStylesForStoredKey(C::Custom, -1)), std::vector<int>{1000});
    EXPECT_EQ(numbers(f.library.listStylesForRow(C::Standard, -1)), std::vector<int>{4});
    EXPECT_EQ(numbers(f.library.listStylesForRow(C::Custom, 0)), std::vector<int>{1000});
    EXPECT_EQ(numbers(f.library.listStylesForRow(C::Standard, 1)), std::vector<int>{1002});
    EXPECT_EQ(numbers(f.library.listStylesForRow(C::Custom, 1024)), std::vector<int>{0});
}

TEST(TemplateLibrary, ListsLayoutsThatHaveBothFiles)
{
    TemplateFixture f;
    const auto layouts = f.library.ListLayouts();
    EXPECT_EQ(numbers(layouts), (std::vector<int>{0, 2}));
    EXPECT_EQ(layouts[1].description, "Wide");
    EXPECT_EQ(layouts[1].thumbnailPath, f.root() + "Layout/L2.jpg");

    std::filesystem::remove_all(f.root() + "Layout");
    EXPECT_TRUE(f.library.ListLayouts().empty());
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{"No Layout List item."});
}

TEST(TemplateLibrary, ReadsSupportSizeAndFormsNewKeys)
{
    TemplateFixture f;
    EXPECT_EQ(f.library.formResolutionKey(std::nullopt, 4), "0_800");
    EXPECT_EQ(f.library.formResolutionKey(1024, 0), "0_1024");
    EXPECT_EQ(f.library.formResolutionKey(-1, 4), "-1_1024");
    EXPECT_EQ(f.library.formResolutionKey(1, 1002), "1_800");
    EXPECT_TRUE(f.ui.shown.empty());

    // A missing key or info.ini is reported and leaves the size part empty.
    EXPECT_EQ(f.library.formResolutionKey(-1, 1000), "-1_");
    EXPECT_EQ(f.library.ReadSupportSize(1007, false), "");
    EXPECT_EQ(f.ui.texts(), (std::vector<std::string>{"Get Support Size Error",
                                                      "Ini file lost. (" + f.root() + "stylec8/info.ini)"}));
}

TEST(TemplateLibrary, ReadsLayoutBehaviourAndLayers)
{
    TemplateFixture f;
    EXPECT_EQ(f.library.ReadLayoutBehaviour(0), (LayoutBehaviour{1, 0, 1}));
    EXPECT_EQ(f.library.ReadLayoutBehaviour(2), (LayoutBehaviour{0, 0, 1}));

    LayoutLayers layers;
    ASSERT_TRUE(f.library.ReadLayoutLayers(2, layers));
    EXPECT_EQ(layers, (LayoutLayers{1, 1, 0}));
    EXPECT_TRUE(f.ui.shown.empty());

    layers.description = 0;
    EXPECT_FALSE(f.library.ReadLayoutBehaviour(9));
    EXPECT_FALSE(f.library.ReadLayoutLayers(9, layers));
    EXPECT_EQ(layers, (LayoutLayers{1, 0, 0})); // kept
    const std::string lost = "Ini file lost. (" + f.root() + "Layout/L9.ini)";
    EXPECT_EQ(f.ui.texts(), (std::vector<std::string>{lost, lost}));
}

TEST(TemplateLibrary, ValidationFallsBackStepByStep)
{
    const std::string style = "There is not the specific style.\nDefault style will be used.";
    const std::string layout = "There is not the specific layout.\nDefault layout will be used.";
    const std::string resolution = "There is not the specific resolution.\nDefault resolution will be used.";
    const struct {
        const char* name;
        int style, layout;
        const char* key;
        int wantStyle, wantLayout;
        const char* wantKey;
        std::vector<std::string> messages;
    } cases[] = {
        {"valid", 0, 0, "0_800", 0, 0, "0_800", {}},
        {"key without _", 0, 0, "800", 0, 0, "0_800", {}},
        // Style 9 is gone: layout 1 is then checked against style 0 (it has
        // L1 and Layout/L1.ini), the resolution against Style0/L1.
        {"style deleted", 9, 1, "0_1024", 0, 1, "0_800", {style, resolution}},
        {"layout not in the style", 0, 2, "0_800", 0, 0, "0_800", {layout}},
        {"resolution only", 0, 0, "0_1024", 0, 0, "0_800", {resolution}},
        {"special style", 4, 3, "-1_1024", 4, 3, "-1_1024", {}},
        {"unsafe size part", 0, 0, "0_..", 0, 0, "0_800", {resolution}},
    };
    for (const auto& c : cases) {
        TemplateFixture f;
        f.add("Layout/L1.ini");
        f.add("Layout/L3.ini", "[Layer]\nSubTopicLayer=0\n");
        ProjectSettings project;
        project.styleNumber = c.style;
        project.layoutNumber = c.layout;
        project.resolutionKey = c.key;
        LayoutLayers layers{0, 0, 0};
        f.library.ValidateTemplateSelection(project, layers);
        EXPECT_EQ(project.styleNumber, c.wantStyle) << c.name;
        EXPECT_EQ(project.layoutNumber, c.wantLayout) << c.name;
        EXPECT_EQ(project.resolutionKey, c.wantKey) << c.name;
        EXPECT_EQ(f.ui.texts(), c.messages) << c.name;
        EXPECT_EQ(layers, (LayoutLayers{c.wantLayout == 3 ? 0 : 1, 1, 1})) << c.name;
    }
}

TEST(TemplateLibrary, LayoutFollowsANewStyle)
{
    TemplateFixture f;
    f.add("Layout/L3.ini", "[Layer]\nDescriptionLayer=0\n");
    ProjectSettings project;
    LayoutLayers layers{0, 0, 0};

    // A standard style without the layout falls back to layout 0.
    project.layoutNumber = 2;
    f.library.ValidateLayoutForStyle(project, layers);
    EXPECT_EQ(project.layoutNumber, 0);
    EXPECT_EQ(layers, (LayoutLayers{1, 1, 1}));

    // A style that has the layout keeps it and leaves the flags alone.
    project.layoutNumber = 1;
    layers = {0, 0, 0};
    f.library.ValidateLayoutForStyle(project, layers);
    EXPECT_EQ(project.layoutNumber, 1);
    EXPECT_EQ(layers, (LayoutLayers{0, 0, 0}));

    // A special style brings its first layout folder; only folders named "L"
    // and a number are layouts, whatever sorts first.
    f.add("Special/Style4/L7/1024/Template.htm");
    f.add("Layout/L12.ini", "[Layer]\nSubTopicLayer=0\nEffectLayer=0\n");
    for (const char* notALayout : {"L/readme.txt", "L0a/1024/Template.htm", "Labels.txt"})
        f.add(std::string("Special/Style5/") + notALayout);
    f.add("Special/Style5/L05", "a file");
    f.add("Special/Style5/L12/1024/Template.htm");
    const struct {
        int style;
        int wantLayout;
        LayoutLayers wantLayers;
    } specials[] = {{4, 3, {1, 0, 1}}, {5, 12, {0, 1, 0}}};
    for (const auto& c : specials) {
        project.styleNumber = c.style;
        project.resolutionKey = "-1_1024";
        f.library.ValidateLayoutForStyle(project, layers);
        EXPECT_EQ(project.layoutNumber, c.wantLayout) << c.style;
        EXPECT_EQ(layers, c.wantLayers) << c.style;
    }

    // Nothing to go by: the layout stays.
    project.resolutionKey = "bad";
    project.layoutNumber = 6;
    f.library.ValidateLayoutForStyle(project, layers);
    EXPECT_EQ(project.layoutNumber, 6);
    EXPECT_TRUE(f.ui.shown.empty());
}

} // namespace
} // namespace pavonia
