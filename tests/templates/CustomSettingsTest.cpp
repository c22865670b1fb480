// The custom settings of a custom style: its background and text colours.
#include "PictureFiles.h"
#include "TemplateFixture.h"

#include "platform/StringTable.h"
#include "platform/Text.h"
#include "project/ProjectDocument.h"
#include "templates/CustomSettingsLogic.h"

#include <gtest/gtest.h>

namespace pavonia {
namespace {

// A custom style whose page template styles the three texts.
struct CustomFixture : test::TemplateFixture {
    CustomFixture()
    {
        add("stylec3/L0/800/Template.htm", ".maintopic { color: #110000; } .subtopic { color: #002200; }"
                                           ".description { color: #000033; }");
        ProjectSettings& project = document.settings();
        project.styleNumber = 1002;
        project.resolutionKey = "1_800";
        picture = install.writeFile("pictures/sky.jpg", "not decoded here");
    }
    std::vector<std::string> backgroundCopies()
    {
        std::vector<std::string> out;
        for (const std::string& name : test::namesIn(document.workingFolder().tempFolder()))
            if (name.rfind("Bg", 0) == 0)
                out.push_back(name);
        return out;
    }

    test::FixedClock clock;
    test::MapRegistry registry;
    ProjectDocument document{DocumentEnvironment{install.folder(), install.tempFolder(), ui, clock, registry}};
    std::string picture;
};

TEST(CustomSettings, OpeningWithoutOwnFontsTakesTheTemplateFontsEvenWhenCancelled)
{
    CustomFixture f;
    CustomSettingsLogic logic(f.document, f.library);
    logic.open();
    const ProjectSettings& project = f.document.settings();
    EXPECT_EQ(project.headingFont.colour, 0x000011u);
    EXPECT_EQ(project.subTopicFont.colour, 0x002200u);
    EXPECT_EQ(project.descriptionFont.colour, 0x330000u);
    EXPECT_EQ(project.headingFontSet + project.subTopicFontSet + project.descriptionFontSet, 0);
    EXPECT_EQ(logic.textColour(TextKind::SubTopic), 0x002200u);
    EXPECT_EQ(logic.kind(), CustomSettingsLogic::Original);
    EXPECT_FALSE(logic.colourSwatchEnabled());
    EXPECT_FALSE(logic.pictureControlsEnabled());
}

TEST(CustomSettings, OnlyTheChangedColourSetsItsFlagAndAnUntouchedSwatchKeepsTheBackground)
{
    CustomFixture f;
    ProjectSettings& project = f.document.settings();
    project.backgroundColour = 0x123456;
    CustomSettingsLogic logic(f.document, f.library);
    logic.open();
    logic.chooseKind(CustomSettingsLogic::Colour);
    EXPECT_TRUE(logic.colourSwatchEnabled());
    logic.setTextColour(TextKind::SubTopic, 0x0000FF);
    ASSERT_TRUE(logic.confirm());
    logic.apply();
    EXPECT_EQ(project.backgroundMode, 1);
    EXPECT_EQ(project.backgroundColour, 0x123456u);
    EXPECT_EQ(project.subTopicFont.colour, 0x0000FFu);
    EXPECT_EQ(project.subTopicFontSet, 1);
    EXPECT_EQ(project.headingFontSet, 0);
    EXPECT_EQ(project.descriptionFontSet, 0);
    EXPECT_TRUE(f.document.dirty());
}

TEST(CustomSettings, APictureAppliedTwiceLeavesOneBackgroundCopy)
{
    CustomFixture f;
    ProjectSettings& project = f.document.settings();
    CustomSettingsLogic logic(f.document, f.library);
    logic.open();
    logic.chooseKind(CustomSettingsLogic::Picture);
    // OK without a picture keeps the dialog open.
    EXPECT_FALSE(logic.confirm());
    EXPECT_EQ(f.ui.texts().back(), "Please select a background image.");

    const FileDialogOptions options = logic.browseOptions();
    EXPECT_EQ(options.filter, "Image File (*.gif;*.jpg)|*.gif;*.jpg||");
    logic.pictureChosen(f.picture, false);
    EXPECT_EQ(logic.pictureName(), "sky.jpg");
    EXPECT_EQ(f.document.folderMemory().get(slot::Background), folderOf(f.picture));
    ASSERT_TRUE(logic.confirm());
    logic.apply();
    const std::string first = project.backgroundImagePath;
    EXPECT_EQ(project.backgroundMode, 2);
    EXPECT_EQ(project.backgroundTile, 0);
    EXPECT_EQ(f.backgroundCopies(), std::vector<std::string>{finalComponent(first)});

    // Again, from the copy the project now holds.
    f.clock.ticks += 1000;
    f.clock.now.tm_min += 1;
    CustomSettingsLogic again(f.document, f.library);
    again.open();
    EXPECT_EQ(again.pictureName(), finalComponent(first));
    ASSERT_TRUE(again.confirm());
    again.apply();
    EXPECT_NE(project.backgroundImagePath, first);
    EXPECT_EQ(f.backgroundCopies(), std::vector<std::string>{finalComponent(project.backgroundImagePath)});
    EXPECT_EQ(test::readFile(project.backgroundImagePath), "not decoded here");
}

TEST(CustomSettings, PicturesThatCannotBeUsedAreRefused)
{
    CustomFixture f;
    ProjectSettings& project = f.document.settings();
    project.backgroundMode = 2;
    project.backgroundImagePath = f.install.folder() + "gone/old.jpg";
    CustomSettingsLogic logic(f.document, f.library);
    logic.open();
    EXPECT_EQ(f.ui.texts().back(), StringTable::format(str::BackgroundFileNotFound, {project.backgroundImagePath}));
    EXPECT_EQ(logic.pictureName(), "");
    EXPECT_TRUE(logic.pictureControlsEnabled());

    // Another format, or a name that merely contains a filter extension.
    for (const std::string name : {"sky.png", "sky.g", "sky"}) {
        const std::string path = f.install.writeFile("pictures/" + name, "x");
        logic.pictureChosen(path, true);
        EXPECT_EQ(f.ui.texts().back(), StringTable::format(str::UnsupportedFileFormat, {path}));
        EXPECT_EQ(logic.pictureName(), "");
    }
    logic.pictureChosen(folderOf(f.picture) + "missing.gif", true);
    EXPECT_EQ(logic.pictureName(), "");
    // Browsing cancelled with no picture goes back to the style's own background.
    logic.browseCancelled();
    EXPECT_EQ(logic.kind(), CustomSettingsLogic::Original);
}

} // namespace
} // namespace pavonia
